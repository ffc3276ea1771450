// sonaveld-cli normalize --mode loudness and the reports, held against libebur128 reading the
// outputs through libsndfile (both independent of the tool).
#include <ebur128.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {
namespace {

struct Reference {
  double integrated = -HUGE_VAL, truePeakDb = -HUGE_VAL;
};

// Measures path with libebur128 (I and true peak); one state per file, kept for album loudness.
struct Meter {
  ebur128_state* state = nullptr;
  explicit Meter(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return;
    state = ebur128_init(static_cast<unsigned>(info.channels), static_cast<unsigned long>(info.samplerate),
                         EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    std::vector<double> frames(4096 * static_cast<size_t>(info.channels));
    for (sf_count_t n; (n = sf_readf_double(file, frames.data(), 4096)) > 0;) {
      ebur128_add_frames_double(state, frames.data(), static_cast<size_t>(n));
    }
    sf_close(file);
  }
  ~Meter() { ebur128_destroy(&state); }
  Reference Figures() const {
    Reference r;
    ebur128_loudness_global(state, &r.integrated);
    double peak = 0;
    for (unsigned c = 0; c < state->channels; ++c) {
      double p = 0;
      ebur128_true_peak(state, c, &p);
      peak = std::max(peak, p);
    }
    r.truePeakDb = 20 * std::log10(peak);
    return r;
  }
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Programme-like: a tone whose level moves by 20 dB over the seconds, with noise below it.
double Programme(int64_t f, int c, double level) {
  const double t = static_cast<double>(f) / 48000.0;
  const double envelope = std::pow(10.0, (-10.0 * (1 + std::sin(0.9 * t))) / 20.0);
  const double noise = static_cast<double>((f * 1103515245 + c * 12345) % 2001 - 1000) / 1000.0;
  return level * (envelope * std::sin(2 * M_PI * (220.0 + 110 * c) * t) + 0.05 * noise);
}

WavRecipe Wave(int channels, int bits, double level, int64_t frames = 48000 * 8) {
  WavRecipe recipe;
  recipe.channels = channels;
  recipe.bits = bits;
  recipe.rate = 48000;
  recipe.frames = frames;
  const double full = std::ldexp(1.0, bits - 1) - 1;
  recipe.sample = [=](int64_t f, int c) { return static_cast<int>(std::lround(Programme(f, c, level) * full)); };
  recipe.floatSample = [=](int64_t f, int c) { return static_cast<float>(Programme(f, c, level)); };
  return recipe;
}

class CliLoudness : public testing::Test {
 protected:
  struct Run {
    int status = -1;
    std::string out, err;
  };
  Run Cli(const std::string& args, const std::string& stdinFile = "/dev/null") {
    const std::string out = dir.File("o.txt"), err = dir.File("e.txt");
    const int raw = std::system(
        (std::string(SONAVELD_CLI) + " " + args + " >" + out + " 2>" + err + " <" + stdinFile).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  }
  std::string Make(const std::string& name, const WavRecipe& recipe) {
    WriteFileBytes(dir.File(name), BuildWav(recipe));
    return dir.File(name);
  }
  TempDir dir;
};

TEST_F(CliLoudness, MixedBatchReachesTheTargetAndTheReportTellsEveryFile) {
  WavRecipe extensible = Wave(1, 24, 0.8);
  extensible.extensible = true;
  WavRecipe floats = Wave(2, 32, 0.05);
  floats.formatTag = 3;
  const std::string files[] = {Make("a.wav", Wave(2, 16, 0.1)), Make("b.wav", extensible), Make("c.wav", floats),
                               Make("s.wav", Wave(2, 16, 0.0))};
  const auto silent = ReadFileBytes(files[3]);
  const Run r = Cli("normalize --mode loudness --preset podcast --quiet " + files[0] + " " + files[1] + " " +
                    files[2] + " " + files[3] + " --report " + dir.File("r.csv"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("a-n.wav") + "\n" + dir.File("b-n.wav") + "\n" + dir.File("c-n.wav") + "\n");
  const auto rows = Lines(Slurp(dir.File("r.csv")));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], "file,output,integrated_lufs,lra_lu,true_peak_dbtp,gain_db,limited,output_integrated_lufs,"
                     "output_true_peak_dbtp,status,message");
  for (int i = 0; i < 3; ++i) {
    const std::string output = dir.File(std::string(1, static_cast<char>('a' + i)) + "-n.wav");
    const Reference before = Meter(files[i]).Figures(), after = Meter(output).Figures();
    EXPECT_NEAR(after.integrated, -16.0, 0.1) << output;
    // The row: file, output, I, LRA, TP, gain, limited, output I, output TP, status.
    double inI, lra, tp, gain, outI, outTp;
    char limited[8];
    const std::string prefix = files[i] + "," + output + ",";
    ASSERT_EQ(rows[i + 1].rfind(prefix, 0), 0u) << rows[i + 1];
    ASSERT_EQ(std::sscanf(rows[i + 1].c_str() + prefix.size(), "%lf,%lf,%lf,%lf,%5[a-z],%lf,%lf,ok,", &inI, &lra,
                          &tp, &gain, limited, &outI, &outTp), 7) << rows[i + 1];
    EXPECT_NEAR(inI, before.integrated, 0.02);
    EXPECT_NEAR(gain, -16.0 - before.integrated, 0.02);
    EXPECT_STREQ(limited, "false");
    EXPECT_NEAR(outI, after.integrated, 0.02);
    EXPECT_NEAR(outTp, after.truePeakDb, 0.3);
  }
  EXPECT_EQ(rows[4].rfind(files[3] + ",,-inf,", 0), 0u) << rows[4];
  EXPECT_NE(rows[4].find(",unchanged,"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("s-n.wav")));
  EXPECT_EQ(ReadFileBytes(files[3]), silent);
}

// Clicks over a quiet tone: the true peak holds the gain back; the row and stderr say so.
TEST_F(CliLoudness, TruePeakCeilingLimitsTheGain) {
  WavRecipe clicks = Wave(2, 16, 0.02);
  clicks.sample = [](int64_t f, int c) {
    return f % 24000 == 100 ? 30000 : static_cast<int>(std::lround(Programme(f, c, 0.02) * 32767));
  };
  const std::string file = Make("k.wav", clicks);
  const Run r = Cli("normalize --mode loudness --target -10 --true-peak -2 --quiet --report " +
                    dir.File("k.jsonl") + " " + file);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("トゥルーピーク"), std::string::npos) << r.err;
  const std::string row = Slurp(dir.File("k.jsonl"));
  EXPECT_NE(row.find("\"limited\":true"), std::string::npos) << row;
  const Reference after = Meter(dir.File("k-n.wav")).Figures();
  EXPECT_LT(after.integrated, -10.5);
  EXPECT_NEAR(after.truePeakDb, -2.0, 0.2);
}

// --album: one gain for all, so the files keep their distance, and together they reach the target.
TEST_F(CliLoudness, AlbumKeepsTheFilesRelativeLoudness) {
  const std::string a = Make("a.wav", Wave(2, 16, 0.05)), b = Make("b.wav", Wave(2, 16, 0.2));
  const Run r = Cli("normalize --mode loudness --album --target -20 --quiet " + a + " " + b);
  EXPECT_EQ(r.status, 0) << r.err;
  const Meter inA(a), inB(b), outA(dir.File("a-n.wav")), outB(dir.File("b-n.wav"));
  EXPECT_NEAR(outB.Figures().integrated - outA.Figures().integrated,
              inB.Figures().integrated - inA.Figures().integrated, 0.02);
  ebur128_state* states[] = {outA.state, outB.state};
  double together = 0;
  ebur128_loudness_global_multiple(states, 2, &together);
  EXPECT_NEAR(together, -20.0, 0.1);
}

// Two machines' halves of a list (one from a file list, one on stdin) give, concatenated, the rows
// of the whole list run at once.
TEST_F(CliLoudness, FileListsAndConcatenatedJsonRows) {
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) files.push_back(Make("f" + std::to_string(i) + ".wav", Wave(1 + i % 2, 16, 0.03 * (i + 1))));
  std::ofstream(dir.File("first.txt")) << files[0] << "\n" << files[1] << "\n";
  std::ofstream(dir.File("second.txt")) << files[2] << "\r\n\n" << files[3] << "\n";
  const std::string common = "normalize --mode loudness --quiet --report ";
  EXPECT_EQ(Cli(common + dir.File("1.jsonl") + " --jobs 1 --files-from " + dir.File("first.txt")).status, 0);
  EXPECT_EQ(Cli(common + dir.File("2.jsonl") + " --files-from -", dir.File("second.txt")).status, 0);
  for (const std::string& f : files) std::filesystem::remove(f.substr(0, f.size() - 4) + "-n.wav");
  const Run whole = Cli(common + dir.File("all.jsonl") + " --jobs 3 " + files[0] + " " + files[1] + " " + files[2] +
                        " " + files[3]);
  EXPECT_EQ(whole.status, 0) << whole.err;
  const std::string all = Slurp(dir.File("all.jsonl"));
  EXPECT_EQ(Lines(all).size(), 4u);
  EXPECT_EQ(Slurp(dir.File("1.jsonl")) + Slurp(dir.File("2.jsonl")), all);
  std::string outputs;
  for (const std::string& f : files) outputs += f.substr(0, f.size() - 4) + "-n.wav\n";
  EXPECT_EQ(whole.out, outputs);  // printed in list order whatever job finished first
}

// --linked in peak mode: L -6 / R -12 dBFS stays 6 dB apart; the report has the level columns.
TEST_F(CliLoudness, LinkedPeakReportKeepsTheBalance) {
  WavRecipe recipe = Wave(2, 16, 0.0, 4800);
  recipe.sample = [](int64_t f, int c) { return (f % 2 ? 16384 : -1000) / (c + 1); };
  const std::string file = Make("l.wav", recipe);
  EXPECT_EQ(Cli("normalize --mode peak --linked --quiet --report " + dir.File("l.csv") + " " + file).status, 0);
  const auto rows = Lines(Slurp(dir.File("l.csv")));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].substr(rows[0].find(",level_left")),
            ",level_left_dbfs,level_right_dbfs,gain_right_db,clipped_left,clipped_right");
  EXPECT_NE(rows[1].find(",ok,,-6.02,-12.04,6.020335,0,0"), std::string::npos) << rows[1];
  const auto out = ReadFileBytes(dir.File("l-n.wav"));
  EXPECT_EQ(static_cast<int16_t>(out[44 + 4] | out[44 + 5] << 8), 32767);  // 16384 x 32767 / 16384
  EXPECT_EQ(static_cast<int16_t>(out[44 + 6] | out[44 + 7] << 8), 16383);  // 8192 x the same, floored
  // The pass ends at a file it cannot open: its row says so, the files after it were not reached.
  const Run ended = Cli("normalize --mode average --quiet --report " + dir.File("e.csv") + " " + file + " " +
                        dir.File("none.wav") + " " + file);
  EXPECT_EQ(ended.status, 1);
  const auto endedRows = Lines(Slurp(dir.File("e.csv")));
  ASSERT_EQ(endedRows.size(), 4u);
  EXPECT_NE(endedRows[1].find(",ok,"), std::string::npos);
  EXPECT_NE(endedRows[2].find(",failed,ファイル " + dir.File("none.wav") + " は開けません"), std::string::npos) << endedRows[2];
  EXPECT_NE(endedRows[3].find(",stopped,"), std::string::npos);
}

