// Pixel tests of the waveform lanes: the view-bounds step and the drawing loop.
#include <QTest>
#include <algorithm>
#include <cmath>

#include "io/ByteSource.h"
#include "support/WavBuilder.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"
#include "view/WaveLanes.h"

using namespace sonaveld;
using namespace sonaveld::view;
using sonaveld::test::BuildWav;
using sonaveld::test::WavRecipe;

namespace {

// Counts the reads the drawing loop makes.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(std::vector<uint8_t> bytes) : inner_(std::move(bytes)) {}
  int64_t Size() override { return inner_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    ++reads;
    bytesAsked += n;
    return inner_.ReadAt(offset, buffer, n);
  }
  int reads = 0;
  int64_t bytesAsked = 0;

 private:
  MemorySource inner_;
};

// A file of any size whose every sample is full scale (32767); records the offsets read.
class LargeSource final : public ByteSource {
 public:
  explicit LargeSource(int64_t size) : size_(size) {}
  int64_t Size() override { return size_; }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    offsets.push_back(offset);
    const int64_t got = std::clamp<int64_t>(size_ - offset, 0, n);
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (int64_t i = 0; i < got; ++i) bytes[i] = (offset + i) % 2 == 0 ? 0xFF : 0x7F;
    return got;
  }
  std::vector<int64_t> offsets;

 private:
  int64_t size_;
};

// A signal that sweeps the whole sample range, different in the two channels.
int Sweep(int64_t frame, int channel, int bits) {
  const int64_t n = frame * 7 + channel * 3;
  return bits == 16 ? static_cast<int>((n * 409) % 65536) - 32768 : static_cast<int>((n * 13) % 256);
}

int ExpectedY(int bits, int value) { return bits == 16 ? LaneY16(value) : LaneY8(value); }

struct Drawn {
  QImage image1 = NewLane();
  QImage image2 = NewLane();
  ViewBounds bounds{};
  DrawLoopResult loop{};
};

Drawn DrawView(ByteSource& source, const WaveHeader& h, int64_t viewStart, int32_t zoom) {
  Drawn d;
  d.bounds = ComputeViewBounds(h, viewStart, zoom);
  d.loop = DrawWaveLanes(source, h, viewStart, d.bounds.viewEnd, zoom, d.image1, d.image2);
  return d;
}

WavRecipe Recipe(int channels, int bits, int64_t frames) {
  WavRecipe recipe;
  recipe.channels = channels;
  recipe.bits = bits;
  recipe.frames = frames;
  recipe.sample = [bits](int64_t f, int c) { return Sweep(f, c, bits); };
  return recipe;
}

}  // namespace

class WaveLanesTest : public QObject {
  Q_OBJECT

 private slots:
  void firstDraw_data();
  void firstDraw();
  void sampleScale_data();
  void sampleScale();
  void wideSamplesOnTheSixteenBitScale_data();
  void wideSamplesOnTheSixteenBitScale();
  void viewBounds_data();
  void viewBounds();
  void fileShorterThanView_data();
  void fileShorterThanView();
  void trailingChunkIsNotDrawn();
  void oneReadOfOneFramePerColumn();
  void offsetsBeyondTwoGigabytes();
  void viewPastTheEndDrawsNothing();
};

void WaveLanesTest::firstDraw_data() {
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("bits");
  QTest::addColumn<qlonglong>("viewStart");
  QTest::addColumn<int>("zoom");
  QTest::newRow("16-bit stereo, zoom 1") << 2 << 16 << 1LL << 1;
  QTest::newRow("16-bit stereo, zoom 1000 from 1001") << 2 << 16 << 1001LL << 1000;
  QTest::newRow("16-bit mono, zoom 7") << 1 << 16 << 1LL << 7;
  QTest::newRow("8-bit stereo, zoom 3 from 4") << 2 << 8 << 4LL << 3;
  QTest::newRow("8-bit mono, zoom 1 from 500") << 1 << 8 << 500LL << 1;
}

