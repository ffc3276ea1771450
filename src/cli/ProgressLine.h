#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sonaveld::cli {

// The one progress line of a long command on stderr: percentage, MiB done of all and the time left,
// redrawn in place with "\r" at most ten times a second and erased (overwritten with blanks) when
// the command ends. It shows only while stderr is a terminal and --quiet was not given. Whatever
// else the command prints goes through ClearActive first, so no text lands inside the line.
class ProgressLine {
 public:
  explicit ProgressLine(bool quiet);
  ~ProgressLine();  // erases the line
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // done of total bytes (nothing shows while total is 0 or less). Draws at once when no line
  // shows (unless done has reached total), else at most every 100 ms.
  void Update(int64_t done, int64_t total);
  // Erases the line if it shows.
  void Clear();
  // Erases the line of the progress line in use, if there is one.
  static void ClearActive();

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_ = false;
  size_t width_ = 0;  // bytes of the line on screen; 0 when none shows
  Clock::time_point start_;
  Clock::time_point lastDraw_;
  static ProgressLine* active_;
};

// The text of the line, e.g. " 45%   123.4 / 456.7 MiB  残り 0:12"; the time left appears once a
// second has passed, estimated from the rate so far.
std::string ProgressText(int64_t done, int64_t total, double elapsedSeconds);

}  // namespace sonaveld::cli
