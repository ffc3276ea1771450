// sonaveld-cli as a script would use it: outputs on stdout, messages on stderr, exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "Version.h"
#include "support/SndfileCheck.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 44100;  // one second of 16-bit stereo
    wav = dir.File("take.wav");
    WriteFileBytes(wav, BuildWav(recipe));
  }
  // Runs the tool with args; prefix goes in front of the command (a timeout).
  CliRun Cli(const std::string& args, const std::string& prefix = {}) {
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    const std::string command =
        prefix + std::string(SONAVELD_CLI) + " " + args + " >" + out + " 2>" + err + " </dev/null";
    CliRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Slurp(out);
    run.err = Slurp(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
  }
  TempDir dir;
  std::string wav;
};

TEST_F(CliTest, InfoPrintsTheHeader) {
  const CliRun r = Cli("info " + wav);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "channels: 2\nbits: 16\nrate: 44100\nkind: 1\nformat: pcm\ndata_offset: 44\ndata_end: 176444\nframes: 44100\n"
            "length_ms: 1000\ncontainer: riff\n");
}

TEST_F(CliTest, InfoLengthOfAFileThatIsNotAWholeSecond) {
  WavRecipe recipe;
  recipe.frames = 44541;  // 1.01 s
  WriteFileBytes(wav, BuildWav(recipe));
  const CliRun r = Cli("info " + wav);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out.ends_with("frames: 44541\nlength_ms: 1010\ncontainer: riff\n")) << r.out;
}

TEST_F(CliTest, CutWritesAndPrintsTheOutput) {
  const CliRun r = Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks 22051");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("out.wav") + "\n");
  EXPECT_EQ(r.err, "");  // stderr is no terminal here: no progress line
  const SndfileInfo info = ReadWithSndfile(dir.File("out.wav"));
  EXPECT_TRUE(info.opened);
  EXPECT_EQ(info.frames, 22050);
}

TEST_F(CliTest, InfoJsonIsOneObjectOnOneLine) {
  const CliRun r = Cli("info --json " + wav);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\"channels\":2,\"bits\":16,\"rate\":44100,\"kind\":1,\"format\":\"pcm\",\"data_offset\":44,"
                   "\"data_end\":176444,\"frames\":44100,\"length_ms\":1000,\"container\":\"riff\"}\n");
}

// The wide kinds: their number and whether their samples are integers or floats, plain or
// extensible, with or without a fact chunk.
TEST_F(CliTest, InfoNamesTheWideKinds) {
  struct Row { int channels, bits, tag; bool extensible, fact; const char* lines; const char* json; };
  for (const Row& row : {Row{2, 24, 1, true, false, "bits: 24\nrate: 44100\nkind: 5\nformat: pcm\ndata_offset: 68\n", "\"kind\":5,\"format\":\"pcm\""},
                         Row{1, 24, 1, false, false, "bits: 24\nrate: 44100\nkind: 6\nformat: pcm\n", "\"kind\":6,"},
                         Row{2, 32, 1, false, true, "bits: 32\nrate: 44100\nkind: 7\nformat: pcm\ndata_offset: 56\n", "\"kind\":7,"},
                         Row{1, 32, 1, true, true, "bits: 32\nrate: 44100\nkind: 8\nformat: pcm\n", "\"kind\":8,"},
                         Row{2, 32, 3, false, true, "bits: 32\nrate: 44100\nkind: 9\nformat: float\n", "\"kind\":9,\"format\":\"float\","},
                         Row{1, 32, 3, true, false, "bits: 32\nrate: 44100\nkind: 10\nformat: float\n", "\"format\":\"float\""}}) {
    WavRecipe recipe;
    recipe.channels = row.channels, recipe.bits = row.bits, recipe.formatTag = static_cast<uint16_t>(row.tag);
    recipe.extensible = row.extensible, recipe.fact = row.fact, recipe.frames = 4410;
    WriteFileBytes(wav, BuildWav(recipe));
    const CliRun lines = Cli("info " + wav);
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_NE(lines.out.find(row.lines), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("frames: 4410\nlength_ms: 100\n"), std::string::npos) << lines.out;
    EXPECT_NE(Cli("info --json " + wav).out.find(row.json), std::string::npos) << row.json;
  }
}

