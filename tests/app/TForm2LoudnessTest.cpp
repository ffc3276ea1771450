// The normalizer window's ラウドネス mode: a pass over a mixed batch held against the engine meter
// reading the outputs, the rows, the saved report; "測定" writing nothing; refused boxes.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <fstream>

#include <QTimer>

#include "TForm2TestSupport.h"
#include "analysis/LoudnessMeter.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

constexpr int kRate = 44100;
constexpr int64_t kFrames = 3 * kRate;

// Uniform noise of the given amplitude (fraction of full scale), the same for every run.
double Noise(int64_t frame, int channel, double amplitude) {
  uint32_t x = static_cast<uint32_t>(frame * 2 + channel) * 2654435761u + 12345u;
  x ^= x >> 15, x *= 2246822519u, x ^= x >> 13;
  return amplitude * (static_cast<double>(x) / 4294967295.0 * 2 - 1);
}

// A 1 kHz tone of 10 ms every 400 ms at 0.9: peaks near -1 dBFS, loudness near -20 LUFS.
double Bursts(int64_t frame) {
  return frame % (kRate * 2 / 5) < kRate / 100 ? 0.9 * std::sin(2 * M_PI * 1000.0 * frame / kRate) : 0.0;
}

WavRecipe Integer(int bits, int channels, std::function<double(int64_t, int)> signal) {
  WavRecipe r;
  r.bits = bits, r.channels = channels, r.rate = kRate, r.frames = kFrames, r.extensible = bits == 24;
  const double full = std::ldexp(1.0, bits - 1) - 1;
  r.sample = [signal, full](int64_t f, int c) { return static_cast<int>(std::lround(signal(f, c) * full)); };
  return r;
}

LoudnessFigures Measure(const std::string& path) {
  auto source = FileSource::Open(path);
  if (!source) return {};
  const ProbeResult probe = ProbeWave(*source, path);
  return MeasureLoudness(*source, probe.header).value;
}

std::vector<std::string> LinesOf(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

class TForm2LoudnessTest : public QObject {
  Q_OBJECT

 private slots:
  void passReachesTargetAndReportsEveryFile();
  void measureWritesNothingAndBoxesAreChecked();
  void peakPassRowsAndReportShowLevels();
  void stopOrCloseWhileWritingKeepsNoOutput_data();
  void stopOrCloseWhileWritingKeepsNoOutput();
};

void TForm2LoudnessTest::stopOrCloseWhileWritingKeepsNoOutput_data() {
  QTest::addColumn<bool>("close");
  QTest::newRow("中止") << false;
  QTest::newRow("閉じる") << true;
}

// 中止, or 閉じる, while the jobs write: every file stops and none leaves an output behind.
void TForm2LoudnessTest::stopOrCloseWhileWritingKeepsNoOutput() {
  QFETCH(bool, close);
  Form2Fixture f;
  f.form.show();
  std::atomic<bool> writing{false};
  UseSlowSinks(f.form, &writing, 4);  // a file takes about 0.45 s: the stop reaches the jobs well before
  WavRecipe loud = Integer(16, 2, [](int64_t fr, int c) { return Noise(fr, c, 0.3); });
  loud.frames = 20 * kRate;  // 3.5 MB
  const QStringList files = {f.WavOf("a.wav", loud), f.WavOf("b.wav", loud), f.WavOf("c.wav", loud)};
  f.Add(files);
  f.c().RadioGroup1Item2->click();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &f.form, [&] {
    if (!writing) return;
    poll.stop();
    (close ? f.c().SpeedButton8 : f.c().SpeedButton7)->click();
  });
  poll.start(2);
  f.c().SpeedButton4->click();
  QVERIFY(writing);
  QCOMPARE(QString::fromStdString(f.dir.Listing()), QStringLiteral("a.wav b.wav c.wav"));
  QCOMPARE(f.form.ReportRows().size(), size_t{3});
  for (const ReportRow& row : f.form.ReportRows()) QCOMPARE(QString::fromStdString(row.status), QStringLiteral("stopped"));
  QCOMPARE(f.form.isVisible(), !close);
  QVERIFY(f.c().SpeedButton4->isEnabled());
}

