// Files of more than two channels in the main window: the "再生チャンネル" submenu (last in 編集,
// enabled for 3+ channels only, 1+2 again on every open), the bytes the sound output is handed
// for the channels chosen, against samples picked here from the file's recipe, and the lane labels.
#include <QMenu>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/RasterWidget.h"
#include "playback/QtAudioDevice.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

int Sample(int64_t f, int c) { return static_cast<int>((f * 131 + c * 7919) % 60000) * 97 - 2910000; }

// An output that plays nothing and hands its stream to the test.
struct RecordingOutput final : AudioOutput {
  explicit RecordingOutput(QIODevice*& s) : source(s) {}
  ~RecordingOutput() override { source = nullptr; }
  bool Start(QIODevice* s) override { return (source = s) != nullptr; }
  void Suspend() override {}
  void Resume() override {}
  int64_t PlayedMicroseconds() override { return 0; }
  QIODevice*& source;
};

// Stereo frames of channels left and right as the sink gets them: 16-bit little-endian, 24-bit
// (the recipe keeps the value's low 24 bits) as 32-bit v << 8.
QByteArray Picked(int bits, int left, int right) {
  QByteArray bytes;
  for (int64_t f = 0; f < 3000; ++f) {
    for (const int c : {left, right}) {
      const int v = bits == 16 ? static_cast<int16_t>(Sample(f, c)) : Sample(f, c);
      if (bits == 24) bytes += char(0);
      for (int b = 0; b < bits / 8; ++b) bytes += char(v >> (8 * b));
    }
  }
  return bytes;
}

// The stream's bytes read in requests of odd sizes, most of them cutting a frame.
QByteArray ReadAll(QIODevice* source) {
  QByteArray all;
  for (int i = 0; source && !source->atEnd(); ++i) all += source->read(std::vector<int>{4095, 1, 2, 3, 5, 7, 400}[i % 7]);
  return all;
}

// Pixels of columns 0..15, rows [top, top + rows) of the stack, neither white nor the strokes' blue.
int Ink(TForm1& form, int top, int rows) {
  int ink = 0;
  for (int y = top; y < top + rows; ++y)
    for (int x = 0; x < 16; ++x) {
      const QRgb p = (y < 160 ? form.Controls().Image1 : form.Controls().Image2)->Image().pixel(x, y % 160);
      ink += p != view::kWhite && p != view::kBlue;
    }
  return ink;
}

}  // namespace

class TForm1ChannelsTest : public QObject {
  Q_OBJECT

 private slots:
  void channelsChosenPlayAndLanesAreLabelled() {
    TempDir dir;
    ScriptedPrompts prompts;
    QIODevice* source = nullptr;
    QtAudioDevice device([&](const QAudioFormat&) { return std::make_unique<RecordingOutput>(source); },
                         [] { return int64_t{0}; });
    TForm1 form(prompts, device);
    QMenu* menu = form.Menus().PlayChannels1;
    auto open = [&](int channels, int bits) {
      WavRecipe r;
      r.channels = channels, r.bits = bits, r.frames = 3000, r.sample = Sample, r.extensible = bits == 24;
      const std::string path = dir.File(std::to_string(channels) + ".wav");
      WriteFileBytes(path, BuildWav(r));
      prompts.openAnswers.push_back(QString::fromStdString(path));
      form.Open1Click();
    };
    auto choose = [&](int item) { menu->actions().at(item)->trigger(); };
    QCOMPARE(form.Menus().Edit1->actions().last()->menu(), menu);
    QVERIFY(!menu->isEnabled());

    open(5, 16);
    QVERIFY(menu->isEnabled());
    QStringList captions;
    for (const QAction* a : menu->actions()) captions << a->text() + (a->isChecked() ? "*" : "");
    QCOMPARE(captions, QStringList({"1+2*", "3+4", "", "1", "2", "3", "4", "5"}));
    for (int k = 0; k < 5; ++k) QVERIFY2(Ink(form, k * 64, 14) > 0 && Ink(form, k * 64 + 16, 48) == 0, "label");

    open(4, 24);
    form.SpeedButton1Click();
    QCOMPARE(ReadAll(source), Picked(24, 0, 1));
    choose(1);  // 3+4 while playing: it starts again with them
    QCOMPARE(ReadAll(source), Picked(24, 2, 3));
    form.SpeedButton2Click();

    open(6, 16);
    QVERIFY(menu->actions().first()->isChecked());
    form.SpeedButton1Click();
    QCOMPARE(ReadAll(source), Picked(16, 0, 1));
    choose(8);  // 5: on both sides
    QCOMPARE(ReadAll(source), Picked(16, 4, 4));
    form.SpeedButton2Click();

    open(2, 16);
    QVERIFY(!menu->isEnabled());
    QCOMPARE(Ink(form, 0, 320), 0);
    form.SpeedButton1Click();
    QCOMPARE(ReadAll(source).size(), 3000 * 4);
  }
};

QTEST_MAIN(TForm1ChannelsTest)
#include "TForm1ChannelsTest.moc"
