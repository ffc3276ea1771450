#pragma once
#include <cstdint>
#include <functional>

#include "playback/PlaybackDevice.h"

namespace sonaveld {

// A playback device without sound: the play position advances with a clock while playing and
// stops at the end. The length comes from the WAV header (frames and rate). Tests replace the
// clock to move time by hand; the window uses it until real audio output stands behind the
// same interface.
class ClockDevice final : public PlaybackDevice {
 public:
  // Milliseconds of a monotonic clock.
  using Clock = std::function<int64_t()>;

  ClockDevice();  // uses the steady system clock
  explicit ClockDevice(Clock clock);

  Status Open() override;
  void Close() override;
  void Play() override;
  void Stop() override;
  void Pause() override;
  void SetPosition(int32_t ms) override;
  int32_t Position() override;
  int32_t Length() override { return open_ ? length_ : 0; }
  PlaybackMode Mode() override;

 private:
  // Brings position_ up to the clock while playing; stops at the end.
  void Advance();

  Clock clock_;
  bool open_ = false;
  PlaybackMode mode_ = PlaybackMode::kNotReady;
  int32_t length_ = 0;
  int32_t position_ = 0;  // position at startedAt_ while playing, else the current position
  int64_t startedAt_ = 0;
};

}  // namespace sonaveld
