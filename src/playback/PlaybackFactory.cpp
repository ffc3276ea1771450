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
  return ChoosePlaybackDevice(QMediaDevices::defaultAudioOutput(), std::move(laterNotice));
}

}  // namespace sonaveld
