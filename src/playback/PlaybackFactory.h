#pragma once
#include <QAudioDevice>
#include <memory>
#include <string>

#include "playback/PlaybackDevice.h"
#include "playback/QtAudioDevice.h"

namespace sonaveld {

// The playback device of the main window and what to tell the user about it.
struct PlaybackChoice {
  std::unique_ptr<PlaybackDevice> device;
  // Empty when sound plays; else the status text (MessageId::kNoAudioOutput) to show once.
  std::string notice;
};

// Sound on the given output device; the clock-only device with the notice when output is null.
// laterNotice is handed to the sounding device for a sink that fails to start or breaks off
// later on (QtAudioDevice::SetNoticeHandler).
PlaybackChoice ChoosePlaybackDevice(const QAudioDevice& output,
                                    QtAudioDevice::NoticeHandler laterNotice = {});
// The same on the system's default output (QMediaDevices; needs a QGuiApplication); when none is
// seen at start, the sounding device on the server's default sink with the notice, so that sound
// plays once the server is there.
PlaybackChoice ChooseSystemPlaybackDevice(QtAudioDevice::NoticeHandler laterNotice = {});

}  // namespace sonaveld