// Every column shows the one frame viewStart + (c - 1) * zoom, as a single stroke from the zero line.
void WaveLanesTest::firstDraw() {
  QFETCH(int, channels);
  QFETCH(int, bits);
  QFETCH(qlonglong, viewStart);
  QFETCH(int, zoom);
  const int64_t frames = viewStart + 760LL * zoom + 10;
  const std::vector<uint8_t> bytes = BuildWav(Recipe(channels, bits, frames));
  const WaveHeader h = test::HeaderOf(bytes);
  MemorySource source(bytes);
  const Drawn d = DrawView(source, h, viewStart, zoom);

  QCOMPARE(d.bounds.viewEnd, viewStart + 759);
  QCOMPARE(d.loop.column, 760);
  QCOMPARE(d.loop.readBase, h.DataOffset + (viewStart - 1) * FrameBytes(h.Kind));
  for (int c = 1; c < kLaneWidth; ++c) {
    const int64_t frame0 = viewStart + int64_t{c - 1} * zoom - 1;  // 0-based frame
    for (int channel = 0; channel < 2; ++channel) {
      const QImage& lane = channel == 0 ? d.image1 : d.image2;
      const test::ColumnStroke got = test::StrokeIn(lane, c);
      const auto want = channel < channels ? test::ExpectedStroke(ExpectedY(bits, Sweep(frame0, channel, bits)))
                                           : std::nullopt;
      if (got.rows != want || !got.solidBlue)
        QFAIL(qPrintable(QStringLiteral("column %1 channel %2: got %3, want %4")
                             .arg(c).arg(channel).arg(test::RowsText(got.rows), test::RowsText(want))));
    }
  }
  // Column 0 is never drawn on.
  QCOMPARE(test::StrokeIn(d.image1, 0).rows, std::nullopt);
  QCOMPARE(test::StrokeIn(d.image2, 0).rows, std::nullopt);
}

void WaveLanesTest::sampleScale_data() {
  QTest::addColumn<int>("bits");
  QTest::addColumn<int>("value");
  QTest::addColumn<int>("top");  // -1: no stroke
  QTest::addColumn<int>("bottom");
  QTest::newRow("16: 32767 -> y 1") << 16 << 32767 << 2 << 80;
  QTest::newRow("16: -32768 -> y 159") << 16 << -32768 << 80 << 158;
  QTest::newRow("16: 409 silent") << 16 << 409 << -1 << -1;
  QTest::newRow("16: -409 silent") << 16 << -409 << -1 << -1;
  QTest::newRow("16: 0 silent") << 16 << 0 << -1 << -1;
  QTest::newRow("16: 410 one pixel") << 16 << 410 << 80 << 80;
  QTest::newRow("16: -410 one pixel") << 16 << -410 << 80 << 80;
  QTest::newRow("8: 255 -> y 1") << 8 << 255 << 2 << 80;
  QTest::newRow("8: 128 silent") << 8 << 128 << -1 << -1;
  QTest::newRow("8: 129 silent") << 8 << 129 << -1 << -1;
  QTest::newRow("8: 130 one pixel") << 8 << 130 << 80 << 80;
  QTest::newRow("8: 127 one pixel") << 8 << 127 << 80 << 80;
  QTest::newRow("8: 0 -> y 160") << 8 << 0 << 80 << 159;
}

// A constant signal in both channels gives the same stroke in every drawn column of both lanes.
void WaveLanesTest::sampleScale() {
  QFETCH(int, bits);
  QFETCH(int, value);
  QFETCH(int, top);
  QFETCH(int, bottom);
  WavRecipe recipe = Recipe(2, bits, 2000);
  recipe.sample = [value](int64_t, int) { return value; };
  const std::vector<uint8_t> bytes = BuildWav(recipe);
  MemorySource source(bytes);
  const Drawn d = DrawView(source, test::HeaderOf(bytes), 1, 1);
  for (const QImage* lane : {&d.image1, &d.image2}) {
    for (int c = 1; c < kLaneWidth; ++c) {
      const test::ColumnStroke got = test::StrokeIn(*lane, c);
      QVERIFY(got.solidBlue);
      if (top < 0) {
        QCOMPARE(got.rows, std::nullopt);
      } else {
        QCOMPARE(got.rows, std::make_optional(std::make_pair(top, bottom)));
      }
    }
  }
}