TEST_F(CliTest, SplitNumbersFromOneAndSplitMarksFromZero) {
  CliRun r = Cli("split " + wav + " -o " + dir.File("s.wav") + " --marks 30000,100,20000 --keep-head");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("s01.wav") + "\n" + dir.File("s02.wav") + "\n");
  r = Cli("split-marks " + wav + " -o " + dir.File("m") + " --marks 22051");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("m00.wav") + "\n" + dir.File("m01.wav") + "\n");
}

TEST_F(CliTest, MarksFileIsReadBack) {
  std::ofstream(dir.File("marks.txt")) << "200\r\n100\r\n";
  const CliRun r = Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks-file " + dir.File("marks.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadWithSndfile(dir.File("out.wav")).frames, 100);  // 400 bytes = two chunks
}

TEST_F(CliTest, ExactCutsFallOnTheMarks) {
  ASSERT_EQ(Cli("cut " + wav + " -o " + dir.File("c.wav") + " --marks 100,249 --exact").status, 0);
  EXPECT_EQ(ReadWithSndfile(dir.File("c.wav")).frames, 149);  // by whole 200-byte chunks: 100
  ASSERT_EQ(Cli("split-marks " + wav + " -o " + dir.File("m.wav") + " --exact --marks 22051").status, 0);
  EXPECT_EQ(ReadWithSndfile(dir.File("m00.wav")).frames, 22050);  // by the chunk grid: 22100
}

TEST_F(CliTest, OutputsCarryTheTitleAfterTheSamples) {
  WavRecipe recipe;
  recipe.frames = 44100;
  const std::vector<uint8_t> info =
      Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 4, 0, 0, 0, 'S', 'e', 'a', 0});
  recipe.chunksAfterData = info;
  WriteFileBytes(wav, BuildWav(recipe));
  ASSERT_EQ(Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks 22051").status, 0);
  ASSERT_EQ(Cli("split-marks " + wav + " -o " + dir.File("m.wav") + " --marks 22051").status, 0);
  for (const char* name : {"out.wav", "m00.wav", "m01.wav"}) {
    const auto bytes = ReadFileBytes(dir.File(name));
    ASSERT_GE(bytes.size(), info.size());
    EXPECT_TRUE(std::equal(info.begin(), info.end(), bytes.end() - static_cast<long>(info.size()))) << name;
    EXPECT_EQ(ReadWithSndfile(dir.File(name)).title, "Sea") << name;
  }
}

