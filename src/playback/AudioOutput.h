#pragma once
#include <QAudioFormat>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

namespace sonaveld {

// The sound output behind a playing QtAudioDevice: one output plays one stream, pulling its
// bytes when it needs them. The counters (PlayedMicroseconds, BrokeOff) never read the stream;
// the device tells the end of the sound from the played time.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Starts pulling from source (not owned; it outlives the output). False when the output
  // cannot start (no sound server, format refused); nothing plays then.
  virtual bool Start(QIODevice* source) = 0;
  // Holds and continues the sound; the played time stands still while held.
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  // Microseconds of the stream heard since Start, never more than the bytes pulled so far take
  // to play; it keeps its last value once the output broke off.
  virtual int64_t PlayedMicroseconds() = 0;
  // True when the output stopped by itself (the sound server went away): what it had not yet
  // played is lost. An output that has played everything out stays open, never broken off.
  virtual bool BrokeOff() { return false; }
};

// Makes the output for a format (the device calls it once for every start of playback).
using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>(const QAudioFormat&)>;

}  // namespace sonaveld