void WaveLanesTest::wideSamplesOnTheSixteenBitScale_data() {
  QTest::addColumn<int>("bits");
  QTest::addColumn<int>("tag");  // 1 integer, 3 float; the extensible rows carry it as sub-format
  QTest::addColumn<bool>("extensible");
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("top");  // -1: no stroke
  QTest::addColumn<int>("bottom");
  const double nan = std::nan(""), inf = HUGE_VAL;
  // Truncation toward zero, twice: -104705 / 256 = -409.004 gives -409 (silent), where a floor
  // (or an arithmetic shift) gives -410 and one pixel.
  QTest::newRow("24: full scale") << 24 << 1 << false << 8388607.0 << 2 << 80;
  QTest::newRow("24: -full scale") << 24 << 1 << true << -8388608.0 << 80 << 158;
  QTest::newRow("24: -1 silent") << 24 << 1 << false << -1.0 << -1 << -1;
  QTest::newRow("24: -104705 silent") << 24 << 1 << true << -104705.0 << -1 << -1;
  QTest::newRow("24: 104960 one pixel") << 24 << 1 << false << 104960.0 << 80 << 80;
  QTest::newRow("32: full scale") << 32 << 1 << true << 2147483647.0 << 2 << 80;
  QTest::newRow("32: -full scale") << 32 << 1 << false << -2147483648.0 << 80 << 158;
  QTest::newRow("32: -26804225 silent") << 32 << 1 << false << -26804225.0 << -1 << -1;
  QTest::newRow("float: 1") << 32 << 3 << false << 1.0 << 2 << 80;
  QTest::newRow("float: -1") << 32 << 3 << true << -1.0 << 80 << 158;
  QTest::newRow("float: 2.5 held at full scale") << 32 << 3 << false << 2.5 << 2 << 80;
  QTest::newRow("float: +inf") << 32 << 3 << false << inf << 2 << 80;
  QTest::newRow("float: -inf") << 32 << 3 << true << -inf << 80 << 158;
  QTest::newRow("float: NaN silent") << 32 << 3 << false << nan << -1 << -1;
  QTest::newRow("float: -409.5/32768 silent") << 32 << 3 << false << -409.5 / 32768 << -1 << -1;
  QTest::newRow("float: 409.99/32768 silent") << 32 << 3 << true << 409.99 / 32768 << -1 << -1;
}

// At zoom 1 the even frames hold the value in the left channel, the odd frames in the right one
// (mono: the even frames), every other sample is 0: the value's stroke stands in the columns of
// its frames and lane, one frame per column, and nothing else is drawn.
void WaveLanesTest::wideSamplesOnTheSixteenBitScale() {
  QFETCH(int, bits);
  QFETCH(int, tag);
  QFETCH(bool, extensible);
  QFETCH(double, value);
  QFETCH(int, top);
  QFETCH(int, bottom);
  const auto want = top < 0 ? std::nullopt : std::make_optional(std::make_pair(top, bottom));
  for (int channels : {2, 1}) {
    WavRecipe recipe = Recipe(channels, bits, 2000);
    recipe.formatTag = static_cast<uint16_t>(tag);
    recipe.extensible = extensible;
    const auto holds = [](int64_t f, int c) { return f % 2 == c; };
    recipe.sample = [&](int64_t f, int c) { return holds(f, c) ? static_cast<int>(value) : 0; };
    recipe.floatSample = [&](int64_t f, int c) { return holds(f, c) ? static_cast<float>(value) : 0.0f; };
    const std::vector<uint8_t> bytes = BuildWav(recipe);
    const WaveHeader h = test::HeaderOf(bytes);
    QCOMPARE(ChannelsOf(h.Kind), channels);
    MemorySource source(bytes);
    const Drawn d = DrawView(source, h, 1, 1);
    for (int c = 1; c < kLaneWidth; ++c) {
      const bool even = (c - 1) % 2 == 0;
      QCOMPARE(test::StrokeIn(d.image1, c).rows, even ? want : std::nullopt);
      QCOMPARE(test::StrokeIn(d.image2, c).rows, !even && channels == 2 ? want : std::nullopt);
    }
  }
}