void TForm2LoudnessTest::passReachesTargetAndReportsEveryFile() {
  Form2Fixture f;
  WavRecipe floats;
  floats.bits = 32, floats.formatTag = 3, floats.rate = kRate, floats.frames = kFrames;
  floats.floatSample = [](int64_t fr, int c) { return static_cast<float>(Noise(fr, c, 0.02)); };
  const QStringList files = {
      f.WavOf("s16.wav", Integer(16, 2, [](int64_t fr, int c) { return Noise(fr, c, 0.3); })),
      f.WavOf("m24.wav", Integer(24, 1, [](int64_t fr, int) { return Noise(fr, 0, 0.05); })),
      f.WavOf("f32.wav", floats),
      f.WavOf("silent.wav", Integer(16, 2, [](int64_t, int) { return 0.0; })),
      f.WavOf("peaky.wav", Integer(16, 1, [](int64_t fr, int) { return Bursts(fr); })),
  };
  const std::vector<uint8_t> source = f.Bytes("s16.wav");
  f.Add(files);
  f.c().RadioGroup1Item2->click();
  QVERIFY(!f.c().SpinEdit1->isEnabled());  // the percentage has no say here
  f.c().ComboBox1->setCurrentIndex(2);     // ポッドキャスト: -16 LUFS, -1 dBTP
  emit f.c().ComboBox1->activated(2);
  QCOMPARE(f.c().Edit1->text(), QStringLiteral("-16.0"));
  f.c().SpeedButton4->click();

  QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
  QCOMPARE(f.Bytes("s16.wav"), source);
  for (const char* name : {"s16-n.wav", "m24-n.wav", "f32-n.wav"}) {
    const LoudnessFigures out = Measure(f.dir.File(name));
    QVERIFY2(std::abs(out.integratedLufs + 16) < 0.1, name);
  }
  QVERIFY(!f.Exists("silent-n.wav"));  // no loudness: left alone
  const LoudnessFigures peaky = Measure(f.dir.File("peaky-n.wav"));
  QVERIFY(peaky.truePeakDbtp <= -1 + 0.05 && peaky.integratedLufs < -16.5);  // the ceiling held it back
  QVERIFY(f.c().ListBox1->item(0)->text().contains(QStringLiteral("→ I -16.0 LUFS")));
  QVERIFY(f.c().ListBox1->item(3)->text().contains(QStringLiteral("そのまま")));
  QVERIFY(f.c().ListBox1->item(4)->text().contains(QStringLiteral("トゥルーピーク上限で制限")));
  QCOMPARE(f.Bar1(), f.c().ProgressBar1->maximum());
  QCOMPARE(f.Bar2(), f.c().ProgressBar2->maximum());
  QCOMPARE(f.form.Entries(), files);

  const std::string report = f.dir.File("r.csv");
  f.prompts.saveAnswers.push_back(QString::fromStdString(report));
  f.c().SpeedButton10->click();
  const std::vector<std::string> lines = LinesOf(report);
  QCOMPARE(lines.size(), size_t{6});
  QVERIFY(lines[1].find(",ok,") != std::string::npos && lines[1].find(",false,-16.0") != std::string::npos);
  QVERIFY(lines[4].find(",unchanged,") != std::string::npos);
  QVERIFY(lines[5].find(",true,") != std::string::npos);
}

void TForm2LoudnessTest::measureWritesNothingAndBoxesAreChecked() {
  Form2Fixture f;
  const QString a = f.WavOf("a.wav", Integer(16, 2, [](int64_t fr, int c) { return Noise(fr, c, 0.3); }));
  f.Add({a});
  f.c().SpeedButton9->click();
  QVERIFY(!f.Exists("a-n.wav"));
  const double measured = Measure(a.toStdString()).integratedLufs;
  QVERIFY(f.c().ListBox1->item(0)->text().contains(QStringLiteral("I %1 LUFS").arg(measured, 0, 'f', 1)));
  QCOMPARE(f.form.ReportRows().size(), size_t{1});

  f.c().RadioGroup1Item2->click();
  f.c().Edit1->setText(QStringLiteral("-4"));
  f.c().SpeedButton4->click();
  f.c().Edit1->setText(QStringLiteral("−23"));  // the minus sign is taken for "-"
  f.c().Edit2->setText(QStringLiteral("abc"));
  f.c().SpeedButton4->click();
  QCOMPARE(f.prompts.messages, QStringList({QStringLiteral("目標ラウドネスは -70 から -5 までの数値（LUFS）で指定して下さい。"),
                                            QStringLiteral("トゥルーピークの上限は -9 から 0 までの数値（dBTP）で指定して下さい。")}));
  QVERIFY(!f.Exists("a-n.wav"));
  f.c().RadioGroup1Item0->click();
  QVERIFY(f.c().SpinEdit1->isEnabled());
}

void TForm2LoudnessTest::peakPassRowsAndReportShowLevels() {
  Form2Fixture f;
  WavRecipe r;
  r.frames = 4000;
  r.sample = [](int64_t fr, int c) { return fr == 100 ? (c == 0 ? 16384 : -8192) : 0; };  // -6.02 / -12.04 dBFS
  WavRecipe three = r;  // a third channel at -18.06 dBFS
  three.channels = 3;
  three.sample = [](int64_t fr, int c) { return fr == 100 ? (c == 0 ? 16384 : c == 1 ? -8192 : 4096) : 0; };
  f.Add({f.WavOf("lr.wav", r), f.WavOf("three.wav", three)});
  f.c().SpeedButton4->click();
  QVERIFY(f.c().ListBox1->item(0)->text().endsWith(QStringLiteral("レベル -6.0 / -12.0 dBFS  利得 +6.02 / +12.04 dB  クリップ 0 / 0")));
  QVERIFY(f.c().ListBox1->item(1)->text().endsWith(
      QStringLiteral("レベル -6.0 / -12.0 / -18.1 dBFS  利得 +6.02 / +12.04 / +18.06 dB  クリップ 0 / 0 / 0")));
  const std::string report = f.dir.File("p.csv");
  f.prompts.saveAnswers.push_back(QString::fromStdString(report));
  f.c().SpeedButton10->click();
  const std::vector<std::string> lines = LinesOf(report);
  QCOMPARE(lines.size(), size_t{3});
  QVERIFY(lines[0].ends_with(",clipped_right,level_ch3_dbfs,gain_ch3_db,clipped_ch3"));  // the level columns are there
  QVERIFY2(lines[1].find(",ok,,-6.02,-12.04,") != std::string::npos, lines[1].c_str());
  QVERIFY2(lines[2].ends_with(",-18.06,18.061535,0"), lines[2].c_str());
}

QTEST_MAIN(TForm2LoudnessTest)
#include "TForm2LoudnessTest.moc"
