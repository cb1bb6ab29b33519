#pragma once
// How the program's memory allocator treats memory the program frees.

namespace vorla {

// Keeps freed memory with the program for its next use instead of handing it back to the
// system at once. Opening a list window over a large directory builds several arrays of
// megabytes and closing it frees them; handed back, the next opening faults every page in
// again, which on a virtual machine costs more than the work the arrays are for. Call it
// first in main(). The program then holds on to at most 64 MiB it is not using.
void KeepFreedMemoryForReuse();

}  // namespace vorla
