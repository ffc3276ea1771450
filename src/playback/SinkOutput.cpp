#include "playback/SinkOutput.h"

#include <QAudioSink>
#include <QIODevice>


namespace sonaveld {

SinkOutput::SinkOutput(const QAudioDevice& device, const QAudioFormat& format)
    : format_(format), sink_(std::make_unique<QAudioSink>(device, format)) {}

SinkOutput::~SinkOutput() {
  // The sink pulls from the source, which its owner deletes after this output.
  sink_->stop();
}

bool SinkOutput::Start(QIODevice* source) {
  if (!format_.isValid() || source == nullptr) return false;
  source_ = source;
  sink_->start(source);
  return sink_->error() == QAudio::NoError && sink_->state() != QAudio::StoppedState;
}

void SinkOutput::Suspend() { sink_->suspend(); }

void SinkOutput::Resume() { sink_->resume(); }

int64_t SinkOutput::PlayedMicroseconds() {
  // The sink's processed time is already what is heard: the sound server's read position less
  // its output latency, interpolated since its last report. Bytes still waiting in the stream's
  // buffer are not in it, so nothing is subtracted here.
  return sink_->processedUSecs();
}

bool SinkOutput::Finished() {
  const QAudio::State state = sink_->state();
  if (state == QAudio::StoppedState) return true;  // ended or broke off
  return state == QAudio::IdleState && source_ != nullptr && source_->atEnd();
}

bool SinkOutput::BrokeOff() {
  return sink_->state() == QAudio::StoppedState && (source_ == nullptr || !source_->atEnd());
}

}  // namespace sonaveld
