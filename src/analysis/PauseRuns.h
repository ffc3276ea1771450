#pragma once
#include <cstdint>
#include <vector>

namespace sonaveld {

// Turns the sequence of windows of a recording, each quiet or not, into the marks of its pauses.
// A pause is a maximal run of consecutive quiet windows holding at least minFrames frames that
// contains neither the first nor the last window; its mark is its first frame + (its frames div 2).
// Frames are numbered from 1.
class PauseRuns {
 public:
  // minFrames: the shortest pause in frames (1 or more).
  explicit PauseRuns(int64_t minFrames) : minFrames_(minFrames) {}

  // Adds the next window of `frames` frames (1 or more).
  void Add(int64_t frames, bool quiet);
  // The marks found so far, ascending. A run still open is one that reaches the last window added,
  // so it never gives a mark: call this after the last window.
  const std::vector<int64_t>& Marks() const { return marks_; }

 private:
  int64_t minFrames_;
  int64_t nextFrame_ = 1;    // first frame of the next window
  int64_t runFirst_ = 0;     // first frame of the open quiet run; 0 when none is open
  bool runAtStart_ = false;  // the open run began with the first window
  std::vector<int64_t> marks_;
};

}  // namespace sonaveld
