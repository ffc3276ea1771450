// sonaveld-cli on a terminal: the progress line shows and is erased, and never with --quiet or
// where stderr is a pipe.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>

#include "support/SndfileCheck.h"
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
    recipe.formatTag = 3;  // 24-bit float: refused
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

// Whether process pid has a handler of its own for SIGINT (the SigCgt mask of /proc/PID/status).
bool CatchesInterrupt(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) & (1u << (SIGINT - 1))) != 0;
  }
  return false;
}

TEST_F(CliTerminal, InterruptEndsACutWithAShorterValidFile) {
  WavRecipe recipe;
  recipe.frames = 5'000'000;  // 20 MB of samples, more than the first block of the copy
  recipe.sample = [](int64_t f, int c) { return static_cast<int>((f * 7 + c) % 20000) - 10000; };
  const std::vector<uint8_t> source = BuildWav(recipe);
  WriteFileBytes(dir.File("long.wav"), source);
  // The terminal's output is stopped, as by Ctrl+S: the program's first write there, the progress
  // line drawn before the copy, waits. The interrupt comes once the program has its handler, and
  // the copy starts when the output goes on, with the interrupt already seen at its first block.
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(tcflow(slave, TCOOFF), 0);
  const std::string out = dir.File("out.wav"), listed = dir.File("stdout.txt");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(slave, STDERR_FILENO);
    dup2(open(listed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    close(slave);
    close(master);
    execl(SONAVELD_CLI, SONAVELD_CLI, "cut", dir.File("long.wav").c_str(), "-o", out.c_str(), "--marks", "1",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  // Waits for the handler (at most 10 s, so that a program without one fails instead of hanging).
  for (int i = 0; i < 10000 && !CatchesInterrupt(pid); ++i) usleep(1000);
  kill(pid, SIGINT);
  tcflow(slave, TCOON);
  close(slave);
  char buffer[4096];
  std::string shown;
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) != 0;) {
    if (n > 0) shown.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;  // EIO: the program has ended
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  // The file cut short is named with the share of its 20,000,000 sample bytes written, and is
  // not listed as a file written.
  const std::vector<uint8_t> written = ReadFileBytes(out);
  const std::string percent = std::to_string((written.size() - 44) * 100 / 20'000'000);
  EXPECT_EQ(Screen(shown), out + "は途中まで（" + percent + "%）です");
  EXPECT_EQ(ReadFileBytes(listed).size(), 0u);

  const SndfileInfo info = ReadWithSndfile(out);
  ASSERT_TRUE(info.opened);
  EXPECT_GT(info.frames, 0);
  EXPECT_LT(info.frames, recipe.frames);
  // The source's header with both sizes counting what was written, then the first samples.
  ASSERT_EQ(written.size(), 44 + static_cast<size_t>(info.frames) * 4);
  std::vector<uint8_t> header(source.begin(), source.begin() + 44);
  PutU32(header, 4, static_cast<uint32_t>(written.size() - 8));
  PutU32(header, 40, static_cast<uint32_t>(written.size() - 44));
  EXPECT_TRUE(std::equal(header.begin(), header.end(), written.begin()));
  EXPECT_TRUE(std::equal(written.begin() + 44, written.end(), source.begin() + 44));
}

}  // namespace
}  // namespace sonaveld::test