void WaveLanesTest::viewBounds_data() {
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("bits");
  QTest::addColumn<qlonglong>("frames");
  QTest::addColumn<qlonglong>("viewStart");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<qlonglong>("viewEnd");
  QTest::addColumn<qlonglong>("scrollMaximum");  // -1: keep the old maximum
  QTest::newRow("long file") << 2 << 16 << 1000000LL << 1LL << 1000 << 760LL << 240000LL;
  QTest::newRow("exactly one view") << 2 << 16 << 760000LL << 1LL << 1000 << 760LL << -1LL;
  QTest::newRow("one frame more than a view") << 1 << 8 << 760001LL << 1LL << 1000 << 760LL << 1LL;
  QTest::newRow("short, zoom 1") << 2 << 16 << 100LL << 1LL << 1 << 100LL << -1LL;
  QTest::newRow("short, zoom 7") << 1 << 16 << 100LL << 1LL << 7 << 15LL << -1LL;
  QTest::newRow("end inside view") << 2 << 8 << 10000LL << 9001LL << 3 << 9334LL << 7720LL;
  QTest::newRow("last frame in the last column") << 2 << 16 << 7591LL << 1LL << 10 << 760LL << -1LL;
  QTest::newRow("one frame short of it") << 2 << 16 << 7590LL << 1LL << 10 << 759LL << -1LL;
}

void WaveLanesTest::viewBounds() {
  QFETCH(int, channels);
  QFETCH(int, bits);
  QFETCH(qlonglong, frames);
  QFETCH(qlonglong, viewStart);
  QFETCH(int, zoom);
  QFETCH(qlonglong, viewEnd);
  QFETCH(qlonglong, scrollMaximum);
  WaveHeader h;
  h.Kind = ClassifyFormat(bits, channels);
  h.DataOffset = 44;
  h.DataEnd = 44 + frames * FrameBytes(h.Kind);
  h.FileSize = h.DataEnd + 5000;  // a trailing chunk never counts as frames
  const ViewBounds b = ComputeViewBounds(h, viewStart, zoom);
  QCOMPARE(b.viewEnd, viewEnd);
  QCOMPARE(b.scrollMaximum.value_or(-1), scrollMaximum);
  // The frame of the last column lies within the file.
  QVERIFY(viewStart + (b.viewEnd - viewStart) * zoom <= frames);
}

void WaveLanesTest::fileShorterThanView_data() {
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("bits");
  QTest::addColumn<int>("zoom");
  QTest::newRow("16-bit stereo, zoom 1") << 2 << 16 << 1;
  QTest::newRow("8-bit mono, zoom 1") << 1 << 8 << 1;
  QTest::newRow("16-bit mono, zoom 4") << 1 << 16 << 4;
}

// 300 frames of full scale: only the columns up to the last frame are drawn, the rest stays white.
void WaveLanesTest::fileShorterThanView() {
  QFETCH(int, channels);
  QFETCH(int, bits);
  QFETCH(int, zoom);
  WavRecipe recipe = Recipe(channels, bits, 300);
  recipe.sample = [bits](int64_t, int) { return bits == 16 ? 32767 : 255; };
  const std::vector<uint8_t> bytes = BuildWav(recipe);
  MemorySource source(bytes);
  const Drawn d = DrawView(source, test::HeaderOf(bytes), 1, zoom);
  const int lastColumn = (300 - 1) / zoom + 1;
  QCOMPARE(d.loop.column, lastColumn);
  QVERIFY(!d.bounds.scrollMaximum.has_value());
  for (int c = 1; c < kLaneWidth; ++c) {
    const bool drawn = test::StrokeIn(d.image1, c).rows.has_value();
    QVERIFY2(drawn == (c <= lastColumn), qPrintable(QStringLiteral("column %1").arg(c)));
  }
  if (channels == 1) QCOMPARE(test::CountNot(d.image2, kWhite), 0);
}

