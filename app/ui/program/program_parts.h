#pragma once
// The program's windows and commands, joined to the application in one place: the program
// and the tests that start the application call this, so both see the same program.

struct UiExtensions;

void RegisterProgramParts(UiExtensions& extensions);
