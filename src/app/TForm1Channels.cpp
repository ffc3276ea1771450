// The channels that play ("再生チャンネル", Edit menu): a file of 3 to 8 channels plays two of them,
// a pair or one channel on both sides, chosen per file (1+2 on every open).
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/TForm1.h"
#include "playback/PlaybackDevice.h"

namespace sonaveld {
namespace {

QAction* ChannelItem(QMenu* menu, QActionGroup* group, const QString& caption, const QString& name) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  item->setCheckable(true);
  group->addAction(item);
  return item;
}

}  // namespace

void TForm1::ResetPlayChannels(int channels) {
  QMenu* menu = m_.PlayChannels1;
  menu->clear();  // the items of the file before
  for (QActionGroup* old : menu->findChildren<QActionGroup*>()) delete old;
  device_.SetPlayChannels(ChannelPair{});
  menu->setEnabled(channels >= 3);
  if (channels < 3) return;
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  auto add = [&](const QString& caption, const QString& name, ChannelPair pair) {
    QAction* item = ChannelItem(menu, group, caption, name);
    connect(item, &QAction::triggered, this, [this, pair] { PlayChannelsClick(pair); });
    return item;
  };
  for (int left = 0; left + 1 < channels; left += 2) {
    add(QStringLiteral("%1+%2").arg(left + 1).arg(left + 2), QStringLiteral("PlayPair%1").arg(left + 1),
        ChannelPair{left, left + 1});
  }
  menu->addSeparator();
  for (int c = 0; c < channels; ++c) {
    add(QString::number(c + 1), QStringLiteral("PlaySingle%1").arg(c + 1), ChannelPair{c, c});
  }
  menu->actions().first()->setChecked(true);
}

void TForm1::PlayChannelsClick(ChannelPair channels) {
  device_.SetPlayChannels(channels);
  // The device takes the channels at its next start: a running playback starts again where it is.
  if (Playing()) device_.SetPosition(device_.Position());
}

}  // namespace sonaveld