struct Refusal {
  const char* name;
  std::string args;  // after the WAV path
  std::string message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class CliRefusal : public CliTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CliRefusal, ExitsOneWithTheMessage) {
  const CliRun r = Cli("cut " + wav + " -o " + dir.File("out.wav") + " " + GetParam().args);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, GetParam().message + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(dir.Listing(), "take.wav");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRefusal,
    ::testing::Values(Refusal{"NoMarks", "", "マーク(カットするポイント)指定がなされてしません"},
                      Refusal{"Duplicate", "--marks 5,5", "この位置ではマーク済みです。"},
                      Refusal{"Zero", "--marks 0", "'0' はマーク位置として使えません。"},
                      // A mark that is neither a frame nor a time is now wrong usage (RefusedFilesAndUsage).
                      Refusal{"TimePastTheEnd", "--marks 100,0:01.001",
                              "'0:01.001' はファイルの長さ 0:01.000 を超えています。"},
                      Refusal{"TimeOnAFrameMark", "--marks 22051,0.5s", "この位置ではマーク済みです。"},
                      Refusal{"MissingMarksFile", "--marks-file /nonexistent/m.txt",
                              "マークポイトンを記録しているファイルがありません。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, OutputOntoTheSourceIsRefused) {
  const auto before = ReadFileBytes(wav);
  const CliRun r = Cli("cut " + wav + " -o " + wav + " --marks 100");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ファイル " + wav + " を作成できません\n");
  EXPECT_EQ(ReadFileBytes(wav), before);
}

TEST_F(CliTest, RefusedFilesAndUsage) {
  WavRecipe recipe;
  recipe.bits = 24;
  recipe.formatTag = 3;  // 24-bit float: not a layout the system handles
  WriteFileBytes(dir.File("deep.wav"), BuildWav(recipe));
  CliRun r = Cli("info " + dir.File("deep.wav"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。\n");
  r = Cli("info " + dir.File("none.wav"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ファイル " + dir.File("none.wav") + " は開けません\n");
  EXPECT_EQ(Cli("cut " + wav).status, 2);
  EXPECT_EQ(Cli("split-marks " + wav + " -o x --keep-head").status, 2);
  EXPECT_EQ(Cli("frobnicate").status, 2);
  r = Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks 100,1:5");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.starts_with("sonaveld-cli: '1:5' ")) << r.err;
  EXPECT_EQ(Cli("info --json").status, 2);
  r = Cli("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage:"), std::string::npos);
  EXPECT_NE(r.out.find("--version"), std::string::npos);
}

// A folder, a FIFO (no writer: an open that waited would never return) and a device that never
// ends are refused at once by every command that reads a file; the timeout guards against a hang.
TEST_F(CliTest, WhatIsNotARegularFileIsRefusedAtOnce) {
  ASSERT_EQ(mkdir(dir.File("folder.wav").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(dir.File("fifo.wav").c_str(), 0644), 0);
  const std::string o = " -o " + dir.File("out.wav") + " --marks 100";
  for (const std::string& target : {dir.File("folder.wav"), dir.File("fifo.wav"), std::string("/dev/zero")}) {
    for (const std::string& command : {std::string("info P"), "cut P" + o, "split P" + o, "split-marks P" + o,
                                       std::string("normalize P"), std::string("pauses P"), "cut " + wav + " -o " + dir.File("out.wav") + " --marks-file P"}) {
      std::string args = command;
      args.replace(args.find(" P") + 1, 1, target);
      const CliRun r = Cli(args, "timeout -s KILL 20 ");
      EXPECT_EQ(r.status, 1) << args;
      EXPECT_EQ(r.err, "ファイル " + target + " は開けません\n") << args;
      EXPECT_EQ(r.out, "") << args;
    }
  }
  EXPECT_EQ(dir.Listing(), "fifo.wav folder.wav take.wav");
}

// Each wrong usage: one line naming it, one line saying where to read more.
TEST_F(CliTest, WrongUsageNamesTheProblemInOneLine) {
  const std::string cut = "cut " + wav + " -o " + dir.File("out.wav");
  const std::pair<std::string, std::string> rows[] = {
      {cut + " --marks 1 --marks-file " + dir.File("m.txt"), "--marks and --marks-file exclude each other"},
      {"normalize --restore " + wav, "--restore needs --replace"},
      {cut + " --pauses --marks 5", "--pauses excludes --marks and --marks-file"},
      {cut + " --min 100", "--below and --min need --pauses"},
      {cut + " --pauses --below 3", "--below needs a number of dB from -96 to 0"},
      {"normalize --replace --output-dir " + dir.path() + " " + wav, "--output-dir and --replace exclude each other"},
      {"frobnicate", "unknown command: frobnicate"},
      {cut + " --cue-marks --labels " + dir.File("l.txt"),
       "give one mark source: --marks, --marks-file, --labels, --cue, --cue-marks or --pauses"},
      {"mark " + wav + " -o " + dir.File("out.wav"), "mark needs a mark source"},
  };
  for (const auto& [args, problem] : rows) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err, "sonaveld-cli: " + problem + "\n詳しくは sonaveld-cli --help\n") << args;
  }
  EXPECT_EQ(dir.Listing(), "take.wav");
}

// A recording with a recorder's markers (cue points after the samples, dwPosition 0, labels)
// splits at them in one command, and its markers print as frames with names, JSON escaped.
TEST_F(CliTest, SplitMarksAtTheRecordersMarkers) {
  auto u32 = [](uint32_t v) { return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; };
  auto cat = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) { a.insert(a.end(), b.begin(), b.end()); return a; };
  std::vector<uint8_t> points = u32(2), adtl = {'a', 'd', 't', 'l'};
  for (const uint32_t offset : {30000u, 11025u}) {
    points = cat(cat(cat(cat(points, u32(offset)), u32(0)), {'d', 'a', 't', 'a'}), cat(cat(u32(0), u32(0)), u32(offset)));
  }
  const std::string name = "a\"b\\c\td\xff";
  adtl = cat(adtl, Chunk("labl", cat(cat(u32(11025), std::vector<uint8_t>(name.begin(), name.end())), {0})));
  WavRecipe recipe;
  recipe.frames = 44100;
  recipe.chunksAfterData = cat(Chunk("cue ", points), Chunk("LIST", adtl));
  WriteFileBytes(wav, BuildWav(recipe));

  const CliRun r = Cli("split-marks " + wav + " -o \"" + dir.File("take ") + "\" --cue-marks --exact --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("take 00.wav") + "\n" + dir.File("take 01.wav") + "\n" + dir.File("take 02.wav") + "\n");
  EXPECT_EQ(ReadWithSndfile(dir.File("take 00.wav")).frames, 11025);
  EXPECT_EQ(ReadWithSndfile(dir.File("take 01.wav")).frames, 30000 - 11025);
  EXPECT_EQ(ReadWithSndfile(dir.File("take 02.wav")).frames, 44100 - 30000);
  EXPECT_EQ(Cli("marks " + wav + " --json").out,
            "{\"frame\":11026,\"name\":\"a\\\"b\\\\c\\td\\ufffd\"}\n{\"frame\":30001,\"name\":\"\"}\n");
}

// --names: the pieces take their marks' names, piece 00 the title of the cue sheet's first track.
TEST_F(CliTest, SplitMarksNamesThePiecesByTheirMarks) {
  const std::string cue = dir.File("take.cue");
  WriteFileBytes(cue, [] {
    const std::string text =
        "FILE \"take.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Opening\"\n    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n    TITLE \"Interview: Tanaka\"\n    INDEX 01 00:00:30\n"
        "  TRACK 03 AUDIO\n    INDEX 01 00:00:60\n";
    return std::vector<uint8_t>(text.begin(), text.end());
  }());
  const CliRun r = Cli("split-marks " + wav + " -o \"" + dir.File("take ") + "\" --cue " + cue + " --names --exact --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("take 00 Opening.wav") + "\n" + dir.File("take 01 Interview_ Tanaka.wav") + "\n" +
                       dir.File("take 02.wav") + "\n");
  const SndfileInfo named = ReadWithSndfile(dir.File("take 01 Interview_ Tanaka.wav"));
  EXPECT_EQ(named.title, "Interview: Tanaka");
  EXPECT_EQ(named.frames, 35280 - 17640);  // 30 and 60 75ths of a second
  EXPECT_EQ(Cli("cut " + wav + " -o " + dir.File("c.wav") + " --cue " + cue + " --names").status, 2);
}

TEST_F(CliTest, UnsortedMarksAreSorted) {
  ASSERT_EQ(Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks 30000,100").status, 0);
  // Frames 100 to 29999: 119600 bytes, a whole number of chunks.
  const auto source = ReadFileBytes(wav), out = ReadFileBytes(dir.File("out.wav"));
  ASSERT_EQ(out.size(), 44u + 119600);
  EXPECT_TRUE(std::equal(out.begin() + 44, out.end(), source.begin() + 44 + 99 * 4));
}

TEST_F(CliTest, TrailingCommaInTheMarksIsWrongUsage) {
  const CliRun r = Cli("cut " + wav + " -o " + dir.File("out.wav") + " --marks 1,2,");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.starts_with("sonaveld-cli: '' ")) << r.err;
  EXPECT_EQ(dir.Listing(), "take.wav");
}

TEST_F(CliTest, VersionIsTheProjectVersion) {
  const CliRun r = Cli("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("sonaveld-cli ") + kVersion + "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(std::count(kVersion, kVersion + sizeof kVersion - 1, '.'), 2) << kVersion;  // major.minor.patch
}

}  // namespace
}  // namespace sonaveld::test

namespace sonaveld::test {
namespace {

TEST_F(CliTest, NormalizeWritesBesideTheSource) {
  const auto before = ReadFileBytes(wav);
  const CliRun r = Cli("normalize --mode average --percent 80 " + wav);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("take-n.wav") + "\n");
  EXPECT_EQ(ReadFileBytes(wav), before);
  const SndfileInfo info = ReadWithSndfile(dir.File("take-n.wav"));
  EXPECT_TRUE(info.opened);
  EXPECT_EQ(info.frames, 44100);
}

TEST_F(CliTest, NormalizeTakesEveryPercentageOfTheBox) {
  for (const char* percent : {"1", "150"}) {
    const CliRun r = Cli(std::string("normalize --percent ") + percent + " " + wav);
    EXPECT_EQ(r.status, 0) << percent << ": " << r.err;
    EXPECT_EQ(r.out, dir.File("take-n.wav") + "\n");
  }
}

TEST_F(CliTest, NormalizeReplaceKeepsABackupAndRestoreBringsItBack) {
  const auto before = ReadFileBytes(wav);
  CliRun r = Cli("normalize --replace " + wav);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(dir.File("take-orig.wav")), before);
  EXPECT_EQ(dir.Listing(), "take-orig.wav take.wav");
  // A backup is there: the pass asks, and without --restore it stops.
  r = Cli("normalize --replace " + wav);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("「*-orig.wav」"), std::string::npos);
  r = Cli("normalize --replace --restore " + wav);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(wav), before);
  EXPECT_EQ(dir.Listing(), "take.wav");
}

TEST_F(CliTest, NormalizeReplaceRefusesASharedBackupName) {
  const auto before = ReadFileBytes(wav);
  const std::string wave = dir.File("take.wave");
  WriteFileBytes(wave, before);
  const CliRun r = Cli("normalize --replace " + wav + " " + wave);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, wav + "\n");
  EXPECT_EQ(r.err, "ファイル " + dir.File("take-orig.wav") +
                       " は既にあるので、上書きしないようにノーマライズを中止します。\n");
  EXPECT_EQ(ReadFileBytes(dir.File("take-orig.wav")), before);
  EXPECT_EQ(ReadFileBytes(wave), before);
  EXPECT_EQ(dir.Listing(), "take-orig.wav take.wav take.wave");
}