TEST_F(CliLoudness, OutOfRangeAndMismatchedOptionsAreWrongUsage) {
  const std::string file = Make("u.wav", Wave(1, 16, 0.1, 48000));
  for (const char* options : {"--mode loudness --target -80", "--mode loudness --target -4.9",
                              "--mode loudness --true-peak 0.5", "--mode loudness --true-peak -9.5",
                              "--mode loudness --preset loud", "--mode loudness --jobs 0",
                              "--mode loudness --report r.txt", "--mode loudness --linked",
                              "--mode loudness --percent 80", "--mode peak --album", "--target -23"}) {
    const Run r = Cli(std::string("normalize ") + options + " " + file);
    EXPECT_EQ(r.status, 2) << options;
    EXPECT_EQ(Lines(r.err).size(), 2u) << options << ": " << r.err;
    EXPECT_EQ(Lines(r.err).back(), "詳しくは sonaveld-cli --help") << options;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("u-n.wav")));
  const Run missing = Cli("normalize --mode loudness --quiet --report " + dir.File("m.csv") + " " +
                          dir.File("none.wav") + " " + file);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, dir.File("u-n.wav") + "\n");  // the run went on
  EXPECT_NE(Slurp(dir.File("m.csv")).find(",refused,"), std::string::npos);
  // A report that cannot be created is refused before any work.
  const Run noReport = Cli("normalize --mode loudness --quiet --report " + dir.File("no/r.csv") + " " + file);
  EXPECT_EQ(noReport.status, 1);
  EXPECT_EQ(noReport.out, "");
}

}  // namespace
}  // namespace sonaveld::test
