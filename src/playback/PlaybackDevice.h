#pragma once
#include <cstdint>
#include <string>

#include "base/Status.h"

namespace sonaveld {

// Modes of the playback device, numbered as the window code compares them (only kPlaying is
// ever tested by the callers).
enum class PlaybackMode : int {
  kNotReady = 0,
  kStopped = 1,
  kPlaying = 2,
  kRecording = 3,
  kSeeking = 4,
  kPaused = 5,
  kOpen = 6,
};

// The two channels (0-based) that a file of more than two channels plays on the left and on the
// right; one channel twice plays it on both sides. Files of one or two channels play as they are.
struct ChannelPair {
  int left = 0;
  int right = 1;
  bool operator==(const ChannelPair&) const = default;
};

// The one wave-audio playback device of the main window. Positions and lengths are milliseconds.
// FileName is the document's path; a non-empty FileName means that a document is open.
// Play, Stop, Pause, SetPosition, Position and Length are only called on an open device.
class PlaybackDevice {
 public:
  virtual ~PlaybackDevice() = default;

  // Opens the device on FileName, closing it first when open; afterwards stopped at position 0.
  // Fails with the device's error text (the window shows it and ends the calling handler).
  virtual Status Open() = 0;
  // Ends any playback and closes the device; nothing when already closed.
  virtual void Close() = 0;
  // Starts playing from the current position and returns at once; from 0 when at the end.
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Playing becomes paused and paused becomes playing; other modes are left alone.
  virtual void Pause() = 0;
  // Moves the play position (ms), clamped to 0..Length; never fails.
  virtual void SetPosition(int32_t ms) = 0;
  virtual int32_t Position() = 0;  // ms
  virtual int32_t Length() = 0;    // ms
  // Current mode; kNotReady on a closed device (never kPlaying).
  virtual PlaybackMode Mode() = 0;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string path) { fileName_ = std::move(path); }

  // The channels the next start of playback takes (a running playback keeps its own); channels
  // beyond the file's last are taken as its last. A device without sound ignores them.
  const ChannelPair& PlayChannels() const { return playChannels_; }
  void SetPlayChannels(ChannelPair channels) { playChannels_ = channels; }

 private:
  std::string fileName_;
  ChannelPair playChannels_;
};

}  // namespace sonaveld
