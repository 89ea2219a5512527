#pragma once

namespace lumascan {

// Makes the OpenMP runtime inside libtesseract run every parallel region on
// the calling thread alone; on a machine with few cores its worker threads
// only spin against each other and recognition gets several times slower.
// The runtime is whichever one libtesseract loaded, so it is reached by
// name rather than linked; without one this does nothing. Call it before
// the first recognition.
void limitOpenMpThreads();

}  // namespace lumascan
