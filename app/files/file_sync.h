#pragma once

#include <cstdio>

// Pushes a stdio file's written data to the disk (not just to the kernel), so that the
// rename that follows cannot publish a file whose bytes are lost in a power cut.
// The one platform call of this layer lives behind this function.
bool SyncFileToDisk(std::FILE* file);
