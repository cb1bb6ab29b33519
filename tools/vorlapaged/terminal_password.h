#pragma once
// A password typed at the terminal, without echo; never taken from the command line.

#include <optional>
#include <string>

// Prints `prompt` on standard error and reads one line from standard input with echo off
// (when standard input is a terminal). None at end of input.
std::optional<std::string> ReadPassword(const char* prompt);
