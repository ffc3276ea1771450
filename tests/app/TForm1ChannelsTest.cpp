// Files of more than two channels in the main window: the "再生チャンネル" submenu (its place, its
// items, enabled for 3+ channels only, 1+2 again on every open), the bytes that reach the sound
// output for the channels chosen, compared with samples picked here from the file's recipe, and
// the lane labels.
#include <QAction>
#include <QMenu>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/RasterWidget.h"
#include "playback/QtAudioDevice.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// A distinct 16-bit value for every (frame, channel).
int Sample(int64_t frame, int channel) { return static_cast<int>((frame * 131 + channel * 7919) % 60000) - 30000; }

// An output that plays nothing and hands its stream to the test.
class RecordingOutput final : public AudioOutput {
 public:
  explicit RecordingOutput(QIODevice*& source) : source_(source) {}
  ~RecordingOutput() override { source_ = nullptr; }
  bool Start(QIODevice* source) override {
    source_ = source;
    return true;
  }
  void Suspend() override {}
  void Resume() override {}
  int64_t PlayedMicroseconds() override { return 0; }

 private:
  QIODevice*& source_;
};

// The little-endian stereo frames of channels left and right of every frame of a 16-bit file.
QByteArray Picked(int64_t frames, int left, int right) {
  QByteArray bytes;
  for (int64_t f = 0; f < frames; ++f) {
    for (const int c : {left, right}) {
      const auto v = static_cast<uint16_t>(Sample(f, c));
      bytes += char(v & 0xFF);
      bytes += char(v >> 8);
    }
  }
  return bytes;
}

QStringList Captions(const QMenu* menu) {
  QStringList captions;
  for (const QAction* a : menu->actions()) captions << a->text();
  return captions;
}

// Pixels of the rectangle that are neither white nor the waveform's blue: the label's ink.
int LabelInk(const QImage& image, int top, int height) {
  int ink = 0;
  for (int y = std::max(top, 0); y < std::min(top + height, image.height()); ++y)
    for (int x = 0; x < 16; ++x) ink += image.pixel(x, y) != view::kWhite && image.pixel(x, y) != view::kBlue;
  return ink;
}

}  // namespace

class TForm1ChannelsTest : public QObject {
  Q_OBJECT

 private:
  TempDir dir_;
  ScriptedPrompts prompts_;
  QIODevice* source_ = nullptr;
  QAudioFormat format_;
  QtAudioDevice device_{[this](const QAudioFormat& format) -> std::unique_ptr<AudioOutput> {
                          format_ = format;
                          return std::make_unique<RecordingOutput>(source_);
                        },
                        [] { return int64_t{0}; }};

  QString Wav(const std::string& name, int channels, int64_t frames) {
    WavRecipe r;
    r.channels = channels, r.frames = frames, r.sample = Sample;
    const std::string path = dir_.File(name);
    WriteFileBytes(path, BuildWav(r));
    return QString::fromStdString(path);
  }
  void Open(TForm1& form, const QString& path) {
    prompts_.openAnswers.push_back(path);
    form.Open1Click();
  }
  static void Choose(TForm1& form, const char* name) {
    auto* item = form.Menus().PlayChannels1->findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(item != nullptr, name);
    item->trigger();
  }

 private slots:
  void menuSitsLastInEditAndFollowsTheFile() {
    TForm1 form(prompts_, device_);
    const Form1Menus& m = form.Menus();
    const QList<QAction*> edit = m.Edit1->actions();
    QCOMPARE(edit.size(), 18);
    QVERIFY(edit.at(16)->isSeparator());
    QCOMPARE(edit.at(17)->menu(), m.PlayChannels1);
    QCOMPARE(m.PlayChannels1->title(), QStringLiteral("再生チャンネル"));
    QVERIFY(!m.PlayChannels1->isEnabled());

    Open(form, Wav("five.wav", 5, 100));
    QVERIFY(m.PlayChannels1->isEnabled());
    QCOMPARE(Captions(m.PlayChannels1), QStringList({"1+2", "3+4", "", "1", "2", "3", "4", "5"}));
    QVERIFY(m.PlayChannels1->actions().first()->isChecked());
    Choose(form, "PlaySingle5");
    QCOMPARE(device_.PlayChannels(), (ChannelPair{4, 4}));
    QVERIFY(m.PlayChannels1->actions().last()->isChecked());

    Open(form, Wav("two.wav", 2, 100));
    QVERIFY(!m.PlayChannels1->isEnabled());
    QCOMPARE(device_.PlayChannels(), ChannelPair{});

    Open(form, Wav("six.wav", 6, 100));
    QCOMPARE(Captions(m.PlayChannels1), QStringList({"1+2", "3+4", "5+6", "", "1", "2", "3", "4", "5", "6"}));
    QVERIFY(m.PlayChannels1->actions().first()->isChecked());
    QCOMPARE(device_.PlayChannels(), ChannelPair{});
  }

  // The sound output gets a stereo stream of the chosen channels at the file's rate, also when the
  // choice changes during playback.
  void theChosenChannelsReachTheOutput() {
    TForm1 form(prompts_, device_);
    Open(form, Wav("four.wav", 4, 3000));
    form.SpeedButton1Click();
    QVERIFY(source_ != nullptr);
    QCOMPARE(format_.channelCount(), 2);
    QCOMPARE(format_.sampleFormat(), QAudioFormat::Int16);
    QCOMPARE(format_.sampleRate(), 44100);
    QCOMPARE(source_->readAll(), Picked(3000, 0, 1));

    Choose(form, "PlayPair3");  // while playing: it starts again with channels 3 and 4
    QVERIFY(source_ != nullptr);
    QCOMPARE(source_->readAll(), Picked(3000, 2, 3));

    form.SpeedButton2Click();
    Choose(form, "PlaySingle2");
    form.SpeedButton1Click();
    QVERIFY(source_ != nullptr);
    QCOMPARE(source_->readAll(), Picked(3000, 1, 1));
    form.SpeedButton2Click();
  }

  // Every lane of a file of 3+ channels carries its number at the left; stereo lanes carry none.
  void lanesAreLabelled() {
    TForm1 form(prompts_, device_);
    Open(form, Wav("six.wav", 6, 3000));
    const QImage& one = form.Controls().Image1->Image();
    const QImage& two = form.Controls().Image2->Image();
    for (int k = 0; k < 6; ++k) {
      const int top = k * 53;
      const int ink = LabelInk(one, top, 14) + LabelInk(two, top - 160, 14);
      QVERIFY2(ink > 0, qPrintable(QStringLiteral("lane %1").arg(k + 1)));
      // Only the label's box: the rest of the lane's label columns is stroke or white.
      const int below = LabelInk(one, top + 16, 53 - 16) + LabelInk(two, top + 16 - 160, 53 - 16);
      QCOMPARE(below, 0);
    }
    Open(form, Wav("two.wav", 2, 3000));
    QCOMPARE(LabelInk(one, 0, 160) + LabelInk(two, 0, 160), 0);
  }
};

QTEST_MAIN(TForm1ChannelsTest)
#include "TForm1ChannelsTest.moc"
