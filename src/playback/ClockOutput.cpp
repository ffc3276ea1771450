#include "playback/ClockOutput.h"

#include <QIODevice>
#include <algorithm>
#include <chrono>

#include "playback/PcmTiming.h"

namespace sonaveld {

int64_t ClockOutput::SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ClockOutput::ClockOutput(Clock clock, int frameBytes, int32_t sampleRate)
    : clock_(std::move(clock)), frameBytes_(frameBytes), sampleRate_(sampleRate) {}

bool ClockOutput::Start(QIODevice* source) {
  PcmLayout layout;
  layout.frameBytes = frameBytes_;
  layout.sampleRate = sampleRate_;
  durationUs_ = layout.BytesToMicroseconds(source != nullptr ? source->bytesAvailable() : 0);
  playedBeforeUs_ = 0;
  runningSince_ = clock_();
  running_ = true;
  return true;
}

void ClockOutput::Suspend() {
  if (!running_) return;
  playedBeforeUs_ = PlayedMicroseconds();
  running_ = false;
}

void ClockOutput::Resume() {
  if (running_) return;
  runningSince_ = clock_();
  running_ = true;
}

int64_t ClockOutput::PlayedMicroseconds() {
  int64_t played = playedBeforeUs_;
  if (running_) played += (clock_() - runningSince_) * 1000;
  return std::min(played, durationUs_);
}

}  // namespace sonaveld
