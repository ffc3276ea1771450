// Pixel tests of the lanes of files of 3 to 8 channels, normal and peak view, against pictures
// painted here from the lane rule: n channels share the 320 rows of the two images, lane k being
// rows k*h .. k*h+h-1 with h = 320 div n, zero line k*h + h div 2, a 16-bit value v at
// zero - trunc(v*h/65600), an 8-bit value b at k*h + h - trunc(b*h/256); rows below the last
// lane stay white.
#include <QTest>
#include <algorithm>
#include <vector>

#include "io/ByteSource.h"
#include "peaks/PeakSummary.h"
#include "support/WavBuilder.h"
#include "view/PeakLanes.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"
#include "view/WaveLanes.h"

using namespace sonaveld;
using namespace sonaveld::view;

namespace {

constexpr int kRows = 320;

// A sample of (frame, channel) spread over the whole range, different in every channel.
int Sample(int64_t frame, int channel, int bits) {
  const int64_t n = frame * 11 + channel * 5 + (frame / 3) * channel;
  if (bits == 8) return static_cast<int>((n * 37) % 256);
  return static_cast<int>((n * 1213) % 65536) - 32768;
}

struct Picture {
  std::vector<bool> blue = std::vector<bool>(size_t{760} * kRows, false);
  void Paint(int x, int y) { blue[static_cast<size_t>(y) * 760 + static_cast<size_t>(x)] = true; }
};

// The row of value v of channel k, by the rule above; C++ division truncates toward zero.
int RowOf(int channels, int k, int bits, int v) {
  const int h = kRows / channels;
  if (bits == 8) return k * h + h - v * h / 256;
  return k * h + h / 2 - static_cast<int>(static_cast<int64_t>(v) * h / 65600);
}

// The normal view: column c shows frame c (zoom 1) as a stroke from the zero line towards the row,
// the end row left out.
Picture NormalView(int channels, int bits, int64_t frames) {
  Picture p;
  const int h = kRows / channels;
  for (int x = 1; x <= std::min<int64_t>(frames, 759); ++x) {
    for (int k = 0; k < channels; ++k) {
      const int zero = k * h + h / 2, y = RowOf(channels, k, bits, Sample(x - 1, k, bits));
      if (y < zero) for (int r = y + 1; r <= zero; ++r) p.Paint(x, r);
      if (y > zero) for (int r = zero; r < y; ++r) p.Paint(x, r);
    }
  }
  return p;
}

// The peak view at zoom z: column c covers frames (c-1)*z+1 .. c*z, painted from the row of the
// largest to the row of the smallest value, both held within the lane.
Picture PeakView(int channels, int bits, int64_t frames, int z) {
  Picture p;
  const int h = kRows / channels;
  for (int x = 1; x <= 759; ++x) {
    const int64_t first = int64_t{x - 1} * z, last = std::min<int64_t>(int64_t{x} * z, frames) - 1;
    if (first > last) break;
    for (int k = 0; k < channels; ++k) {
      int low = 1 << 20, high = -(1 << 20);
      for (int64_t f = first; f <= last; ++f) {
        low = std::min(low, Sample(f, k, bits));
        high = std::max(high, Sample(f, k, bits));
      }
      const int top = std::clamp(RowOf(channels, k, bits, high), k * h, k * h + h - 1);
      const int bottom = std::clamp(RowOf(channels, k, bits, low), k * h, k * h + h - 1);
      for (int r = top; r <= bottom; ++r) p.Paint(x, r);
    }
  }
  return p;
}

struct File {
  std::vector<uint8_t> bytes;
  WaveHeader header;
};

File Make(int channels, int bits, int64_t frames, bool extensible) {
  test::WavRecipe r;
  r.channels = channels, r.bits = bits, r.frames = frames, r.extensible = extensible;
  r.channelMask = extensible ? 0x3F : -1;
  r.sample = [bits](int64_t f, int c) { return Sample(f, c, bits); };
  File file{test::BuildWav(r), {}};
  file.header = test::HeaderOf(file.bytes);
  return file;
}

// The first pixel where the stacked lanes differ from the picture, or "" when none does.
QString Compare(const QImage& one, const QImage& two, const Picture& want) {
  for (int y = 0; y < kRows; ++y) {
    const QImage& lane = y < 160 ? one : two;
    for (int x = 0; x < 760; ++x) {
      const QRgb got = lane.pixel(x, y % 160);
      const QRgb expected = want.blue[static_cast<size_t>(y) * 760 + static_cast<size_t>(x)] ? kBlue : kWhite;
      if (got != expected) return QStringLiteral("pixel (%1, %2) of the stack: %3").arg(x).arg(y).arg(got, 8, 16);
    }
  }
  return {};
}

}  // namespace

class ManyLanesTest : public QObject {
  Q_OBJECT

 private slots:
  // Four 16-bit channels: lanes of 80 rows, normal view at zoom 1 and peak view at zoom 9, the
  // latter read straight from the file and from the summary.
  void fourChannelsByPixel() {
    const File file = Make(4, 16, 9000, false);
    MemorySource source(file.bytes);
    QImage one = NewLane(), two = NewLane();
    DrawWaveLanes(source, file.header, 1, 759, 1, one, two);
    QCOMPARE(Compare(one, two, NormalView(4, 16, 9000)), QString());
    DrawPeakLanes(source, file.header, nullptr, 1, 759, 9, one, two);
    QCOMPARE(Compare(one, two, PeakView(4, 16, 9000, 9)), QString());
    const auto summary = peaks::PeakSummary::Build(source, file.header, [] { return false; });
    QVERIFY(summary.has_value());
    DrawPeakLanes(source, file.header, &*summary, 1, 759, 600, one, two);
    QCOMPARE(Compare(one, two, PeakView(4, 16, 9000, 600)), QString());
  }

  // Six 8-bit channels (lanes of 53 rows, rows 318 and 319 left over) and three (106 rows): the
  // samples reach 0 and 255, yet nothing is painted below the last lane.
  void oddCountsLeaveTheRowsBelowWhite() {
    for (const int channels : {6, 3}) {
      const File file = Make(channels, 8, 3000, channels == 6);
      MemorySource source(file.bytes);
      QImage one = NewLane(), two = NewLane();
      DrawWaveLanes(source, file.header, 1, 759, 1, one, two);
      QCOMPARE(Compare(one, two, NormalView(channels, 8, 3000)), QString());
      DrawPeakLanes(source, file.header, nullptr, 1, 759, 3, one, two);
      QCOMPARE(Compare(one, two, PeakView(channels, 8, 3000, 3)), QString());
      for (int x = 0; x < 760; ++x) {
        QCOMPARE(two.pixel(x, 158), kWhite);
        QCOMPARE(two.pixel(x, 159), kWhite);
      }
    }
  }
};

QTEST_GUILESS_MAIN(ManyLanesTest)
#include "ManyLanesTest.moc"
