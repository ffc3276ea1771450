// sonaveld-cli on a terminal: the progress line shows and is erased, and never with --quiet or
// where stderr is a pipe.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {
namespace {

// Runs the shell command on a new pseudo-terminal and returns all it wrote there.
std::string RunOnTerminal(const std::string& command) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) != 0;) {
    if (n > 0) out.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;  // EIO: the program has ended
  }
  close(master);
  waitpid(pid, nullptr, 0);
  return out;
}

// What a terminal shows after text: "\r" goes back to the start of the line, "\n" to the next,
// every other byte overwrites the one under the cursor. Lines joined by "|", blanks at ends dropped.
std::string Screen(const std::string& text) {
  std::vector<std::string> lines{""};
  size_t column = 0;
  for (const char c : text) {
    if (c == '\n') lines.emplace_back();
    if (c == '\r' || c == '\n') {
      column = 0;
      continue;
    }
    if (column >= lines.back().size()) lines.back().resize(column + 1, ' ');
    lines.back()[column++] = c;
  }
  std::string screen;
  for (std::string& line : lines) screen += line.erase(line.find_last_not_of(' ') + 1) + "|";
  return screen.erase(screen.find_last_not_of('|') + 1);
}

class CliTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 44100;
    WriteFileBytes(dir.File("take.wav"), BuildWav(recipe));
    recipe.bits = 24;
    WriteFileBytes(dir.File("deep.wav"), BuildWav(recipe));
  }
  // The text with "D/" standing for the test's folder.
  std::string Fill(std::string text) const {
    for (size_t at; (at = text.find("D/")) != std::string::npos;) text.replace(at, 2, dir.path() + "/");
    return text;
  }
  TempDir dir;
};

TEST_F(CliTerminal, ProgressLineIsErasedAndLeavesTheOutputIntact) {
  struct Row {
    std::string args;
    std::string screen;  // the lines left on the terminal
    bool progress;       // a progress line was drawn
  };
  const Row rows[] = {
      {"cut D/take.wav -o D/out.wav --marks 0:00.5", "D/out.wav", true},
      {"cut D/take.wav -o D/out.wav --marks 0:00.5 --quiet", "D/out.wav", false},
      {"pauses D/take.wav", "", true},
      // The second file is refused while the line shows: the message stands on a line of its own.
      {"normalize D/take.wav D/deep.wav",
       "D/take-n.wav|D/deep.wavは 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", true},
  };
  for (const Row& row : rows) {
    const std::string shown = RunOnTerminal(std::string(SONAVELD_CLI) + " " + Fill(row.args));
    EXPECT_EQ(Screen(shown), Fill(row.screen)) << row.args;
    EXPECT_EQ(shown.find(" MiB") != std::string::npos, row.progress) << row.args << "\n" << shown;
  }
}

TEST_F(CliTerminal, NothingOfTheLineGoesIntoAPipe) {
  FILE* pipe = popen(Fill(std::string(SONAVELD_CLI) + " cut D/take.wav -o D/out.wav --marks 100 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out(4096, '\0');
  out.resize(std::fread(out.data(), 1, out.size(), pipe));
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(out, dir.File("out.wav") + "\n");
}

}  // namespace
}  // namespace sonaveld::test
