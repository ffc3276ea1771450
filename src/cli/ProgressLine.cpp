#include "cli/ProgressLine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "cli/CliMessages.h"

namespace sonaveld::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr double kMiB = 1024.0 * 1024.0;

// "m:ss", or "h:mm:ss" from an hour on.
std::string ClockText(int64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  }
  return text;
}

}  // namespace

ProgressLine* ProgressLine::active_ = nullptr;

ProgressLine::ProgressLine(bool quiet) : enabled_(!quiet && isatty(STDERR_FILENO) == 1), start_(Clock::now()) {
  if (enabled_) active_ = this;
}

ProgressLine::~ProgressLine() {
  Clear();
  if (active_ == this) active_ = nullptr;
}

void ProgressLine::Update(int64_t done, int64_t total) {
  if (!enabled_ || total <= 0) return;
  if (width_ == 0 && done >= total) return;  // finished: no new line just to erase it again
  const auto now = Clock::now();
  if (width_ > 0 && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  std::string text = ProgressText(done, total, std::chrono::duration<double>(now - start_).count());
  const size_t width = text.size();
  text.append(width_ > width ? width_ - width : 0, ' ');  // blanks over the rest of a longer line
  std::fprintf(stderr, "\r%s", text.c_str());
  std::fflush(stderr);
  width_ = width;
}

void ProgressLine::Clear() {
  if (width_ == 0) return;
  std::fprintf(stderr, "\r%s\r", std::string(width_, ' ').c_str());
  std::fflush(stderr);
  width_ = 0;
}

void ProgressLine::ClearActive() {
  if (active_ != nullptr) active_->Clear();
}

std::string ProgressText(int64_t done, int64_t total, double elapsedSeconds) {
  if (total <= 0) return {};
  done = std::clamp<int64_t>(done, 0, total);
  char text[96];
  const int percent = static_cast<int>(static_cast<double>(done) * 100.0 / static_cast<double>(total));
  const int n = std::snprintf(text, sizeof text, "%3d%%  %.1f / %.1f MiB", percent, static_cast<double>(done) / kMiB,
                        static_cast<double>(total) / kMiB);
  if (elapsedSeconds >= 1.0 && done > 0) {
    const double left = elapsedSeconds * static_cast<double>(total - done) / static_cast<double>(done);
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "  %s %s", kTimeLeftLabel,
                  ClockText(static_cast<int64_t>(left + 0.5)).c_str());
  }
  return text;
}

}  // namespace sonaveld::cli