// Run again over its own outputs, --skip-existing leaves alone both the source whose output is
// there and that output itself; --output-dir writes into a folder, and only into one.
TEST_F(CliTest, NormalizeSkipsExistingOutputsAndWritesIntoAFolder) {
  ASSERT_EQ(Cli("normalize " + wav).status, 0);
  const auto normalized = ReadFileBytes(dir.File("take-n.wav"));
  CliRun r = Cli("normalize --skip-existing " + wav + " " + dir.File("take-n.wav"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, dir.File("take-n.wav") + "は既にあるので、ノーマライズしません。\n" + dir.File("take-n.wav") +
                       "は一覧にある別のファイルの出力なので、ノーマライズしません。\n");
  EXPECT_EQ(dir.Listing(), "take-n.wav take.wav");
  ASSERT_EQ(mkdir(dir.File("out").c_str(), 0755), 0);
  r = Cli("normalize --output-dir " + dir.File("out") + " " + wav);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("out/take-n.wav") + "\n");
  EXPECT_EQ(ReadFileBytes(dir.File("out/take-n.wav")), normalized);
  r = Cli("normalize --output-dir " + wav + " " + wav);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, wav + " はフォルダではありません。\n");
  EXPECT_EQ(dir.Listing(), "out take-n.wav take.wav");
}

