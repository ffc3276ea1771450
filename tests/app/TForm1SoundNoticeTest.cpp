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
  void noticeStaysWholeInFrontOfFileInformation_data();
  void noticeStaysWholeInFrontOfFileInformation();
  void floatFileInformationDrawnWhole_data();
  void floatFileInformationDrawnWhole();
};

void TForm1SoundNoticeTest::noticeStaysWholeInFrontOfFileInformation_data() {
  QTest::addColumn<QString>("notice");
  QTest::addColumn<QString>("file");
  QTest::newRow("no output, short name") << kNoOutput << "a.wav";
  QTest::newRow("output lost, long name")
      << kLost << "field_recording_2024_03_17_morning_session_take_12_final_mix_left_right.wav";
}

// Every open writes the file information anew; the notice stays in front of it, and its columns
// of the drawn status bar are those of the notice drawn alone: no file name, however long,
// pushes it out of sight or cuts it.
void TForm1SoundNoticeTest::noticeStaysWholeInFrontOfFileInformation() {
  QFETCH(QString, notice);
  QFETCH(QString, file);
  Harness h;
  TForm1& f = *h.form;
  const QLabel& panel = *f.Controls().StatusPanel0;
  f.SetSoundNotice(notice);
  QCOMPARE(panel.text(), notice);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  h.Open(h.Wav(file.toStdString(), Stereo16()));
  const QString info = file + QStringLiteral("  量子化ビット数;16  周波数[Hz];44100  ステレオ");
  QCOMPARE(panel.text(), notice + QStringLiteral("  ") + info);

  const int noticeEnd = panel.contentsRect().left() + QFontMetrics(panel.font()).horizontalAdvance(notice);
  QVERIFY2(noticeEnd <= panel.contentsRect().right(), qPrintable(QString::number(noticeEnd)));
  const QString drawn = InkMask(DrawnPanel(panel), noticeEnd);
  QVERIFY(drawn.count('#') > 100);
  QCOMPARE(drawn, InkMask(DrawnAlone(panel, notice), noticeEnd));

  f.SetSoundNotice(QString());  // sound plays again: the file information alone
  QCOMPARE(panel.text(), info);
}

void TForm1SoundNoticeTest::floatFileInformationDrawnWhole_data() {
  QTest::addColumn<QString>("notice");
  QTest::newRow("sound") << QString();
  QTest::newRow("no output") << kNoOutput;
}

// The longest file information, a float file's, reaches the status bar whole, behind the notice
// too: the drawn panel's ink is that of the whole text drawn alone, up to the text's end.
void TForm1SoundNoticeTest::floatFileInformationDrawnWhole() {
  QFETCH(QString, notice);
  Harness h;
  TForm1& f = *h.form;
  const QLabel& panel = *f.Controls().StatusPanel0;
  f.SetSoundNotice(notice);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  WavRecipe recipe = Stereo16();
  recipe.bits = 32;
  recipe.formatTag = 3;
  recipe.extensible = true;
  h.Open(h.Wav("take12.wav", recipe));
  const QString info = QStringLiteral("take12.wav  量子化ビット数;32(浮動小数点)  周波数[Hz];44100  ステレオ");
  const QString text = notice.isEmpty() ? info : notice + QStringLiteral("  ") + info;
  QCOMPARE(panel.text(), text);

  const int textEnd = panel.contentsRect().left() + QFontMetrics(panel.font()).horizontalAdvance(text);
  QVERIFY2(textEnd <= panel.contentsRect().right(),
           qPrintable(QStringLiteral("text ends at %1, panel at %2").arg(textEnd).arg(panel.contentsRect().right())));
  const QString drawn = InkMask(DrawnPanel(panel), textEnd);
  QVERIFY(drawn.count('#') > 100);
  QCOMPARE(drawn, InkMask(DrawnAlone(panel, text), textEnd));
}

QTEST_MAIN(TForm1SoundNoticeTest)
#include "TForm1SoundNoticeTest.moc"
