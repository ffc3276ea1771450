#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>

#include "playback/AudioOutput.h"

class QAudioSink;

namespace sonaveld {

// Sound through a Qt Multimedia audio sink in pull mode. The played time is the sink's
// processed time, which follows the sound server's play position. A sink that has pulled the
// whole stream goes idle while the server still plays what it holds; it is stopped only when
// the output is destroyed, so the device keeps it until the played time reaches the end.
class SinkOutput final : public AudioOutput {
 public:
  SinkOutput(const QAudioDevice& device, const QAudioFormat& format);
  ~SinkOutput() override;  // stops the sink

  bool Start(QIODevice* source) override;
  void Suspend() override;
  void Resume() override;
  int64_t PlayedMicroseconds() override;
  // The sink stopped without being told (the sound server went away).
  bool BrokeOff() override;

 private:
  QAudioFormat format_;
  std::unique_ptr<QAudioSink> sink_;
  int64_t lastPlayedUs_ = 0;  // a stopped sink reports 0; the time heard before it stopped
};

}  // namespace sonaveld
