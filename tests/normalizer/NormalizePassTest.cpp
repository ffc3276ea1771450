#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "NormalizeTestSupport.h"
#include "normalizer/NormalizeNames.h"
#include "normalizer/NormalizePass.h"
#include "support/FillingSink.h"
#include "support/RenameFault.h"
#include "support/SndfileCheck.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

namespace fs = std::filesystem;
using test::BuildWav;
using test::ReadFileBytes;
using test::WavRecipe;
using test::WriteFileBytes;

constexpr char kNoSpace[] = "ディスクの空き容量が不足しています。処理を中止します。";
constexpr char kNotBits[] = "は 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。";
constexpr char kNotChannels[] = "は モノラル、ステレオ WAVファイルではない可能性があります。確認して下さい。";
constexpr char kNoData[] = "は dataチャンクが見つかりません。WAVファイルではない可能性があります。";
constexpr char kNoDot[] = "WAVファイルに「.」がありません。停止します。";
constexpr char kQuestion[] =
    "「*-orig.wav」があるのでノーマライズできません。「*-orig.wav」を「*.wav」にremaneしますか。";

struct NameCase {
  const char* path;
  const char* output;  // "" when the file name has no dot
  const char* backup;
};

class NamesTest : public testing::TestWithParam<NameCase> {};

TEST_P(NamesTest, CutAtLastDotOfFileName) {
  const NameCase& c = GetParam();
  const auto names = NamesFor(c.path);
  if (std::string(c.output).empty()) {
    EXPECT_FALSE(names.has_value());
    return;
  }
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->output, c.output);
  EXPECT_EQ(names->backup, c.backup);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NamesTest,
    testing::Values(NameCase{"/rec/take1.wav", "/rec/take1-n.wav", "/rec/take1-orig.wav"},
                    NameCase{"/rec/take2.wave", "/rec/take2-n.wav", "/rec/take2-orig.wav"},
                    NameCase{"/rec/a.b.wav", "/rec/a.b-n.wav", "/rec/a.b-orig.wav"},
                    NameCase{"take.WAV", "take-n.wav", "take-orig.wav"},
                    NameCase{"/rec/mix.old/take3", "", ""},  // a dot in a folder name never counts
                    NameCase{"plain", "", ""}));

class NormalizePassTest : public testing::Test {
 protected:
  NormalizePassTest() : pass_(host_) {
    pass_.SetFreeSpaceQuery([this](const std::string&) { return freeSpace_; });
  }

  std::string Make(const std::string& name, const WavRecipe& recipe) {
    const std::string path = dir_.File(name);
    WriteFileBytes(path, BuildWav(recipe));
    return path;
  }

  static WavRecipe Quiet(int channels = 2, int bits = 16, int64_t frames = 5000) {
    return test::Recipe(channels, bits, frames, [bits](int64_t f, int c) {
              const int v = static_cast<int>((f * 13 + c * 5) % 41) - 20;
              return bits == 16 ? (v == -20 ? -16384 : v * 400) : 128 + v * 3;
            });
  }

  test::TempDir dir_;
  test::RecordingHost host_;
  NormalizePass pass_;
  int64_t freeSpace_ = int64_t{1} << 40;
};

TEST_F(NormalizePassTest, WritesNormalizedCopyBesideSource) {
  const std::string src = Make("take1.wav", Quiet());
  const auto before = ReadFileBytes(src);
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  const std::string out = dir_.File("take1-n.wav");
  const auto after = ReadFileBytes(out);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 44, after.begin()));  // header copied as it is
  EXPECT_EQ(ReadFileBytes(src), before);
  // Peak 16384 brought to 32767: sample -16384 gives -32767.
  int16_t loudest = 0;
  for (size_t i = 44; i < after.size(); i += 2) {
    loudest = std::min<int16_t>(loudest, static_cast<int16_t>(after[i] | after[i + 1] << 8));
  }
  EXPECT_EQ(loudest, -32767);
  const auto info = test::ReadWithSndfile(out);
  const auto original = test::ReadWithSndfile(src);
  EXPECT_TRUE(info.opened);
  EXPECT_EQ(info.frames, original.frames);
  EXPECT_EQ(info.channels, original.channels);
  EXPECT_EQ(info.format, original.format);
  EXPECT_EQ(host_.written, std::vector<std::string>{out});
  EXPECT_EQ(dir_.Listing(), "take1-n.wav take1.wav");
}

