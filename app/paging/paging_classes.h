#pragma once

class ClassRegistry;

// Registers "CPagerMessage", "CPage" and "CLogObject", so archives that hold the queue or
// the log (including the log list inside an old directory file) can be read.
void RegisterPagingClasses(ClassRegistry& registry);

// A registry with every class the program saves: the directory's and the paging layer's.
ClassRegistry MakeProgramClassRegistry();
