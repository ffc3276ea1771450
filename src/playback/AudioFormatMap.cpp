#include "playback/AudioFormatMap.h"

namespace sonaveld {

QAudioFormat AudioFormatFor(const WaveHeader& header) {
  QAudioFormat format;
  if (header.SampleRate <= 0) return format;
  const SampleLayout samples = header.Samples();
  switch (samples.encoding) {
    case SampleEncoding::kPcm16: format.setSampleFormat(QAudioFormat::Int16); break;
    case SampleEncoding::kPcm8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case SampleEncoding::kPcm24:  // widened by the stream, 3 bytes to 4
    case SampleEncoding::kPcm32: format.setSampleFormat(QAudioFormat::Int32); break;
    case SampleEncoding::kFloat32: format.setSampleFormat(QAudioFormat::Float); break;
    case SampleEncoding::kNone: return format;
  }
  const bool stereo = samples.channels >= 2;  // of more channels, the stream picks two
  format.setChannelCount(stereo ? 2 : 1);
  format.setChannelConfig(stereo ? QAudioFormat::ChannelConfigStereo : QAudioFormat::ChannelConfigMono);
  format.setSampleRate(header.SampleRate);
  return format;
}

}  // namespace sonaveld