// An RF64 source gives an RF64 output: the same scaled samples as its RIFF twin, the sizes in ds64.
TEST_F(NormalizePassTest, Rf64SourceKeepsItsForm) {
  const std::vector<uint8_t> riff = BuildWav(Quiet());
  WriteFileBytes(dir_.File("riff.wav"), riff);
  WriteFileBytes(dir_.File("wide.wav"), test::MakeWide(riff, 44));
  EXPECT_EQ(pass_.Run({dir_.File("riff.wav"), dir_.File("wide.wav")}, {}).outcome, PassOutcome::kFinished);
  const auto plain = ReadFileBytes(dir_.File("riff-n.wav"));
  auto wide = ReadFileBytes(dir_.File("wide-n.wav"));
  ASSERT_EQ(wide.size(), plain.size() + 36);
  EXPECT_TRUE(std::equal(plain.begin() + 44, plain.end(), wide.begin() + 80));
  std::vector<uint8_t> header = test::MakeWide(plain, 44);
  header.resize(80);
  EXPECT_TRUE(std::equal(header.begin(), header.end(), wide.begin()));
}

TEST_F(NormalizePassTest, WindowSeesBarsSelectionAndSettings) {
  const std::string a = Make("a.wav", Quiet(2, 16, 5000));  // S = 20044: bar maximum 4
  const std::string b = Make("b.wav", Quiet(1, 8, 100));    // shorter than one block
  EXPECT_EQ(pass_.Run({a, b}, {}).outcome, PassOutcome::kFinished);
  EXPECT_EQ(host_.selections, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(host_.whole.maximum, 2);
  EXPECT_EQ(host_.whole.positions, (std::vector<int64_t>{0, 1, 2}));
  // File bar: 0 at the start, one step per block of a's scaling run, full; then b's single block.
  EXPECT_EQ(host_.file.positions, (std::vector<int64_t>{0, 0, 1, 2, 3, 4, 4, 4, 0, 1}));
  EXPECT_EQ(host_.file.maximum, 1);
  EXPECT_EQ(host_.settingsChanges, (std::vector<bool>{false, true}));
}

TEST_F(NormalizePassTest, ReplaceSwapsNamesThenRestoreOnYes) {
  const std::string src = Make("take1.wav", Quiet());
  const auto original = ReadFileBytes(src);
  const NormalizeSettings replace = test::ReplaceNames();
  EXPECT_EQ(pass_.Run({src}, replace).outcome, PassOutcome::kFinished);
  const auto normalized = ReadFileBytes(src);
  EXPECT_NE(normalized, original);
  EXPECT_EQ(ReadFileBytes(dir_.File("take1-orig.wav")), original);
  EXPECT_EQ(dir_.Listing(), "take1-orig.wav take1.wav");
  EXPECT_EQ(host_.written, std::vector<std::string>{src});

  // A second pass finds the backup and asks; No changes nothing.
  host_.answerYes = false;
  EXPECT_EQ(pass_.Run({src}, replace).outcome, PassOutcome::kDeclined);
  EXPECT_EQ(host_.questions, std::vector<std::string>{kQuestion});
  EXPECT_EQ(ReadFileBytes(src), normalized);
  EXPECT_EQ(dir_.Listing(), "take1-orig.wav take1.wav");

  // Yes puts the backup back and normalizes nothing.
  host_.answerYes = true;
  EXPECT_EQ(pass_.Run({src}, replace).outcome, PassOutcome::kRestored);
  EXPECT_EQ(ReadFileBytes(src), original);
  EXPECT_EQ(dir_.Listing(), "take1.wav");
  EXPECT_EQ(host_.whole.position, 0);

  // Then a further pass normalizes again.
  EXPECT_EQ(pass_.Run({src}, replace).outcome, PassOutcome::kFinished);
  EXPECT_EQ(ReadFileBytes(src), normalized);
}

TEST_F(NormalizePassTest, KeepingNamesIgnoresBackups) {
  const std::string src = Make("take1.wav", Quiet());
  Make("take1-orig.wav", Quiet());
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  EXPECT_TRUE(host_.questions.empty());
  EXPECT_TRUE(fs::exists(dir_.File("take1-n.wav")));
}

TEST_F(NormalizePassTest, SharedBackupNameIsNeverOverwritten) {
  const std::string a = Make("a.wav", Quiet());
  const std::string b = Make("a.wave", Quiet(1, 16, 3000));
  const auto bBytes = ReadFileBytes(b);
  const auto aBytes = ReadFileBytes(a);
  const PassResult r = pass_.Run({a, b}, test::ReplaceNames());
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(ReadFileBytes(dir_.File("a-orig.wav")), aBytes);
  EXPECT_EQ(ReadFileBytes(b), bBytes);
  EXPECT_EQ(dir_.Listing(), "a-orig.wav a.wav a.wave");  // nothing written for the second entry
  EXPECT_EQ(r.status.message(),
            "ファイル " + dir_.File("a-orig.wav") + " は既にあるので、上書きしないようにノーマライズを中止します。");
}

// A backup that appears while the entry is being written (another program, another pass) is not
// replaced by the rename that would make the source the backup.
TEST_F(NormalizePassTest, BackupThatAppearsDuringTheWriteIsKept) {
  const std::string src = Make("a.wav", Quiet());
  const auto before = ReadFileBytes(src);
  host_.onBlock = [&](bool scaling, int64_t) {  // in the measuring run, the output being created
    if (!scaling && !fs::exists(dir_.File("a-orig.wav"))) WriteFileBytes(dir_.File("a-orig.wav"), {7, 7});
  };
  const PassResult r = pass_.Run({src}, test::ReplaceNames());
  EXPECT_EQ(r.status.message(),
            "ファイル " + dir_.File("a-orig.wav") + " は既にあるので、上書きしないようにノーマライズを中止します。");
  EXPECT_EQ(ReadFileBytes(dir_.File("a-orig.wav")), (std::vector<uint8_t>{7, 7}));
  EXPECT_EQ(ReadFileBytes(src), before);
}

// The checks, in their order, each before anything is created.
struct CheckCase {
  const char* name;
  int channels;
  int bits;
  bool breakDataTag;
  const char* file;
  int64_t spaceShort;  // free space = S - spaceShort
  const char* message;  // "" for none; a leading '*' stands for the path
};

class CheckOrderTest : public NormalizePassTest, public testing::WithParamInterface<CheckCase> {};

TEST_P(CheckOrderTest, RefusesWithMessage) {
  const CheckCase& c = GetParam();
  auto bytes = BuildWav(test::Recipe(c.channels, c.bits, 500));
  if (c.breakDataTag) bytes[36] = 'D';  // "Data": neither the walk nor the search finds it
  const std::string path = dir_.File(c.file);
  WriteFileBytes(path, bytes);
  freeSpace_ = static_cast<int64_t>(bytes.size()) - c.spaceShort;
  const PassResult r = pass_.Run({path}, {});
  std::string expected = c.message;
  if (expected.starts_with("*")) expected = path + expected.substr(1);
  EXPECT_EQ(r.status.message(), expected);
  if (expected.empty()) {
    EXPECT_EQ(r.outcome, PassOutcome::kFinished);
    return;
  }
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(dir_.Listing(), c.file);  // nothing created
  EXPECT_TRUE(host_.settingsEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CheckOrderTest,
    testing::Values(CheckCase{"SpaceBeforeBits", 2, 24, true, "x.wav", 1, kNoSpace},
                    CheckCase{"ExactSpaceIsEnough", 2, 16, false, "x.wav", 0, ""},
                    CheckCase{"BitsBeforeChannels", 3, 20, true, "x.wav", 0, "*は 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。"},
                    CheckCase{"ChannelsBeforeData", 9, 16, true, "x.wav", 0, "*は モノラル、ステレオ WAVファイルではない可能性があります。確認して下さい。"},
                    CheckCase{"DataBeforeDot", 1, 8, true, "x", 0, "*は dataチャンクが見つかりません。WAVファイルではない可能性があります。"},
                    CheckCase{"NoDot", 1, 8, false, "x", 0, kNoDot}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST_F(NormalizePassTest, MissingFileCannotBeOpened) {
  const std::string path = dir_.File("gone.wav");
  const PassResult r = pass_.Run({path}, {});
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(r.status.message(), "ファイル " + path + " は開けません");
}

TEST_F(NormalizePassTest, FailedCheckStopsAtThatEntry) {
  const std::string a = Make("a.wav", Quiet());
  const std::string b = Make("b.wav", test::Recipe(2, 20, 100));
  const std::string c = Make("c.wav", Quiet());
  const PassResult r = pass_.Run({a, b, c}, {});
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(r.status.message(), b + kNotBits);
  EXPECT_EQ(dir_.Listing(), "a-n.wav a.wav b.wav c.wav");
  EXPECT_EQ(host_.whole.maximum, 3);
  EXPECT_EQ(host_.whole.position, 1);
  EXPECT_TRUE(host_.settingsEnabled);
}

// A sink that asks the pass to stop at its n-th write (the first write is the header copy).
class StoppingSink final : public ByteSink {
 public:
  StoppingSink(std::unique_ptr<ByteSink> inner, NormalizePass& pass, int stopAt)
      : inner_(std::move(inner)), pass_(pass), stopAt_(stopAt) {}
  bool Write(const void* data, int64_t n) override {
    if (++writes_ == stopAt_) pass_.RequestStop();
    return inner_->Write(data, n);
  }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override { return inner_->WriteAt(offset, data, n); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<ByteSink> inner_;
  NormalizePass& pass_;
  int stopAt_;
  int writes_ = 0;
};

TEST_F(NormalizePassTest, StopDuringMeasuringLeavesNothing) {
  const std::string src = Make("take1.wav", Quiet());
  const auto before = ReadFileBytes(src);
  pass_.SetFreeSpaceQuery([this](const std::string&) { pass_.RequestStop(); return freeSpace_; });
  EXPECT_EQ(pass_.Run({src}, test::ReplaceNames()).outcome, PassOutcome::kStopped);
  EXPECT_EQ(dir_.Listing(), "take1.wav");
  EXPECT_EQ(ReadFileBytes(src), before);
  EXPECT_EQ(host_.whole.position, 0);
  EXPECT_EQ(host_.file.position, 0);
  EXPECT_TRUE(host_.settingsEnabled);
}

TEST_F(NormalizePassTest, StopDuringScalingLeavesNothingAndKeepsEarlierFiles) {
  const std::string a = Make("a.wav", Quiet());
  const std::string b = Make("b.wav", Quiet());
  int opened = 0;
  pass_.SetSinkOpener([&](const std::string& temp) -> std::unique_ptr<ByteSink> {
    auto sink = OpenFileSink(temp);
    if (++opened == 2) return std::make_unique<StoppingSink>(std::move(sink), pass_, 1);
    return sink;
  });
  EXPECT_EQ(pass_.Run({a, b}, test::ReplaceNames()).outcome, PassOutcome::kStopped);
  EXPECT_EQ(dir_.Listing(), "a-orig.wav a.wav b.wav");
  EXPECT_EQ(host_.whole.position, 0);
  EXPECT_EQ(host_.file.position, 0);
  EXPECT_TRUE(host_.settingsEnabled);
}

// Another program cuts the source short while the pass reads it in place: a failed read, not a
// crash; also while the pages of a large file are being read in ahead on a second thread.
TEST_F(NormalizePassTest, SourceCutShortDuringEitherRunIsUnreadable) {
  for (const auto& [scaling, frames] : {std::pair{false, 20000}, {true, 20000}, {false, 4500000}, {true, 4500000}}) {
    const std::string src = Make("take1.wav", Quiet(2, 16, frames));
    host_.onBlock = [&](bool run, int64_t k) {
      if (run == scaling && k == 2) fs::resize_file(src, 100);
    };
    const PassResult r = pass_.Run({src}, test::ReplaceNames());
    EXPECT_EQ(r.outcome, PassOutcome::kFailed);
    EXPECT_EQ(r.status.message(), "ファイル " + src + " は開けません");
    EXPECT_EQ(dir_.Listing(), "take1.wav");
  }
}

TEST_F(NormalizePassTest, StopBeforePassHasNoEffect) {
  const std::string src = Make("take1.wav", Quiet());
  pass_.RequestStop();
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  EXPECT_TRUE(fs::exists(dir_.File("take1-n.wav")));
}

TEST_F(NormalizePassTest, FailedWriteRemovesOutputAndKeepsSource) {
  const std::string src = Make("take1.wav", Quiet());
  const auto before = ReadFileBytes(src);
  pass_.SetSinkOpener([](const std::string& temp) -> std::unique_ptr<ByteSink> {
    return std::make_unique<test::FillingSink>(OpenFileSink(temp), 5000);
  });
  const PassResult r = pass_.Run({src}, test::ReplaceNames());
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(r.status.message(), dir_.File("take1-n.wav") + "に書き込めません。");
  EXPECT_EQ(dir_.Listing(), "take1.wav");
  EXPECT_EQ(ReadFileBytes(src), before);
}

// A 24-bit extensible recording and a 32-bit float export (with a fact chunk and a trailing
// chunk) end to end: the file on disk is the header, the reference's samples and the trailing
// chunk, and libsndfile reads the scaled samples back. A 24-bit float file is refused.
struct WideFileCase {
  const char* name;
  int bits;
  uint16_t tag;  // the sub-format's tag in an extensible file
  bool extensible;
  NormalizeMode mode;
  int percent;
  FormatKind kind;  // kNone: refused
};

class WideFileTest : public NormalizePassTest, public testing::WithParamInterface<WideFileCase> {};

TEST_P(WideFileTest, NormalizesOrRefuses) {
  const WideFileCase& c = GetParam();
  WavRecipe recipe = test::Recipe(2, c.bits, 5000, {}, {}, test::Chunk("LIST", std::vector<uint8_t>(30, 'i')));
  recipe.formatTag = c.tag;
  recipe.extensible = c.extensible;
  recipe.fact = true;
  recipe.floatSample = [](int64_t f, int ch) {
    if (f % 1000 == 7) return ch == 0 ? std::nanf("") : std::numeric_limits<float>::infinity();
    return test::CountingFloat(f, ch) * (ch == 0 ? 0.5f : 0.01f);
  };
  const std::string src = Make("take.wav", recipe);
  const auto source = ReadFileBytes(src);
  NormalizeSettings settings;
  settings.mode = c.mode;
  settings.percent = c.percent;
  const PassResult r = pass_.Run({src}, settings);
  if (c.kind == FormatKind::kNone) {
    EXPECT_EQ(r.status.message(), src + kNotBits);
    EXPECT_EQ(dir_.Listing(), "take.wav");
    return;
  }
  ASSERT_EQ(r.outcome, PassOutcome::kFinished) << r.status.message();
  const auto data = std::search(source.begin(), source.end(), std::begin("data"), std::end("data") - 1) - source.begin() + 8;
  const int64_t end = data + 5000 * FrameBytes(c.kind);
  const auto size = static_cast<int64_t>(source.size());
  const auto expected = test::ReferenceRuns(source, {data, end, size, c.kind, {}, {}}, c.mode, c.percent);
  const auto output = ReadFileBytes(dir_.File("take-n.wav"));
  std::vector<uint8_t> whole(source.begin(), source.begin() + data);
  whole.insert(whole.end(), expected.samples.begin(), expected.samples.end());
  whole.insert(whole.end(), source.begin() + end, source.end());
  EXPECT_TRUE(output == whole);

  const auto info = test::ReadWithSndfile(dir_.File("take-n.wav"));
  EXPECT_EQ(info.frames, 5000);
  EXPECT_EQ(info.channels, 2);
  std::vector<uint8_t> read;  // the samples as libsndfile gives them, in the file's own encoding
  if (IsFloatKind(c.kind)) {
    const auto floats = test::ReadFloatsWithSndfile(dir_.File("take-n.wav"));
    read.resize(floats.size() * 4);
    std::memcpy(read.data(), floats.data(), read.size());
  } else {
    for (int32_t v : test::ReadIntsWithSndfile(dir_.File("take-n.wav"))) {
      for (int i = 32 - c.bits; i < 32; i += 8) read.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> i));
    }
  }
  EXPECT_TRUE(read == expected.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WideFileTest,
    testing::Values(WideFileCase{"Pcm24Extensible", 24, 1, true, NormalizeMode::kPeak, 100, FormatKind::kStereo24},
                    WideFileCase{"Pcm24ExtensibleAverage", 24, 1, true, NormalizeMode::kAverage, 80, FormatKind::kStereo24},
                    WideFileCase{"Pcm32", 32, 1, false, NormalizeMode::kPeak, 150, FormatKind::kStereo32},
                    WideFileCase{"Float32", 32, 3, false, NormalizeMode::kPeak, 100, FormatKind::kStereoFloat},
                    WideFileCase{"Float32ExtensibleAverage", 32, 3, true, NormalizeMode::kAverage, 150, FormatKind::kStereoFloat},
                    WideFileCase{"Float24Refused", 24, 3, true, NormalizeMode::kPeak, 100, FormatKind::kNone}),
    [](const testing::TestParamInfo<WideFileCase>& info) { return std::string(info.param.name); });

TEST_F(NormalizePassTest, FailedSecondRenameGivesTheSourceItsNameBack) {
  const std::string src = Make("take1.wav", Quiet());
  const auto before = ReadFileBytes(src);
  // The source is already "take1-orig.wav" when the normalized file cannot take its name.
  test::RenameFault::FailNextOnto(src, EIO);
  const PassResult r = pass_.Run({src}, test::ReplaceNames());
  EXPECT_EQ(r.outcome, PassOutcome::kFailed);
  EXPECT_EQ(r.status.message(), "ファイル " + src + " を作成できません");
  EXPECT_EQ(test::RenameFault::Failures(), 1);
  EXPECT_EQ(ReadFileBytes(src), before);
  EXPECT_EQ(dir_.Listing(), "take1-n.wav take1.wav");
}

TEST_F(NormalizePassTest, TrailingChunkIsCopiedAndNotMeasured) {
  const std::vector<uint8_t> loud(60, 0x7F);  // would read as samples of 32639
  const std::string src = Make("t.wav", test::Recipe(1, 16, 3000, [](int64_t f, int) { return f % 2 ? 1024 : -1024; }, {}, test::Chunk("LIST", loud)));
  const auto before = ReadFileBytes(src);
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  const auto after = ReadFileBytes(dir_.File("t-n.wav"));
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.end() - 68, before.end(), after.end() - 68));
  EXPECT_EQ(static_cast<int16_t>(after[44] | after[45] << 8), -32767);  // peak 1024, not 32639
  EXPECT_EQ(test::ReadWithSndfile(dir_.File("t-n.wav")).frames, 3000);
}

TEST_F(NormalizePassTest, DataTagInsideEarlierChunkIsSkippedByTheWalk) {
  const std::vector<uint8_t> text = {'d', 'a', 't', 'a', 'd', 'a', 't', 'a'};
  const std::string src = Make("w.wav", test::Recipe(1, 8, 100, [](int64_t, int) { return 160; }, test::Chunk("LIST", text)));
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  const auto before = ReadFileBytes(src);
  const auto after = ReadFileBytes(dir_.File("w-n.wav"));
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 60, after.begin()));  // header incl. LIST
  EXPECT_EQ(after[60], 255);  // 32 scaled to 127
}

