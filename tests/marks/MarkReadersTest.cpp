// The mark readers on what other programs write: cue chunks in other tools' conventions, real
// cue sheets and label files; and what they refuse, with the line at fault.
#include <gtest/gtest.h>

#include "io/ByteSource.h"
#include "marks/CueSheet.h"
#include "marks/EmbeddedMarkers.h"
#include "marks/LabelFile.h"
#include "marks/MarkStore.h"
#include "support/MarkPrint.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

using Bytes = std::vector<uint8_t>;
using test::Chunk;

Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A cue point: id, dwPosition, dwSampleOffset.
Bytes Point(uint32_t id, uint32_t position, uint32_t offset) {
  return Join({U32(id), U32(position), Text("data"), U32(0), U32(0), U32(offset)});
}
Bytes Labl(uint32_t id, const std::string& text) { return Chunk("labl", Join({U32(id), Text(text), Bytes{0}})); }
// An ltxt region of 100 frames (purpose "rgn ", no text).
Bytes Ltxt(uint32_t id) { return Chunk("ltxt", Join({U32(id), U32(100), Text("rgn "), Bytes(8, 0)})); }

struct Convention {
  const char* name;
  Bytes before, after;  // chunks before and after the samples of a 1000-frame file
  std::vector<NamedMark> marks;
};
void PrintTo(const Convention& c, std::ostream* os) { *os << c.name; }

const Convention kConventions[] = {
    // Recorders and DAWs that leave dwPosition 0 and put a region's ltxt before its labl.
    {"PositionZeroLtxtFirst", {},
     Join({Chunk("cue ", Join({U32(2), Point(1, 0, 499), Point(2, 0, 0)})),
           Chunk("LIST", Join({Text("adtl"), Ltxt(1), Labl(1, "Marker 01"), Labl(2, "頭")}))}),
     {{1, "頭"}, {500, "Marker 01"}}},
    // The cue chunk before the samples, its labels after them; a point without a label.
    {"CueBeforeLabelsAfter", Chunk("cue ", Join({U32(2), Point(7, 7, 10), Point(3, 3, 20)})),
     Chunk("LIST", Join({Text("adtl"), Labl(7, "seven")})), {{11, "seven"}, {21, ""}}},
    // Points at or past the last frame are left out; two points at one frame count once.
    {"OutsideAndTwice", {},
     Join({Chunk("cue ", Join({U32(4), Point(1, 0, 999), Point(2, 0, 1000), Point(3, 0, 70000), Point(4, 0, 999)})),
           Chunk("LIST", Join({Text("adtl"), Labl(4, "dup")}))}),
     {{1000, "dup"}}},
};

class EmbeddedConventions : public ::testing::TestWithParam<Convention> {};