TEST_F(CliTest, NormalizeRefusals) {
  WavRecipe recipe;
  recipe.bits = 24;
  recipe.formatTag = 3;  // 24-bit float: not a layout the system handles
  WriteFileBytes(dir.File("deep.wav"), BuildWav(recipe));
  CliRun r = Cli("normalize " + dir.File("deep.wav"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("deep.wav") + "は 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。\n");
  EXPECT_EQ(Cli("normalize --percent 151 " + wav).status, 2);
  EXPECT_EQ(Cli("normalize --percent 0 " + wav).status, 2);
  EXPECT_EQ(Cli("normalize --mode loud " + wav).status, 2);
  EXPECT_EQ(Cli("normalize").status, 2);
  EXPECT_EQ(dir.Listing(), "deep.wav take.wav");
}

}  // namespace
}  // namespace sonaveld::test

namespace sonaveld::test {
namespace {

// 16-bit stereo at 1000 Hz (windows of 10 frames): `pauses` silent stretches of pauseFrames frames,
// each between 50 frames of sound. Pause k gets the mark k x (50 + pauseFrames) + 51 + pauseFrames / 2.
// The sound is 900 on the 16-bit scale, in whatever kind recipe asks for.
std::string WritePausedWav(const TempDir& dir, int pauses, int pauseFrames, WavRecipe recipe = {}) {
  recipe.rate = 1000;
  recipe.frames = pauses * (50 + pauseFrames) + 50;
  const auto sounds = [=](int64_t f) { return f % (50 + pauseFrames) < 50; };
  recipe.sample = [=](int64_t f, int) { return sounds(f) ? 900 << (recipe.bits - 16) : 0; };
  recipe.floatSample = [=](int64_t f, int) { return sounds(f) ? 900 / 32768.0f : 0.0f; };
  const std::string path = dir.File("talk.wav");
  WriteFileBytes(path, BuildWav(recipe));
  return path;
}

TEST_F(CliTest, PausesPrintsOrWritesTheMarks) {
  const std::string talk = WritePausedWav(dir, 3, 100);
  CliRun r = Cli("pauses " + talk + " --min 100");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "101\n251\n401\n");
  r = Cli("pauses --write " + talk + " --below -40.5 --min 100");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("talk.txt") + "\n");
  EXPECT_EQ(Slurp(dir.File("talk.txt")), "101\r\n251\r\n401\r\n");
  // The default shortest pause is 1000 ms: none here.
  std::remove(dir.File("talk.txt").c_str());
  r = Cli("pauses " + talk);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  r = Cli("pauses " + talk + " --write");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "無音部分が見つかりませんでした。\n");
  EXPECT_EQ(dir.Listing(), "take.wav talk.wav");
}