TEST_F(NormalizePassTest, BrokenChunkWalkFallsBackToLastDataTag) {
  auto bytes = BuildWav(test::Recipe(1, 8, 100, [](int64_t, int) { return 160; }));
  test::PutU32(bytes, 16, 0x7FFFFFF0);  // a fmt size the walk cannot follow
  const std::vector<uint8_t> second = {'d', 'a', 't', 'a', 4, 0, 0, 0};
  bytes.insert(bytes.begin() + 44, second.begin(), second.end());  // a second tag; D = 52
  const std::string src = dir_.File("f.wav");
  WriteFileBytes(src, bytes);
  EXPECT_EQ(pass_.Run({src}, {}).outcome, PassOutcome::kFinished);
  const auto after = ReadFileBytes(dir_.File("f-n.wav"));
  ASSERT_EQ(after.size(), bytes.size());
  test::PutU32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));  // the inserted bytes counted
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 52, after.begin()));
  EXPECT_EQ(after[52], 255);
  EXPECT_EQ(after[56], 160);  // after data_end (52 + 4): copied unchanged
}

// A streamed source (data size 0) and one cut short: the output's RIFF size and data size count
// what it holds, every other header byte stays; libsndfile then reads its true length.
TEST_F(NormalizePassTest, OutputSizesCountWhatWasWritten) {
  WavRecipe recipe = Quiet(2, 16, 3000);  // 12000 sample bytes
  recipe.dataSizeField = 0;
  WriteFileBytes(dir_.File("stream.wav"), BuildWav(recipe));
  recipe.dataSizeField = -1;
  std::vector<uint8_t> cut = BuildWav(recipe);
  cut.resize(44 + 8000);
  WriteFileBytes(dir_.File("short.wav"), cut);
  for (const auto& [name, samples] : {std::pair<std::string, uint32_t>{"stream", 12000}, {"short", 8000}}) {
    std::vector<uint8_t> header = ReadFileBytes(dir_.File(name + ".wav"));
    ASSERT_EQ(pass_.Run({dir_.File(name + ".wav")}, {}).outcome, PassOutcome::kFinished) << name;
    const std::string out = dir_.File(name + "-n.wav");
    const std::vector<uint8_t> after = ReadFileBytes(out);
    ASSERT_EQ(after.size(), header.size()) << name;
    test::PutU32(header, 4, 36 + samples);
    test::PutU32(header, 40, samples);
    EXPECT_TRUE(std::equal(header.begin(), header.begin() + 44, after.begin())) << name;
    EXPECT_EQ(test::ReadWithSndfile(out).frames, samples / 4) << name;
  }
}

TEST_F(NormalizePassTest, AverageModeAndPercentageReachTheSamples) {
  const std::string src = Make("avg.wav", test::Recipe(1, 16, 6000, [](int64_t f, int) { return f % 2 ? -1000 : 1000; }));
  EXPECT_EQ(pass_.Run({src}, test::AverageMode()).outcome, PassOutcome::kFinished);
  const auto after = ReadFileBytes(dir_.File("avg-n.wav"));
  EXPECT_EQ(static_cast<int16_t>(after[44] | after[45] << 8), 5825);
  EXPECT_EQ(static_cast<int16_t>(after[46] | after[47] << 8), -5826);
}

}  // namespace
}  // namespace sonaveld
