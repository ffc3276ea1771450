#include "playback/SinkOutput.h"

#include <QAudioSink>
#include <QIODevice>
#include <algorithm>

namespace sonaveld {

SinkOutput::SinkOutput(const QAudioDevice& device, const QAudioFormat& format)
    : format_(format), sink_(std::make_unique<QAudioSink>(device, format)) {}

SinkOutput::~SinkOutput() {
  // The sink pulls from the source, which its owner deletes after this output.
  sink_->stop();
}

bool SinkOutput::Start(QIODevice* source) {
  if (!format_.isValid() || source == nullptr) return false;
  sink_->start(source);
  return sink_->error() == QAudio::NoError && sink_->state() != QAudio::StoppedState;
}

void SinkOutput::Suspend() { sink_->suspend(); }

void SinkOutput::Resume() { sink_->resume(); }

int64_t SinkOutput::PlayedMicroseconds() {
  // The sink's processed time is already what is heard: the sound server's read position less
  // its output latency, interpolated since its last report, never beyond the bytes written.
  // Bytes still waiting in the stream's buffer are not in it, so nothing is subtracted here.
  if (sink_->state() != QAudio::StoppedState) {
    lastPlayedUs_ = std::max(lastPlayedUs_, static_cast<int64_t>(sink_->processedUSecs()));
  }
  return lastPlayedUs_;
}

bool SinkOutput::BrokeOff() { return sink_->state() == QAudio::StoppedState; }

}  // namespace sonaveld
