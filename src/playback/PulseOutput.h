#pragma once
#include <QAudioFormat>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "playback/AudioOutput.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace sonaveld {

// Sound through a connection of its own to the PulseAudio server (libpulse's asynchronous API,
// whose protocol runs on a thread of the output's own). Every output connects anew, so the next
// playback finds a server that went away and came back. The stream's bytes are pulled on the
// thread that started the output, by a timer that keeps the server's buffer filled; the server
// thread never touches the source. The played time is the server's play time of the stream
// (what is heard, its output latency taken off), never beyond the bytes written.
class PulseOutput final : public AudioOutput {
 public:
  // sink: the server's sink name, empty for the server's default sink. format: 8-bit unsigned,
  // 16/32-bit signed or 32-bit float samples, 1 or 2 channels (little-endian, as the stream
  // serves them).
  PulseOutput(std::string sink, const QAudioFormat& format);
  ~PulseOutput() override;  // ends the stream (what the server still holds is dropped) and disconnects
  PulseOutput(const PulseOutput&) = delete;
  PulseOutput& operator=(const PulseOutput&) = delete;

  // Connects and opens the stream, waiting at most kConnectMs for each; false when there is no
  // server, it refuses the format or the sink, or it does not answer in time.
  bool Start(QIODevice* source) override;
  void Suspend() override;
  void Resume() override;
  int64_t PlayedMicroseconds() override;
  // The connection or the stream failed (the server went away or dropped the stream).
  bool BrokeOff() override;

 private:
  enum class Progress { kPending, kReady, kFailed };
  static constexpr int kConnectMs = 3000;
  static constexpr int kBufferMs = 250;  // the server's buffer, its output latency included
  static constexpr int kFeedMs = 20;

  // Each with the loop locked.
  bool Connect();
  bool OpenStream();
  bool Await(const std::function<Progress()>& progress);
  bool Good() const;
  void Cork(bool hold);
  // Reads what fits into the server's buffer from the source and writes it (whole frames; a
  // partial one waits for the next round); once the source has ended, fills up with silence.
  void Feed();

  std::string sink_;
  QAudioFormat format_;
  int frameBytes_;
  QIODevice* source_ = nullptr;
  QTimer feed_;
  std::vector<char> buffer_;
  size_t partial_ = 0;        // bytes of an unfinished frame at the front of buffer_
  uint64_t written_ = 0;      // sample bytes written to the stream (the silence after them not counted)
  bool timedOut_ = false;     // set by the loop thread, read under the lock
  int64_t playedUs_ = 0;      // the last play time read: kept once the stream broke off
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
};

}  // namespace sonaveld
