// sonaveld-cli on a terminal: the progress line shows and is erased, and never where stderr is not
// a terminal or with --quiet.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {
namespace {

// Runs sonaveld-cli with the words of args on a new pseudo-terminal (its stdin, stdout and stderr)
// and returns everything it wrote there.
std::string RunOnTerminal(const std::string& args) {
  std::vector<std::string> words{SONAVELD_CLI};
  std::istringstream in(args);
  for (std::string word; in >> word;) words.push_back(word);
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) != 0;) {
    if (n > 0) out.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;  // EIO: the program has ended and closed the terminal
  }
  close(master);
  waitpid(pid, nullptr, 0);
  return out;
}

// The lines a terminal shows after text: "\r" goes back to the start of the line, "\n" to the
// next line, every other byte overwrites the one under the cursor. Blanks at line ends dropped.
std::vector<std::string> Screen(const std::string& text) {
  std::vector<std::string> lines{""};
  size_t column = 0;
  for (const char c : text) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      lines.emplace_back();
      column = 0;
    } else {
      std::string& line = lines.back();
      if (column >= line.size()) line.resize(column + 1, ' ');
      line[column++] = c;
    }
  }
  for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

struct TerminalCase {
  const char* name;
  std::string args;                    // %W the WAV, %D/ the folder
  std::vector<std::string> screen;     // what stays on the terminal, %D/ the folder
  bool progress;                       // a progress line was drawn
};

void PrintTo(const TerminalCase& c, std::ostream* os) { *os << c.name; }

std::string Fill(std::string text, const TempDir& dir) {
  for (size_t at; (at = text.find("%W")) != std::string::npos;) text.replace(at, 2, dir.File("take.wav"));
  for (size_t at; (at = text.find("%D/")) != std::string::npos;) text.replace(at, 3, dir.path() + "/");
  return text;
}

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 44100;
    WriteFileBytes(dir.File("take.wav"), BuildWav(recipe));
    recipe.bits = 24;
    WriteFileBytes(dir.File("deep.wav"), BuildWav(recipe));
  }
  TempDir dir;
};

class CliTerminal : public TerminalTest, public ::testing::WithParamInterface<TerminalCase> {};

TEST_P(CliTerminal, ProgressLineIsErasedAndLeavesTheOutputIntact) {
  const std::string shown = RunOnTerminal(Fill(GetParam().args, dir));
  std::vector<std::string> expected;
  for (const std::string& line : GetParam().screen) expected.push_back(Fill(line, dir));
  EXPECT_EQ(Screen(shown), expected);
  EXPECT_EQ(shown.find(" MiB") != std::string::npos, GetParam().progress) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliTerminal,
    ::testing::Values(
        TerminalCase{"Cut", "cut %W -o %D/out.wav --marks 0:00.5", {"%D/out.wav"}, true},
        TerminalCase{"CutQuiet", "cut %W -o %D/out.wav --marks 0:00.5 --quiet", {"%D/out.wav"}, false},
        TerminalCase{"SplitMarks", "split-marks %W -o %D/m --marks 100", {"%D/m00.wav", "%D/m01.wav"}, true},
        TerminalCase{"Pauses", "pauses %W", {}, true},
        TerminalCase{"PausesQuiet", "pauses --quiet %W", {}, false},
        // The second file is refused while the line shows: the message stands on a line of its own.
        TerminalCase{"NormalizeThenRefusal", "normalize %W %D/deep.wav",
                     {"%D/take-n.wav", "%D/deep.wavは 8ビット、16ビット WAVファイルではない可能性があります。確認して下さい。"},
                     true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TerminalTest, NothingOfTheLineGoesIntoAPipe) {
  const std::string command = std::string(SONAVELD_CLI) + " cut " + dir.File("take.wav") + " -o " +
                              dir.File("out.wav") + " --marks 100 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[256];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(out, dir.File("out.wav") + "\n");
}

}  // namespace
}  // namespace sonaveld::test
