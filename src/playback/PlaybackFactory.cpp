#include "playback/PlaybackFactory.h"

#include <QMediaDevices>

#include "playback/ClockDevice.h"

namespace sonaveld {

PlaybackChoice ChoosePlaybackDevice(const QAudioDevice& output,
                                    QtAudioDevice::NoticeHandler laterNotice) {
  PlaybackChoice choice;
  if (output.isNull()) {
    choice.device = std::make_unique<ClockDevice>();
    choice.notice = FormatMessage(MessageId::kNoAudioOutput);
    return choice;
  }
  auto device = std::make_unique<QtAudioDevice>(output);
  device->SetNoticeHandler(std::move(laterNotice));
  choice.device = std::move(device);
  return choice;
}

PlaybackChoice ChooseSystemPlaybackDevice(QtAudioDevice::NoticeHandler laterNotice) {
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (!output.isNull()) return ChoosePlaybackDevice(output, std::move(laterNotice));
  // No output seen at start (the sound server may be down, or not started yet): the sounding
  // device all the same, on the server's default sink, so that every play tries again and the
  // notice goes once sound plays.
  PlaybackChoice choice;
  auto device = std::make_unique<QtAudioDevice>(output);
  device->SetNoticeHandler(std::move(laterNotice));
  device->NoticeStands();
  choice.device = std::move(device);
  choice.notice = FormatMessage(MessageId::kNoAudioOutput);
  return choice;
}

}  // namespace sonaveld