TEST_P(EmbeddedConventions, GiveTheMarksAndNames) {
  test::WavRecipe recipe;
  recipe.chunksBeforeData = GetParam().before;
  recipe.chunksAfterData = GetParam().after;
  MemorySource source(test::BuildWav(recipe));
  const ProbeResult probe = ProbeWave(source);
  ASSERT_TRUE(probe.status.ok());
  const Result<MarkSet> read = ReadEmbeddedMarkers(source, probe.header, "rec.wav");
  ASSERT_TRUE(read.ok()) << read.status.message();
  EXPECT_EQ(read.value.marks, GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(Tools, EmbeddedConventions, ::testing::ValuesIn(kConventions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CueSheetReader, ReadsARealSheet) {
  const std::string sheet =
      "\xEF\xBB\xBFREM GENRE \"Live\"\r\nREM DATE 2024\r\nPERFORMER \"Band\"\r\nTITLE \"Concert\"\r\n"
      "FILE \"C:\\Rec\\Concert.WAV\" WAVE\r\n"
      "  TRACK 01 AUDIO\r\n    TITLE \"Opening\"\r\n    PERFORMER \"Band\"\r\n    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n    TITLE \"Song, \"\"A\"\r\n    INDEX 00 00:59:70\r\n    INDEX 01 01:00:00\r\n"
      "  track 3 audio\r\n    INDEX 01 121:00:74\r\n    TITLE Encore part\r\n"
      "FILE \"other.wav\" WAVE\r\n  TRACK 04 AUDIO\r\n    INDEX 01 00:10:00\r\n";
  const Result<MarkSet> read = ParseCueSheet(sheet, 48000, "/home/u/concert.wav");
  ASSERT_TRUE(read.ok()) << read.status.message();
  // 121:00:74 = 7260 s and 74 x 48000 div 75 = 47360 frames.
  EXPECT_EQ(read.value.marks, (std::vector<NamedMark>{{2880001, "Song, "}, {348527361, "Encore part"}}));
  EXPECT_EQ(read.value.piece0Name, "Opening");
  EXPECT_TRUE(read.value.warnings.empty());
  EXPECT_EQ(ParseCueSheet(sheet, 48000, "take.wav").value.warnings,
            std::vector<std::string>{"CUEシートの FILE \"C:\\Rec\\Concert.WAV\" は開いているファイルではありません。"});
}

TEST(LabelFileReader, ReadsPointsRegionsAndSpectralLines) {
  const std::string labels =
      "\xEF\xBB\xBF"
      "1.500000\t1.500000\tIntro\r\n\\\t100.0\t2000.0\r\n2.25\t4.0\t\r\n\r\n10\t10\n0.000000\t0.000000\tStart\ttab\n";
  const Result<MarkSet> read = ParseLabelFile(labels, 44100);
  ASSERT_TRUE(read.ok()) << read.status.message();
  EXPECT_EQ(read.value.marks, (std::vector<NamedMark>{
                                  {1, "Start\ttab"}, {66151, "Intro"}, {99226, ""}, {176401, ""}, {441001, ""}}));
}

struct Refusal {
  const char* name;
  bool cueSheet;
  std::string text;
  const char* message;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

std::string ManyLabels(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += std::to_string(i) + ".5\t" + std::to_string(i) + ".5\tx\n";
  return text;
}

const Refusal kRefusals[] = {
    {"LabelWithoutEnd", false, "1.0\t1.0\tok\n2.0 second\n", "ラベルファイルの 2 行目はラベルではありません。"},
    {"LabelEndBeforeStart", false, "\n\n5.0\t4.0\tx\n", "ラベルファイルの 3 行目はラベルではありません。"},
    {"LabelComma", false, "1,5\t1,5\tx\n", "ラベルファイルの 1 行目はラベルではありません。"},
    {"LabelNegative", false, "-1.0\t1.0\tx\n", "ラベルファイルの 1 行目はラベルではありません。"},
    {"LabelExponent", false, "1e-05\t1e-05\tx\n", "ラベルファイルの 1 行目はラベルではありません。"},
    {"Labels256", false, ManyLabels(256), "マークは255個までです。"},
    {"CueSeconds60", true, "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:60:00\n",
     "CUEシートの 3 行目が正しくありません。"},
    {"CueFrames75", true, "TRACK 01 AUDIO\r\nINDEX 01 00:01:75\r\n", "CUEシートの 2 行目が正しくありません。"},
    {"CueIndexBeforeTrack", true, "FILE a.wav WAVE\nINDEX 01 00:01:00\n", "CUEシートの 2 行目が正しくありません。"},
    {"CueTrackWithoutNumber", true, "FILE a.wav WAVE\nTRACK AUDIO\n", "CUEシートの 2 行目が正しくありません。"},
    {"CueNotACommand", true, "TRACK 01 AUDIO\n1.5\t1.5\tlabel\n", "CUEシートの 2 行目が正しくありません。"},
    {"CueNoTrack", true, "REM nothing\nFILE a.wav WAVE\n", "CUEシートにトラックがありません。"},
};

class ReaderRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(ReaderRefusal, NamesTheLineAndGivesNoMarks) {
  const Refusal& r = GetParam();
  const Result<MarkSet> read = r.cueSheet ? ParseCueSheet(r.text, 44100, "a.wav") : ParseLabelFile(r.text, 44100);
  EXPECT_EQ(read.status.message(), r.message);
  EXPECT_TRUE(read.value.marks.empty());
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MarkStoreNames, EveryCommandKeepsNamesInStep) {
  MarkStore store;
  store.ReplaceAll(MarkSet{{{10, "a"}, {20, ""}, {30, "c"}}, "head", {}});
  ASSERT_TRUE(store.Add(15, "b").ok());
  EXPECT_FALSE(store.Add(30, "again").ok());
  EXPECT_EQ(store.DeleteWhere([](int64_t m) { return m == 10; }), 1);
  EXPECT_EQ(store.Named(), (std::vector<NamedMark>{{15, "b"}, {20, ""}, {30, "c"}}));
  EXPECT_EQ(store.Memo2(), (std::vector<std::string>{"15", "20", "30"}));
  EXPECT_EQ(store.PieceZeroName(), "head");
  ASSERT_TRUE(store.Add(10).ok());
  EXPECT_EQ(store.NameOf(10), "");  // a name deleted with its mark does not come back
  store.ReplaceAll(std::vector<int64_t>{15, 30});
  EXPECT_EQ(store.Named(), (std::vector<NamedMark>{{15, ""}, {30, ""}}));
  EXPECT_EQ(store.PieceZeroName(), "");
}

}  // namespace
}  // namespace sonaveld