TEST_F(CliTest, PausesFindsTheSameMarksInTheWideKinds) {
  WavRecipe extensible24, float32;
  extensible24.bits = 24, extensible24.extensible = true;
  float32.channels = 1, float32.bits = 32, float32.formatTag = 3, float32.fact = true;
  for (const WavRecipe& recipe : {extensible24, float32}) {
    const CliRun r = Cli("pauses " + WritePausedWav(dir, 3, 100, recipe) + " --min 100");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "101\n251\n401\n") << recipe.bits;
  }
}

// --pauses cuts at the marks the pauses command prints, in one command; with no pause it says so
// and writes nothing.
TEST_F(CliTest, OutputCommandsCutAtThePauses) {
  const std::string talk = WritePausedWav(dir, 3, 100);
  CliRun r = Cli("split-marks " + talk + " -o " + dir.File("p.wav") + " --pauses --min 100 --below -40");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(Cli("split-marks " + talk + " -o " + dir.File("m.wav") + " --marks 101,251,401").status, 0);
  for (const char* k : {"00", "01", "02", "03"}) {
    EXPECT_EQ(ReadFileBytes(dir.File(std::string("p") + k + ".wav")), ReadFileBytes(dir.File(std::string("m") + k + ".wav")));
  }
  r = Cli("cut " + talk + " -o " + dir.File("c.wav") + " --pauses");  // none of 1000 ms
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "無音部分が見つかりませんでした。\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("c.wav")));
}

TEST_F(CliTest, PausesWritesAtMost255Marks) {
  const std::string talk = WritePausedWav(dir, 256, 10);
  CliRun r = Cli("pauses " + talk + " --min 10");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 256);
  r = Cli("pauses " + talk + " --min 10 --write");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "マークは255個までです。\n");
  EXPECT_EQ(dir.Listing(), "take.wav talk.wav");
  WritePausedWav(dir, 255, 10);
  EXPECT_EQ(Cli("pauses " + talk + " --min 10 --write").status, 0);
  const std::string text = Slurp(dir.File("talk.txt"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 255);
  EXPECT_TRUE(text.starts_with("56\r\n116\r\n") && text.ends_with("15236\r\n15296\r\n"));
}

