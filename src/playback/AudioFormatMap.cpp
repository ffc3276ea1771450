#include "playback/AudioFormatMap.h"

namespace sonaveld {

QAudioFormat AudioFormatFor(const WaveHeader& header) {
  QAudioFormat format;
  if (header.SampleRate <= 0) return format;
  switch (header.Kind) {
    case FormatKind::kStereo16:
    case FormatKind::kMono16:
      format.setSampleFormat(QAudioFormat::Int16);
      break;
    case FormatKind::kStereo8:
    case FormatKind::kMono8:
      format.setSampleFormat(QAudioFormat::UInt8);
      break;
    default:  // kNone, and the kinds this does not handle yet
      return format;
  }
  const bool stereo = header.Kind == FormatKind::kStereo16 || header.Kind == FormatKind::kStereo8;
  format.setChannelCount(stereo ? 2 : 1);
  format.setChannelConfig(stereo ? QAudioFormat::ChannelConfigStereo : QAudioFormat::ChannelConfigMono);
  format.setSampleRate(header.SampleRate);
  return format;
}

}  // namespace sonaveld
