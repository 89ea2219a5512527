#pragma once

namespace lumascan {

// Makes sure the OpenMP runtime inside libtesseract runs single-threaded;
// on a machine with few cores its worker threads only spin against each
// other and recognition gets several times slower. The runtime reads
// OMP_THREAD_LIMIT once, while it is being loaded, before main() starts, so
// when the variable is not already "1" this sets it and re-executes the
// program with the same arguments. Call it first thing in main(). If the
// re-execution fails the program simply goes on with the runtime's default.
void limitOpenMpThreads(char** argv);

}  // namespace lumascan
