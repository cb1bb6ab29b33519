#pragma once
// The archive knows no record types; a program registers the ones it reads, and the directory
// file needs these.

class ClassRegistry;

// Registers "CObList" and the five directory records.
void RegisterDirectoryClasses(ClassRegistry& registry);