TEST_F(CliTest, PausesUsageAndRefusals) {
  for (const char* bad : {"--below", "--below x", "--below 0.1", "--below -96.01", "--min", "--min 9",
                          "--min 600001", "--min 1.5", "--min -10", "--fast", "--write second.wav"}) {
    EXPECT_EQ(Cli("pauses " + wav + " " + bad).status, 2) << bad;
  }
  for (const char* edge : {"--below 0", "--below -96", "--min 10", "--min 600000"}) {
    EXPECT_EQ(Cli("pauses " + wav + " " + edge).status, 0) << edge;
  }
  EXPECT_EQ(Cli("pauses").status, 2);
  WavRecipe recipe;
  recipe.bits = 24;
  recipe.formatTag = 3;  // 24-bit float: not a layout the system handles
  WriteFileBytes(dir.File("deep.wav"), BuildWav(recipe));
  const CliRun r = Cli("pauses " + dir.File("deep.wav"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。\n");
}

}  // namespace
}  // namespace sonaveld::test

namespace sonaveld::test {
namespace {

TEST_F(CliTest, OutputsOfA24BitExtensibleFileHoldExactlyTheFramesAtTheMarks) {
  WavRecipe recipe;
  recipe.frames = 44100;
  recipe.bits = 24;
  recipe.extensible = true;
  recipe.fact = true;  // its frame count at byte 68
  WriteFileBytes(wav, BuildWav(recipe));
  ASSERT_EQ(Cli("cut " + wav + " -o " + dir.File("c.wav") + " --marks 101,30001").status, 0);
  ASSERT_EQ(Cli("split " + wav + " -o " + dir.File("s.wav") + " --marks 7,8,9").status, 0);
  ASSERT_EQ(Cli("split-marks " + wav + " -o " + dir.File("m.wav") + " --marks 1001").status, 0);
  const std::pair<const char*, int64_t> outputs[] = {{"c.wav", 29900}, {"s01.wav", 1},
                                                     {"s02.wav", 44092}, {"m00.wav", 1000}, {"m01.wav", 43100}};
  for (const auto& [name, frames] : outputs) {
    const auto bytes = ReadFileBytes(dir.File(name));
    ASSERT_EQ(bytes.size(), 80 + 6 * frames) << name;
    EXPECT_EQ(bytes[68] | bytes[69] << 8 | bytes[70] << 16, frames) << name;
    EXPECT_EQ(ReadWithSndfile(dir.File(name)).frames, frames) << name;
  }
}

// Polyphonic files through the commands: info names channels and mask, cut keeps every channel,
// split-channels lists one mono file a channel, all read back by libsndfile.
TEST_F(CliTest, PolyphonicFilesThroughTheCommands) {
  struct Row { int channels, bits; uint16_t tag; bool extensible; int64_t mask; };
  for (const Row& row : {Row{3, 24, 1, false, -1}, Row{6, 16, 1, true, 0x3F}, Row{8, 32, 3, true, 0}}) {
    WavRecipe recipe;
    recipe.frames = 1000;
    std::tie(recipe.channels, recipe.bits, recipe.formatTag, recipe.extensible, recipe.channelMask) =
        std::tuple(row.channels, row.bits, row.tag, row.extensible, row.mask);
    WriteFileBytes(wav, BuildWav(recipe));
    const CliRun info = Cli("info " + wav);
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("channels: " + std::to_string(row.channels) + "\n"), std::string::npos) << info.out;
    const std::string mask = "channel_mask: " + std::to_string(row.mask) + "\n";
    EXPECT_EQ(info.out.find(mask) != std::string::npos, row.extensible) << info.out;
    ASSERT_EQ(Cli("cut " + wav + " -o " + dir.File("c.wav") + " --marks 101,301").status, 0);
    const SndfileInfo cut = ReadWithSndfile(dir.File("c.wav"));
    EXPECT_EQ(cut.frames, 200);
    EXPECT_EQ(cut.channels, row.channels);
    const CliRun split = Cli("split-channels " + wav + " -o " + dir.File("m"));
    ASSERT_EQ(split.status, 0) << split.err;
    std::string listed;
    for (int c = 1; c <= row.channels; ++c) {
      const std::string path = dir.File("m_" + std::to_string(c) + ".wav");
      listed += path + "\n";
      const SndfileInfo mono = ReadWithSndfile(path);
      EXPECT_EQ(mono.channels, 1) << path;
      EXPECT_EQ(mono.frames, 1000) << path;
    }
    EXPECT_EQ(split.out, listed);
  }
  EXPECT_EQ(Cli("split-channels " + wav).status, 2);
  WavRecipe nine;
  nine.channels = 9;
  WriteFileBytes(wav, BuildWav(nine));
  const CliRun refused = Cli("split-channels " + wav + " -o " + dir.File("n"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "1～8チャンネルの WAVファイルではない可能性があります。確認して下さい。\n");
}

}  // namespace
}  // namespace sonaveld::test

