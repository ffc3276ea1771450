#include <sys/stat.h>

#include <filesystem>

#include "output/OutputFixture.h"

namespace sonaveld::test {
namespace {

namespace fs = std::filesystem;
using Panel = OutputHost::Panel;

// 10000 frames of 16-bit stereo: samples at bytes 44 .. 40044; frame p starts at 44 + 4 (p - 1).
WavRecipe TenThousandFrames() {
  WavRecipe recipe;
  recipe.frames = 10000;
  return recipe;
}

struct CutCase {
  const char* name;
  std::vector<int64_t> marks;
  bool keepHead;
  std::vector<std::pair<int64_t, int64_t>> stretches;  // expected [begin, end) byte stretches of the source
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class CutEditedFileTest : public OutputTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutEditedFileTest, JoinsTheSelectedRanges) {
  MakeSource(TenThousandFrames());
  const std::string out = dir.File("cut.wav");
  const OutputResult r =
      WriteCutEditedFile(file, GetParam().marks, GetParam().keepHead, out, flags, host, FineOptions());
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  std::vector<uint8_t> expected;
  for (auto [begin, end] : GetParam().stretches) {
    const auto part = SourceBytes(begin, end - begin);
    expected.insert(expected.end(), part.begin(), part.end());
  }
  ExpectWav(out, expected);
  EXPECT_EQ(r.written, (std::vector<std::string>{out}));
  EXPECT_EQ(flags.Busy, 0);
  EXPECT_EQ(flags.StatusHeld, 1);
  ASSERT_FALSE(host.panels.empty());
  EXPECT_EQ(host.panels.back(), Panel::kFinished);
  EXPECT_EQ(dir.Listing(), "cut.wav source.wav");
}

INSTANTIATE_TEST_SUITE_P(
    Pairings, CutEditedFileTest,
    ::testing::Values(
        CutCase{"OneMarkToTheEnd", {1001}, false, {{4044, 40044}}},
        CutCase{"OneMarkKeepHead", {1001}, true, {{44, 4044}}},
        CutCase{"TwoMarks", {1001, 3001}, false, {{4044, 12044}}},
        CutCase{"TwoMarksKeepHead", {1001, 3001}, true, {{44, 4044}, {12044, 40044}}},
        CutCase{"ThreeMarks", {1001, 3001, 7001}, false, {{4044, 12044}, {28044, 40044}}},
        CutCase{"ThreeMarksKeepHead", {1001, 3001, 7001}, true, {{44, 4044}, {12044, 28044}}},
        // 2049 frames = 8196 bytes: the last 196 bytes do not fill a chunk and are left out.
        CutCase{"PartialChunkDropped", {1001, 3050}, false, {{4044, 12044}}},
        // A range shorter than one chunk adds nothing; the file is still written.
        CutCase{"ShortRange", {1001, 1040}, false, {}},
        CutCase{"BeyondTheEnd", {20001, 30001}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputTest, TrailingChunkIsNeverCopiedAsAudio) {
  WavRecipe recipe = TenThousandFrames();
  recipe.chunksAfterData = Chunk("LIST", std::vector<uint8_t>(60, 'z'));
  MakeSource(recipe);
  const std::string out = dir.File("cut.wav");
  ASSERT_TRUE(WriteCutEditedFile(file, {9001}, false, out, flags, host).status.ok());
  ExpectWav(out, SourceBytes(44 + 9000 * 4, 4000));
}

TEST_F(OutputTest, EightBitMonoRangeToTheEndKeepsItsTail) {
  WavRecipe recipe;
  recipe.bits = 8;
  recipe.channels = 1;
  recipe.frames = 1234;
  MakeSource(recipe);
  const std::string out = dir.File("cut.wav");
  ASSERT_TRUE(WriteCutEditedFile(file, {5}, false, out, flags, host).status.ok());
  ExpectWav(out, SourceBytes(48, 1230));
}

TEST_F(OutputTest, ChunkBeforeTheDataKeepsItsBytesAndMovesTheDataSizeField) {
  WavRecipe recipe = TenThousandFrames();
  recipe.chunksBeforeData = Chunk("LIST", std::vector<uint8_t>(20, 'x'));  // samples from byte 72
  MakeSource(recipe);
  const std::string out = dir.File("cut.wav");
  ASSERT_TRUE(WriteCutEditedFile(file, {9001}, false, out, flags, host).status.ok());
  ExpectWav(out, SourceBytes(72 + 9000 * 4, 4000));  // RIFF size at 4, data size at 68
  const auto bytes = ReadFileBytes(out);
  EXPECT_TRUE(std::equal(bytes.begin() + 40, bytes.begin() + 44, sourceBytes.begin() + 40))
      << "bytes 40..43 hold the LIST chunk's size";
}

TEST_F(OutputTest, SourceShortenedSinceTheProbeIsCutAtItsNewEnd) {
  MakeSource(TenThousandFrames());
  fs::resize_file(file.WaveFileName, 44 + 20000);  // the document still says 40000 sample bytes
  const std::string out = dir.File("cut.wav");
  const OutputResult r = WriteCutEditedFile(file, {1001, 3001, 4001}, false, out, flags, host);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  ExpectWav(out, Join({SourceBytes(4044, 8000), SourceBytes(16044, 4000)}));
}

TEST_F(OutputTest, SplitSelectedRangesWritesNumberedFiles) {
  MakeSource(TenThousandFrames());
  const OutputResult r = SplitSelectedRanges(file, {1001, 3001, 5001, 6001}, false, dir.File("song.wav"), flags,
                                             host, FineOptions());
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(dir.Listing(), "song01.wav song02.wav source.wav");
  ExpectWav(dir.File("song01.wav"), SourceBytes(4044, 8000));
  ExpectWav(dir.File("song02.wav"), SourceBytes(20044, 4000));
  EXPECT_EQ(host.written, (std::vector<std::string>{dir.File("song01.wav"), dir.File("song02.wav")}));
}

TEST_F(OutputTest, SplitWithoutDotAndKeepHead) {
  MakeSource(TenThousandFrames());
  ASSERT_TRUE(SplitSelectedRanges(file, {2001}, true, dir.File("song"), flags, host).status.ok());
  EXPECT_EQ(dir.Listing(), "song01.wav source.wav");
  ExpectWav(dir.File("song01.wav"), SourceBytes(44, 8000));
}

TEST_F(OutputTest, SplitAtMarksCoversTheWholeSampleArea) {
  WavRecipe recipe = TenThousandFrames();
  recipe.chunksAfterData = Chunk("LIST", std::vector<uint8_t>(10, 'z'));
  MakeSource(recipe);
  const OutputResult r = SplitAtMarks(file, {1001, 4001, 8001}, dir.File("live.wav"), flags, host, FineOptions());
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(dir.Listing(), "live00.wav live01.wav live02.wav live03.wav source.wav");
  // Boundaries at sample bytes 4000, 16000, 32000: each cut one chunk after the boundary.
  ExpectWav(dir.File("live00.wav"), SourceBytes(44, 4200));
  ExpectWav(dir.File("live01.wav"), SourceBytes(44 + 4200, 12000));
  ExpectWav(dir.File("live02.wav"), SourceBytes(44 + 16200, 16000));
  ExpectWav(dir.File("live03.wav"), SourceBytes(44 + 32200, 7800));
}

TEST_F(OutputTest, AbortAfterTheFirstChunkLeavesAValidShortFile) {
  MakeSource(TenThousandFrames());
  host.abortAtIdle = 1;
  const std::string out = dir.File("cut.wav");
  const OutputResult r = WriteCutEditedFile(file, {1001, 3001, 5001}, false, out, flags, host, FineOptions());
  EXPECT_TRUE(r.status.stopped());
  ExpectWav(out, SourceBytes(4044, 200));
  EXPECT_EQ(flags.AbortRequested, 0);
  EXPECT_EQ(flags.Busy, 0);
  EXPECT_EQ(host.panels.back(), Panel::kStopped);
  // Of the 8000 + 20000 sample bytes of the two ranges: 200. Not listed as written.
  ASSERT_TRUE(r.partial);
  EXPECT_EQ(r.partial->Message(r.partial->path), out + "は途中まで（0%）です");
  EXPECT_EQ(r.partial->plannedBytes, 28000);
  EXPECT_TRUE(r.written.empty() && host.written.empty());
  // The room set aside for the 28 KB planned is given back: the 244 bytes take one block at most.
  struct stat st {};
  ASSERT_EQ(::stat(out.c_str(), &st), 0);
  EXPECT_LE(st.st_blocks * 512, 4096);
}

TEST_F(OutputTest, AbortStopsFurtherNumberedFiles) {
  MakeSource(TenThousandFrames());
  host.abortAtIdle = 3;
  const OutputResult r = SplitAtMarks(file, {1001, 4001}, dir.File("p.wav"), flags, host, FineOptions());
  EXPECT_TRUE(r.status.stopped());
  EXPECT_EQ(dir.Listing(), "p00.wav source.wav");
  ExpectWav(dir.File("p00.wav"), SourceBytes(44, 600));
  EXPECT_EQ(flags.AbortRequested, 0);
  // 600 of piece 00's 4200 bytes: 14.28 %.
  ASSERT_TRUE(r.partial);
  EXPECT_EQ(r.partial->Message("p00.wav"), "p00.wavは途中まで（14%）です");
}

// A stop seen after an output's last block cut nothing short: that output is complete, and no
// further one is begun; after the last output's last block the command has simply finished.
TEST_F(OutputTest, AbortAfterTheLastBlockOfAnOutput) {
  MakeSource(TenThousandFrames());
  host.abortAtIdle = 21;  // piece 00: 4200 bytes, 21 blocks of 200
  OutputResult r = SplitAtMarks(file, {1001, 4001}, dir.File("p.wav"), flags, host, FineOptions());
  EXPECT_TRUE(r.status.stopped());
  EXPECT_FALSE(r.partial);
  EXPECT_EQ(host.written, (std::vector<std::string>{dir.File("p00.wav")}));
  EXPECT_EQ(dir.Listing(), "p00.wav source.wav");
  EXPECT_EQ(host.panels.back(), Panel::kStopped);
  host.idles = 0, host.abortAtIdle = 10;  // the cut: 2000 bytes, 10 blocks
  r = WriteCutEditedFile(file, {1001, 1501}, false, dir.File("c.wav"), flags, host, FineOptions());
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.written, (std::vector<std::string>{dir.File("c.wav")}));
  EXPECT_EQ(host.panels.back(), Panel::kFinished);
}

TEST_F(OutputTest, OutputOntoTheSourceIsRefusedBeforeAnythingIsWritten) {
  MakeSource(TenThousandFrames(), "take01.wav");
  fs::create_symlink(file.WaveFileName, dir.File("link.wav"));
  const auto before = ReadFileBytes(file.WaveFileName);
  for (const std::string& out : {file.WaveFileName, dir.path() + "/./take01.wav", dir.File("link.wav")}) {
    const OutputResult r = WriteCutEditedFile(file, {1001}, false, out, flags, host);
    EXPECT_EQ(r.status.message(), "ファイル " + out + " を作成できません");
  }
  // A numbered name of the split that falls on the source is refused too, before file 01 is written.
  const OutputResult split = SplitSelectedRanges(file, {1001}, false, dir.File("take.wav"), flags, host);
  EXPECT_EQ(split.status.message(), "ファイル " + dir.File("take01.wav") + " を作成できません");
  EXPECT_EQ(ReadFileBytes(file.WaveFileName), before);
  EXPECT_EQ(dir.Listing(), "link.wav take01.wav");
  EXPECT_EQ(flags.Busy, 0);
}

TEST_F(OutputTest, LowSpaceQuestionDeclinedWritesNothing) {
  MakeSource(TenThousandFrames());
  OutputOptions options;
  options.freeBytes = [](const std::string&) -> int64_t { return -1; };  // a failed query always asks
  host.answerYes = false;
  const OutputResult r = WriteCutEditedFile(file, {1001}, false, dir.File("cut.wav"), flags, host, options);
  EXPECT_TRUE(r.status.silent());
  EXPECT_EQ(host.questions,
            (std::vector<std::string>{"保存しようとしているドライブの容量が不足している可能性があります。保存しますか？"}));
  EXPECT_EQ(dir.Listing(), "source.wav");
}

TEST_F(OutputTest, LowSpaceQuestionComparesWithTheWholeSource) {
  MakeSource(TenThousandFrames());
  OutputOptions options;
  const auto size = static_cast<int64_t>(sourceBytes.size());
  options.freeBytes = [size](const std::string&) { return size; };  // exactly the size: no question
  ASSERT_TRUE(WriteCutEditedFile(file, {1001}, false, dir.File("a.wav"), flags, host, options).status.ok());
  EXPECT_TRUE(host.questions.empty());
  options.freeBytes = [size](const std::string&) { return size - 1; };
  ASSERT_TRUE(WriteCutEditedFile(file, {1001}, false, dir.File("b.wav"), flags, host, options).status.ok());
  EXPECT_EQ(host.questions.size(), 1u);
}

TEST_F(OutputTest, ExistingOutputIsReplaced) {
  MakeSource(TenThousandFrames());
  WriteFileBytes(dir.File("cut.wav"), std::vector<uint8_t>(100000, 7));
  ASSERT_TRUE(WriteCutEditedFile(file, {9001}, false, dir.File("cut.wav"), flags, host).status.ok());
  ExpectWav(dir.File("cut.wav"), SourceBytes(36044, 4000));
  EXPECT_EQ(dir.Listing(), "cut.wav source.wav");  // no temporary name left from the replacement
}

TEST_F(OutputTest, MissingSourceIsReported) {
  MakeSource(TenThousandFrames());
  fs::remove(file.WaveFileName);
  const OutputResult r = WriteCutEditedFile(file, {1001}, false, dir.File("cut.wav"), flags, host);
  EXPECT_EQ(r.status.message(), "ファイル " + file.WaveFileName + " は開けません");
  EXPECT_EQ(dir.Listing(), "");
}

TEST(CheckBeginOutput, GuardsInOrder) {
  CreationFlags flags;
  flags.Busy = 1;
  EXPECT_EQ(CheckBeginOutput(flags, false, 0).message(), "ファイル作成中です");
  flags.Busy = 0;
  EXPECT_TRUE(CheckBeginOutput(flags, false, 0).silent());
  EXPECT_EQ(CheckBeginOutput(flags, true, 0).message(), "マーク(カットするポイント)指定がなされてしません");
  EXPECT_TRUE(CheckBeginOutput(flags, true, 1).ok());
}

}  // namespace
}  // namespace sonaveld::test
