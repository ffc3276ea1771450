// The sound-output notice in panel 0 of the status bar: it stays in front of the file
// information that each open writes there, and it is drawn whole in the shown window.
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QtTest>

#include "AppTestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kNoOutput = QStringLiteral("音声出力がありません。再生は時間のみ進みます。");
const QString kLost = QStringLiteral("音声出力が停止しました。次の再生で音声出力を再び試みます。");

WavRecipe Stereo16() {
  WavRecipe recipe;
  recipe.frames = 4410;
  return recipe;
}

// Which pixels of the columns [0, width) of an image are ink (darker than mid grey), row by row.
QString InkMask(const QImage& image, int width) {
  QString mask;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < width && x < image.width(); ++x) mask += qGray(image.pixel(x, y)) < 128 ? '#' : '.';
    mask += '\n';
  }
  return mask;
}

// The panel as the shown status bar draws it, and a label of the same size, font and alignment
// that shows text alone.
QImage DrawnPanel(const QLabel& panel) {
  const QImage bar = qobject_cast<QWidget*>(panel.parent())->grab().toImage();
  return bar.copy(panel.geometry());
}

QImage DrawnAlone(const QLabel& panel, const QString& text) {
  QLabel alone(text);
  alone.setFont(panel.font());
  alone.setAlignment(panel.alignment());
  alone.setContentsMargins(panel.contentsMargins());
  alone.resize(panel.size());
  return alone.grab().toImage();
}

}  // namespace

class TForm1SoundNoticeTest : public QObject {
  Q_OBJECT

 private slots:
  void noticeStaysInFrontOfFileInformation_data();
  void noticeStaysInFrontOfFileInformation();
  void noticeIsDrawnWhole_data();
  void noticeIsDrawnWhole();
};

void TForm1SoundNoticeTest::noticeStaysInFrontOfFileInformation_data() {
  QTest::addColumn<QString>("notice");
  QTest::newRow("no output at start") << kNoOutput;
  QTest::newRow("output lost") << kLost;
}

void TForm1SoundNoticeTest::noticeStaysInFrontOfFileInformation() {
  QFETCH(QString, notice);
  Harness h;
  TForm1& f = *h.form;
  const QLabel& panel = *f.Controls().StatusPanel0;
  f.SetSoundNotice(notice);
  QCOMPARE(panel.text(), notice);
  const QString info = QStringLiteral("take.wav  量子化ビット数;16  周波数[Hz];44100  ステレオ");
  h.Open(h.Wav("take.wav", Stereo16()));
  QCOMPARE(panel.text(), notice + QStringLiteral("  ") + info);
  h.Open(h.Wav("take.wav", Stereo16()));  // every open writes the panel anew
  QCOMPARE(panel.text(), notice + QStringLiteral("  ") + info);
  f.SetSoundNotice(QString());  // sound plays again: the file information alone
  QCOMPARE(panel.text(), info);
}

void TForm1SoundNoticeTest::noticeIsDrawnWhole_data() {
  QTest::addColumn<QString>("file");
  QTest::newRow("short name") << "a.wav";
  QTest::newRow("long name") << "field_recording_2024_03_17_morning_session_take_12_final_mix_left_right.wav";
}

// The notice's columns of the drawn status bar are those of the notice drawn alone: no file
// name, however long, pushes it out of sight or cuts it.
void TForm1SoundNoticeTest::noticeIsDrawnWhole() {
  QFETCH(QString, file);
  Harness h;
  TForm1& f = *h.form;
  f.SetSoundNotice(kNoOutput);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  h.Open(h.Wav(file.toStdString(), Stereo16()));
  const QLabel& panel = *f.Controls().StatusPanel0;
  QVERIFY(panel.isVisible());
  const int noticeEnd = panel.contentsRect().left() + QFontMetrics(panel.font()).horizontalAdvance(kNoOutput);
  QVERIFY2(noticeEnd <= panel.contentsRect().right(), qPrintable(QString::number(noticeEnd)));
  const QString drawn = InkMask(DrawnPanel(panel), noticeEnd);
  QVERIFY(drawn.count('#') > 100);
  QCOMPARE(drawn, InkMask(DrawnAlone(panel, kNoOutput), noticeEnd));
}

QTEST_MAIN(TForm1SoundNoticeTest)
#include "TForm1SoundNoticeTest.moc"