namespace sonaveld::test {
namespace {

// loudness --json: one object a line in list order, null where a figure is -inf, a refused file
// in between reported on stderr while the run goes on, exit status 1.
TEST_F(CliTest, LoudnessJsonLinesInListOrder) {
  WavRecipe tone;  // 5 s of a 1 kHz sine at -23 dBFS on both channels: -23 LUFS
  tone.frames = 5 * 44100;
  tone.sample = [](int64_t f, int) { return static_cast<int>(std::lround(2319.7 * std::sin(f * 2 * M_PI * 1000 / 44100))); };
  WriteFileBytes(wav, BuildWav(tone));
  WavRecipe silent;  // float silence with three NaN samples
  silent.bits = 32;
  silent.formatTag = 3;
  silent.floatSample = [](int64_t f, int c) { return f < 3 && c == 1 ? std::nanf("") : 0.0f; };
  const std::string quiet = dir.File("quiet.wav"), missing = dir.File("missing.wav");
  WriteFileBytes(quiet, BuildWav(silent));
  const CliRun r = Cli("loudness --json " + wav + " " + missing + " " + quiet);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ファイル " + missing + " は開けません\n");
  const std::string level = R"(-2[23]\.\d{3})";
  const std::regex expected(R"(\{"file":")" + wav + R"(","integrated_lufs":)" + level + R"(,"lra_lu":0\.000,)" +
                            R"("momentary_max_lufs":)" + level + R"(,"short_term_max_lufs":)" + level +
                            R"(,"sample_peak_dbfs":)" + level + R"(,"true_peak_dbtp":)" + level +
                            R"(,"nonfinite_samples":0\}
\{"file":")" + quiet + R"(","integrated_lufs":null,"lra_lu":0\.000,"momentary_max_lufs":null,)" +
                            R"("short_term_max_lufs":null,"sample_peak_dbfs":null,"true_peak_dbtp":null,)" +
                            R"("nonfinite_samples":3\}
)");
  EXPECT_TRUE(std::regex_match(r.out, expected)) << r.out;
}

// Files of 3 to 8 channels: join puts two of the same channels together and refuses another
// channel count; loudness measures them and normalizes them into a file of as many channels.
TEST_F(CliTest, PolyphonicFilesJoinAndGoThroughTheLoudnessCommands) {
  WavRecipe recipe;
  recipe.frames = 1000;
  recipe.channels = 6;
  WriteFileBytes(wav, BuildWav(recipe));
  const std::string three = dir.File("three.wav");
  recipe.channels = 3;
  recipe.frames = 48000;
  recipe.sample = [](int64_t f, int c) { return static_cast<int>(3000 * std::sin(0.05 * static_cast<double>(f) + c)); };
  WriteFileBytes(three, BuildWav(recipe));
  ASSERT_EQ(Cli("join -o " + dir.File("j.wav") + " " + wav + " " + wav).status, 0);
  const SndfileInfo joined = ReadWithSndfile(dir.File("j.wav"));
  EXPECT_EQ(joined.frames, 2000);
  EXPECT_EQ(joined.channels, 6);
  const CliRun mixed = Cli("join -o " + dir.File("k.wav") + " " + wav + " " + three);
  EXPECT_EQ(mixed.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("k.wav")));
  const CliRun measured = Cli("loudness " + three);
  EXPECT_EQ(measured.status, 0) << measured.err;
  const CliRun normalized = Cli("normalize --mode loudness " + three);
  EXPECT_EQ(normalized.status, 0) << normalized.err;
  const SndfileInfo written = ReadWithSndfile(dir.File("three-n.wav"));
  EXPECT_EQ(written.channels, 3);
  EXPECT_EQ(written.frames, 48000);
}

}  // namespace
}  // namespace sonaveld::test