// Bytes after the data chunk (here 0xFF, which would draw as strokes) are not samples.
void WaveLanesTest::trailingChunkIsNotDrawn() {
  WavRecipe recipe = Recipe(1, 8, 200);
  recipe.sample = [](int64_t, int) { return 128; };
  recipe.chunksAfterData = test::Chunk("LIST", std::vector<uint8_t>(4000, 0xFF));
  const std::vector<uint8_t> bytes = BuildWav(recipe);
  const WaveHeader h = test::HeaderOf(bytes);
  QCOMPARE(h.Frames(), int64_t{200});
  MemorySource source(bytes);
  const Drawn d = DrawView(source, h, 1, 1);
  QCOMPARE(d.loop.column, 200);
  QCOMPARE(test::CountNot(d.image1, kWhite), 0);
  // Even with bounds that ignore the end, nothing past data_end is drawn.
  QImage image1 = NewLane(), image2 = NewLane();
  DrawWaveLanes(source, h, 1, 760, 1, image1, image2);
  QCOMPARE(test::CountNot(image1, kWhite), 0);
}

void WaveLanesTest::oneReadOfOneFramePerColumn() {
  for (int channels : {1, 2}) {
    for (int bits : {8, 16, 24, 32}) {
      CountingSource source(BuildWav(Recipe(channels, bits, 100000)));
      const WaveHeader h = test::HeaderOf(BuildWav(Recipe(channels, bits, 100000)));
      DrawView(source, h, 1, 100);
      QCOMPARE(source.reads, 760);
      QCOMPARE(source.bytesAsked, 760LL * FrameBytes(h.Kind));
    }
  }
}

// A 3.6 GB file: byte offsets past 2 GiB are read where the frames lie (no 32-bit wrap).
void WaveLanesTest::offsetsBeyondTwoGigabytes() {
  WaveHeader h;
  h.Channels = 2;
  h.BitsPerSample = 16;
  h.SampleRate = 44100;
  h.Kind = FormatKind::kStereo16;
  h.DataOffset = 44;
  h.DataEnd = 44 + 900000000LL * 4;
  h.FileSize = h.DataEnd;
  LargeSource source(h.FileSize);
  const int64_t viewStart = 700000001;  // byte 2800000044
  const Drawn d = DrawView(source, h, viewStart, 1000);
  QCOMPARE(d.loop.readBase, 44 + (viewStart - 1) * 4);
  QCOMPARE(static_cast<int>(source.offsets.size()), 760);
  for (int c = 1; c <= 760; ++c)
    QCOMPARE(source.offsets[static_cast<size_t>(c - 1)], 44 + (viewStart - 1 + int64_t{c - 1} * 1000) * 4);
  QCOMPARE(test::StrokeIn(d.image1, 759).rows, std::make_optional(std::make_pair(2, 80)));
  QCOMPARE(test::StrokeIn(d.image2, 1).rows, std::make_optional(std::make_pair(2, 80)));
}

// A view start beyond the last frame (a view kept from a longer file) draws no column at all.
void WaveLanesTest::viewPastTheEndDrawsNothing() {
  const std::vector<uint8_t> bytes = BuildWav(Recipe(2, 16, 100));
  MemorySource source(bytes);
  const Drawn d = DrawView(source, test::HeaderOf(bytes), 2001, 1000);
  QCOMPARE(d.bounds.viewEnd, 2000LL);
  QCOMPARE(d.loop.column, 0);
  QCOMPARE(test::CountNot(d.image1, kWhite), 0);
  QCOMPARE(test::CountNot(d.image2, kWhite), 0);
}

QTEST_GUILESS_MAIN(WaveLanesTest)
#include "WaveLanesTest.moc"
