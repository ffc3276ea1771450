#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playback/AudioOutput.h"
#include "playback/ClockOutput.h"
#include "playback/PcmTiming.h"
#include "playback/PlaybackDevice.h"

namespace sonaveld {

class WaveStream;

// The playback device that sounds: it streams the open file's sample area from disk through an
// audio output (a connection of its own to the sound server, PulseOutput). Every start of playback opens the
// file and seeks once to the start frame; the file is closed when playback stops, ends or the
// device closes. The position is the start position plus the time the output has played, so it
// follows what is heard, and playback ends only when that time reaches the end of the data: an
// output that has pulled everything keeps playing what the sound server holds. When an output
// cannot start, that playback runs on the clock without sound; when it breaks off (the server
// went away), playback stops where the sound stopped. Either way the notice handler is told, and
// the next start of playback tries a real output again, on a new connection (and says so when it
// sounds).
class QtAudioDevice final : public PlaybackDevice {
 public:
  using NoticeHandler = std::function<void(const std::string& text)>;

  // Plays on the given output device (its sink; the server's default sink for the default device).
  explicit QtAudioDevice(const QAudioDevice& output);
  // Plays through outputs made by makeOutput; clock drives the soundless fallback (tests).
  QtAudioDevice(AudioOutputFactory makeOutput, ClockOutput::Clock clock);
  ~QtAudioDevice() override;

  // Called with the system's text when an output cannot start (MessageId::kNoAudioOutput) or
  // breaks off during playback (MessageId::kAudioOutputLost), and with an empty text when an
  // output starts again after such a notice; called from Play, Pause, SetPosition, Mode or Position.
  void SetNoticeHandler(NoticeHandler handler) { notice_ = std::move(handler); }
  // A notice about the sound output stands already (told at start): the first play that sounds
  // takes it back with an empty text.
  void NoticeStands() { noticeStanding_ = true; }
  // True while the running (or last) playback runs on the clock because no output could start.
  bool Soundless() const { return soundless_; }

  Status Open() override;
  void Close() override;
  void Play() override;
  void Stop() override;
  void Pause() override;
  void SetPosition(int32_t ms) override;
  int32_t Position() override;
  int32_t Length() override { return open_ ? layout_.LengthMs() : 0; }
  PlaybackMode Mode() override;

 private:
  // Opens the file and starts an output at ms; stays stopped at ms when the file cannot be read.
  void StartAt(int32_t ms);
  std::unique_ptr<AudioOutput> StartOutput();
  // Stops the output and closes the file.
  void Release();
  // The position now: from the output while one plays or holds, else position_.
  int32_t Current();
  // Ends a playback whose sound has been heard to the end of the data (stopped at Length), or
  // to the last byte read before a read error, or whose output broke off (stopped where the
  // sound stopped, with the notice). An output that has merely pulled everything plays on.
  void Update();
  // True when the stream has served every byte and the played time has not moved for
  // kEndStallMs: an output that stops counting a little short of the end must not play forever.
  bool EndStalled(int64_t playedUs);
  // Microseconds that the running stream's bytes from its start up to offset take to play.
  int64_t StreamMicroseconds(int64_t offset) const;
  // Lets the output and the file go; stopped at ms.
  void StopAt(int32_t ms);
  void Tell(const std::string& notice);

  AudioOutputFactory makeOutput_;
  ClockOutput::Clock clock_;
  NoticeHandler notice_;
  bool soundless_ = false;
  bool noticeStanding_ = false;  // a notice was told and sound has not started since

  bool open_ = false;
  PlaybackMode mode_ = PlaybackMode::kNotReady;
  PcmLayout layout_;
  QAudioFormat format_;
  int32_t position_ = 0;  // ms: the start of the running output, or the position when none runs
  int64_t streamBegin_ = 0;  // byte offset the running stream started at
  int64_t stallPlayedUs_ = -1;  // played time last seen after the stream's end, -1: none yet
  int64_t stallSinceMs_ = 0;    // clock time since which it has not moved
  static constexpr int64_t kEndStallMs = 3000;
  std::unique_ptr<WaveStream> stream_;
  std::unique_ptr<AudioOutput> output_;  // destroyed before stream_, which it pulls from
};

}  // namespace sonaveld
