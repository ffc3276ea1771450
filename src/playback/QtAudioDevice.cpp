#include "playback/QtAudioDevice.h"

#include <algorithm>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "playback/AudioFormatMap.h"
#include "playback/PulseOutput.h"
#include "playback/WaveStream.h"

namespace sonaveld {
namespace {

// The stream's pick of a file's layout: the chosen channels, a channel beyond the last taken as the last.
WaveStream::ChannelPick PickOf(const PcmLayout& layout, const ChannelPair& channels) {
  WaveStream::ChannelPick pick;
  pick.channels = layout.channels;
  pick.sampleBytes = layout.sampleBytes;
  pick.left = std::clamp(channels.left, 0, layout.channels - 1);
  pick.right = std::clamp(channels.right, 0, layout.channels - 1);
  pick.widen = layout.Widens();
  return pick;
}

}  // namespace

QtAudioDevice::QtAudioDevice(const QAudioDevice& output)
    // The system's default output follows the server's default sink, also after a restart.
    : QtAudioDevice([sink = output.isDefault() ? std::string() : output.id().toStdString()](
                        const QAudioFormat& format) -> std::unique_ptr<AudioOutput> {
        return std::make_unique<PulseOutput>(sink, format);
      },
                    ClockOutput::SteadyMilliseconds) {}

QtAudioDevice::QtAudioDevice(AudioOutputFactory makeOutput, ClockOutput::Clock clock)
    : makeOutput_(std::move(makeOutput)), clock_(std::move(clock)) {}

QtAudioDevice::~QtAudioDevice() { Release(); }

Status QtAudioDevice::Open() {
  Close();
  auto file = FileSource::Open(FileName());
  if (!file) return Status::Fail(MessageId::kCannotOpen, FileName());
  const ProbeResult probe = ProbeWave(*file, FileName());
  if (probe.status.failed()) return probe.status;
  layout_ = PcmLayout::FromHeader(probe.header);
  format_ = AudioFormatFor(probe.header);
  position_ = 0;
  open_ = true;
  mode_ = PlaybackMode::kStopped;
  return Status::Ok();
}

void QtAudioDevice::Close() {
  Release();
  open_ = false;
  mode_ = PlaybackMode::kNotReady;
  position_ = 0;
  layout_ = PcmLayout{};
}

void QtAudioDevice::Play() {
  if (!open_) return;
  Update();
  if (mode_ == PlaybackMode::kPlaying) return;
  int32_t from = Current();
  Release();
  if (from >= Length()) from = 0;
  StartAt(from);
}

void QtAudioDevice::Stop() {
  if (!open_) return;
  Update();
  StopAt(Current());
}

void QtAudioDevice::Pause() {
  Update();
  if (mode_ == PlaybackMode::kPlaying) {
    output_->Suspend();
    mode_ = PlaybackMode::kPaused;
  } else if (mode_ == PlaybackMode::kPaused) {
    if (output_) {
      output_->Resume();
      mode_ = PlaybackMode::kPlaying;
    } else {
      StartAt(position_);  // the position was moved while paused
    }
  }
}

void QtAudioDevice::SetPosition(int32_t ms) {
  if (!open_) return;
  Update();
  const int32_t to = std::clamp(ms, 0, Length());
  Release();
  if (mode_ == PlaybackMode::kPlaying) {
    StartAt(to);
  } else {
    position_ = to;  // paused stays paused; the next Pause or Play starts here
  }
}

int32_t QtAudioDevice::Position() {
  Update();
  return Current();
}

PlaybackMode QtAudioDevice::Mode() {
  Update();
  return mode_;
}

void QtAudioDevice::StartAt(int32_t ms) {
  position_ = ms;
  mode_ = PlaybackMode::kStopped;
  auto file = FileSource::Open(FileName());
  if (!file) return;  // the file went away since Open: nothing to play
  streamBegin_ = layout_.ByteAtMs(ms);
  stallPlayedUs_ = -1;
  if (layout_.Picks()) {
    stream_ = std::make_unique<WaveStream>(std::move(file), streamBegin_, layout_.dataEnd, PickOf(layout_, PlayChannels()));
  } else {
    const auto widening = layout_.Widens() ? WaveStream::Widening::k24To32 : WaveStream::Widening::kNone;
    stream_ = std::make_unique<WaveStream>(std::move(file), streamBegin_, layout_.dataEnd, widening);
  }
  output_ = StartOutput();
  mode_ = PlaybackMode::kPlaying;
}

std::unique_ptr<AudioOutput> QtAudioDevice::StartOutput() {
  std::unique_ptr<AudioOutput> output = makeOutput_(format_);
  soundless_ = !output || !output->Start(stream_.get());
  if (!soundless_) {
    if (noticeStanding_) Tell({});  // sound is back
    return output;
  }
  output.reset();  // a sink that failed to start is let go before the stream
  Tell(FormatMessage(MessageId::kNoAudioOutput));
  // The clock learns the duration from the bytes the stream will serve: sink bytes.
  output = std::make_unique<ClockOutput>(clock_, layout_.sinkFrameBytes, layout_.sampleRate);
  output->Start(stream_.get());
  return output;
}

void QtAudioDevice::Release() {
  output_.reset();
  stream_.reset();
}

int32_t QtAudioDevice::Current() {
  if (!output_) return std::clamp(position_, 0, Length());
  return PlayedPositionMs(position_, output_->PlayedMicroseconds(), Length());
}

void QtAudioDevice::Update() {
  if (mode_ != PlaybackMode::kPlaying || !output_) return;
  if (output_->BrokeOff()) {
    StopAt(Current());  // where the sound stopped; what the server still held is lost
    Tell(FormatMessage(MessageId::kAudioOutputLost));
    return;
  }
  const int64_t playedUs = output_->PlayedMicroseconds();
  if (playedUs >= StreamMicroseconds(layout_.dataEnd) || EndStalled(playedUs)) {
    StopAt(Length());
  } else if (stream_->ReadFailed() && playedUs >= StreamMicroseconds(stream_->Offset())) {
    StopAt(Current());  // everything read before the error has been heard
  }
}

bool QtAudioDevice::EndStalled(int64_t playedUs) {
  if (!stream_->atEnd() || stream_->ReadFailed()) return false;
  const int64_t now = clock_();
  if (playedUs != stallPlayedUs_) {
    stallPlayedUs_ = playedUs;
    stallSinceMs_ = now;
    return false;
  }
  return now - stallSinceMs_ >= kEndStallMs;
}

int64_t QtAudioDevice::StreamMicroseconds(int64_t offset) const {
  return layout_.BytesToMicroseconds(offset - streamBegin_);
}

void QtAudioDevice::StopAt(int32_t ms) {
  position_ = ms;
  Release();
  mode_ = PlaybackMode::kStopped;
}

void QtAudioDevice::Tell(const std::string& notice) {
  noticeStanding_ = !notice.empty();
  if (notice_) notice_(notice);
}

}  // namespace sonaveld
