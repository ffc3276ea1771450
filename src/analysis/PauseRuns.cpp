#include "analysis/PauseRuns.h"

namespace sonaveld {

void PauseRuns::Add(int64_t frames, bool quiet) {
  if (quiet) {
    if (runFirst_ == 0) {
      runFirst_ = nextFrame_;
      runAtStart_ = nextFrame_ == 1;
    }
  } else if (runFirst_ != 0) {
    // The run ends before this window, so it does not hold the last window of the file.
    const int64_t length = nextFrame_ - runFirst_;
    if (!runAtStart_ && length >= minFrames_) marks_.push_back(runFirst_ + length / 2);
    runFirst_ = 0;
  }
  nextFrame_ += frames;
}

}  // namespace sonaveld
