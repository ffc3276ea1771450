#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>

#include "playback/AudioOutput.h"

class QAudioSink;

namespace sonaveld {

// Sound through a Qt Multimedia audio sink in pull mode. The played time is the sink's
// processed time, which follows the sound server's play position.
class SinkOutput final : public AudioOutput {
 public:
  SinkOutput(const QAudioDevice& device, const QAudioFormat& format);
  ~SinkOutput() override;  // stops the sink

  bool Start(QIODevice* source) override;
  void Suspend() override;
  void Resume() override;
  int64_t PlayedMicroseconds() override;
  bool Finished() override;
  bool BrokeOff() override;

 private:
  QAudioFormat format_;
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* source_ = nullptr;
};

}  // namespace sonaveld
