// Named marks out and back in: a label file, a cue sheet and a copy with markers, at three rates.
// The expected times, INDEX values, read-back frames and rounding shifts are worked out by hand
// from the formats' rules; the copy is compared byte for byte with a file assembled here from the
// RIFF layout, and libsndfile reads its cue points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "marks/CueSheet.h"
#include "marks/EmbeddedMarkers.h"
#include "marks/LabelFile.h"
#include "output/MarkerCopy.h"
#include "output/OutputFixture.h"
#include "support/MarkPrint.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct Row {
  int64_t mark;
  const char* labelStart;  // (mark - 1) / rate rounded up to the microsecond
  const char* cueIndex;    // (mark - 1) x 75 div rate as mm:ss:ff
  int64_t cueBack;         // the mark the cue sheet gives back; 0: none (00:00:00 names piece 00)
  int64_t shift;           // frames the cue sheet moved it earlier
};

struct RateCase {
  int32_t rate;
  std::vector<Row> rows;
};

// Mark 4 at 44.1 kHz starts at 68.03 us: rounded to nearest (0.000068) it would read back as 3.
const RateCase kCases[] = {
    {44100,
     {{4, "0.000069", "00:00:00", 0, 3},
      {44101, "1.000000", "00:01:00", 44101, 0},
      {100000, "2.267552", "00:02:20", 99961, 39},
      {2646001, "60.000000", "01:00:00", 2646001, 0}}},
    {48000, {{2, "0.000021", "00:00:00", 0, 1}, {48641, "1.013334", "00:01:01", 48641, 0}}},
    {96000, {{7, "0.000063", "00:00:00", 0, 6}, {172801, "1.800000", "00:01:60", 172801, 0}}},
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.rate << " Hz"; }

std::string NameOf(size_t i) { return i == 1 ? "第2章 \"本編\"" : "章" + std::to_string(i); }

Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

class MarkRoundTrip : public OutputTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(MarkRoundTrip, LabelsCueSheetAndCopyGiveTheMarksBack) {
  const RateCase& c = GetParam();
  std::vector<NamedMark> marks;
  std::string labels, cue = "FILE \"rec.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
  MarkSet cueBack;
  int64_t shift = 0;
  for (size_t i = 0; i < c.rows.size(); ++i) {
    const Row& r = c.rows[i];
    const std::string name = NameOf(i), cueName = i == 1 ? "第2章 '本編'" : name;
    marks.push_back({r.mark, name});
    labels += std::string(r.labelStart) + "\t" + r.labelStart + "\t" + name + "\n";
    char track[8];
    std::snprintf(track, sizeof track, "%02zu", i + 2);
    cue += "  TRACK " + std::string(track) + " AUDIO\r\n    TITLE \"" + cueName + "\"\r\n    INDEX 01 " + r.cueIndex + "\r\n";
    if (r.cueBack != 0) cueBack.marks.push_back({r.cueBack, cueName});
    if (r.cueBack == 0 && cueBack.piece0Name.empty()) cueBack.piece0Name = cueName;
    shift = std::max(shift, r.shift);
  }

  EXPECT_EQ(LabelFileText(marks, c.rate), labels);
  const Result<MarkSet> fromLabels = ParseLabelFile(labels, c.rate);
  ASSERT_TRUE(fromLabels.ok()) << fromLabels.status.message();
  EXPECT_EQ(fromLabels.value.marks, marks);

  const CueSheetText sheet = BuildCueSheet(marks, c.rate, "rec.wav");
  EXPECT_EQ(sheet.text, cue);
  EXPECT_EQ(sheet.largestShift, shift);
  const Result<MarkSet> fromCue = ParseCueSheet(sheet.text, c.rate, "/takes/rec.wav");
  ASSERT_TRUE(fromCue.ok()) << fromCue.status.message();
  EXPECT_EQ(fromCue.value, cueBack);

  // The copy: the source's own cue chunk (before the samples) goes, its INFO list (after them)
  // stays, and the marks follow as cue points with their labels.
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.rate = c.rate;
  recipe.frames = marks.back().frame + 3;  // odd: the samples end with a pad byte
  const Bytes info = Chunk("LIST", Join({Text("INFO"), Chunk("INAM", Text("take\0"))}));
  recipe.chunksBeforeData = Chunk("cue ", Join({U32(1), U32(9), U32(0), Text("data"), U32(0), U32(0), U32(5)}));
  recipe.chunksAfterData = info;
  MakeSource(recipe);
  const std::string out = dir.File("rec.wav");
  const OutputResult result = WriteMarkerCopy(file, marks, out, flags, host, FineOptions());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.written, std::vector<std::string>{out});

  Bytes points = U32(static_cast<uint32_t>(marks.size())), adtl = Text("adtl");
  for (size_t i = 0; i < marks.size(); ++i) {
    const uint32_t at = static_cast<uint32_t>(marks[i].frame - 1);
    points = Join({points, U32(uint32_t(i + 1)), U32(at), Text("data"), U32(0), U32(0), U32(at)});
    adtl = Join({adtl, Chunk("labl", Join({U32(uint32_t(i + 1)), Text(marks[i].name), Bytes{0}}))});
  }
  recipe.chunksBeforeData.clear();
  recipe.chunksAfterData = Join({info, Chunk("cue ", points), Chunk("LIST", adtl)});
  EXPECT_EQ(ReadFileBytes(out), BuildWav(recipe));

  const Result<MarkSet> embedded = ReadEmbeddedMarkersFile(out);
  ASSERT_TRUE(embedded.ok()) << embedded.status.message();
  EXPECT_EQ(embedded.value.marks, marks);
  const SndfileInfo read = ReadWithSndfile(out);
  ASSERT_TRUE(read.opened);
  EXPECT_EQ(read.frames, recipe.frames);
  ASSERT_EQ(read.cues.size(), marks.size());
  for (size_t i = 0; i < marks.size(); ++i) {
    const auto at = static_cast<uint32_t>(marks[i].frame - 1);
    EXPECT_EQ(read.cues[i], (SndfileInfo::Cue{int32_t(i + 1), at, at}));
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, MarkRoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.param.rate); });

}  // namespace
}  // namespace sonaveld::test
