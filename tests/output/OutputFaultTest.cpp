// Failures in the middle of an output: a full disk at every point, a real file-size limit, a source
// that shrinks. Each must report, leave no output behind and leave the flags as after an end.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "output/OutputFixture.h"

namespace sonaveld::test {
namespace {

namespace fs = std::filesystem;

// A sink that accepts `budget` bytes in all and then fails, like a disk that fills up.
class FillingSink : public ByteSink {
 public:
  FillingSink(std::unique_ptr<ByteSink> inner, int64_t budget) : inner_(std::move(inner)), budget_(budget) {}
  bool Write(const void* data, int64_t n) override { return Spend(n) && inner_->Write(data, n); }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override {
    return Spend(n) && inner_->WriteAt(offset, data, n);
  }
  bool Close() override { return inner_->Close() && budget_ >= 0; }

 private:
  bool Spend(int64_t n) {
    budget_ -= n;
    return budget_ >= 0;
  }
  std::unique_ptr<ByteSink> inner_;
  int64_t budget_;
};

class OutputFaultTest : public OutputTest {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 1000;  // 4000 sample bytes
    MakeSource(recipe);
  }
};

TEST_F(OutputFaultTest, FullDiskAtEveryPointLeavesNoOutput) {
  const auto sourceBefore = ReadFileBytes(file.WaveFileName);
  // Two outputs of the split: header 44 + 1200 samples + 8 size bytes, then the second file.
  for (int64_t budget = 0; budget < 2 * (44 + 8) + 4000; budget += 37) {
    OutputOptions options = FineOptions();
    auto remaining = std::make_shared<int64_t>(budget);
    options.openSink = [remaining](const std::string& temp) -> std::unique_ptr<ByteSink> {
      auto inner = OpenFileSink(temp);
      // Every file draws on one budget, like one filling volume.
      auto sink = std::make_unique<FillingSink>(std::move(inner), *remaining);
      *remaining = 0;
      return sink;
    };
    flags = CreationFlags{};
    host.panels.clear();
    const OutputResult r = SplitAtMarks(file, {251}, dir.File("p.wav"), flags, host, options);
    const std::string listing = dir.Listing();
    SCOPED_TRACE("budget " + std::to_string(budget));
    ASSERT_TRUE(r.status.failed());
    EXPECT_EQ(r.status.message().find("ファイル "), 0u);
    EXPECT_NE(r.status.message().find("に書き込めません。"), std::string::npos);
    EXPECT_EQ(flags.Busy, 0);
    EXPECT_EQ(flags.AbortRequested, 0);
    for (auto panel : host.panels) EXPECT_NE(panel, OutputHost::Panel::kFinished);
    // Only completed files may stay, and they are whole.
    for (const auto& name : r.written) ExpectWav(name, SourceBytes(44, 1200));
    EXPECT_TRUE(listing == "source.wav" || listing == "p00.wav source.wav") << listing;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      EXPECT_EQ(entry.path().filename().string().find(".part-"), std::string::npos);
    }
    fs::remove(dir.File("p00.wav"));
  }
  EXPECT_EQ(ReadFileBytes(file.WaveFileName), sourceBefore);
}

TEST_F(OutputFaultTest, FailedWriteKeepsAnEarlierFileOfThatName) {
  WriteFileBytes(dir.File("cut.wav"), {1, 2, 3});
  OutputOptions options;
  options.openSink = [](const std::string& temp) -> std::unique_ptr<ByteSink> {
    return std::make_unique<FillingSink>(OpenFileSink(temp), 100);
  };
  const OutputResult r = WriteCutEditedFile(file, {1}, false, dir.File("cut.wav"), flags, host, options);
  EXPECT_EQ(r.status.message(), "ファイル " + dir.File("cut.wav") + " に書き込めません。");
  EXPECT_EQ(ReadFileBytes(dir.File("cut.wav")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(OutputFaultTest, RealFileSizeLimit) {
  // In a child process: a file-size limit makes the kernel refuse the write (EFBIG). An earlier
  // file of the output's name stays as it was.
  WriteFileBytes(dir.File("cut.wav"), {1, 2, 3});
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    CreationFlags childFlags;
    ScriptedHost childHost(childFlags);
    const OutputResult r = WriteCutEditedFile(file, {1}, false, dir.File("cut.wav"), childFlags, childHost);
    const bool reported = r.status.message() == "ファイル " + dir.File("cut.wav") + " に書き込めません。";
    _exit(reported && childFlags.Busy == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(dir.Listing(), "cut.wav source.wav");
  EXPECT_EQ(ReadFileBytes(dir.File("cut.wav")), (std::vector<uint8_t>{1, 2, 3}));
}

// Shrinks the source in the middle of the copy.
class ShrinkingHost : public ScriptedHost {
 public:
  ShrinkingHost(CreationFlags& flags, std::string path) : ScriptedHost(flags), path_(std::move(path)) {}
  void Idle() override {
    ScriptedHost::Idle();
    if (idles == 2) fs::resize_file(path_, 500);
  }

 private:
  std::string path_;
};

TEST_F(OutputFaultTest, SourceThatShrinksIsReportedAndNoOutputStays) {
  ShrinkingHost shrinking(flags, file.WaveFileName);
  const OutputResult r = WriteCutEditedFile(file, {1}, false, dir.File("cut.wav"), flags, shrinking, FineOptions());
  EXPECT_EQ(r.status.message(), "ファイル " + file.WaveFileName + " を読み込めません。");
  EXPECT_EQ(dir.Listing(), "source.wav");
  EXPECT_EQ(flags.Busy, 0);
}

// Shrinks the source below its header while the free-space question is asked: after the size
// check, before the header is copied.
class QuestionShrinksHost : public ScriptedHost {
 public:
  QuestionShrinksHost(CreationFlags& flags, std::string path) : ScriptedHost(flags), path_(std::move(path)) {}
  bool ConfirmLowSpace(const std::string& question) override {
    fs::resize_file(path_, 20);
    return ScriptedHost::ConfirmLowSpace(question);
  }

 private:
  std::string path_;
};

TEST_F(OutputFaultTest, SourceShrunkBelowItsHeaderBeforeTheCopyIsReported) {
  QuestionShrinksHost shrinking(flags, file.WaveFileName);
  OutputOptions options;
  options.freeBytes = [](const std::string&) -> int64_t { return -1; };  // the question is asked
  // A range of one frame copies no sample byte: only the header's read can see the loss.
  const OutputResult r = WriteCutEditedFile(file, {100, 101}, false, dir.File("cut.wav"), flags, shrinking, options);
  EXPECT_EQ(r.status.message(), "ファイル " + file.WaveFileName + " を読み込めません。");
  EXPECT_EQ(dir.Listing(), "source.wav");
  EXPECT_EQ(flags.Busy, 0);
}

TEST_F(OutputFaultTest, UncreatableOutputIsReported) {
  const std::string out = dir.File("missing-folder/cut.wav");
  const OutputResult r = WriteCutEditedFile(file, {1}, false, out, flags, host);
  EXPECT_EQ(r.status.message(), "ファイル " + out + " を作成できません");
  EXPECT_EQ(flags.Busy, 0);
}

}  // namespace
}  // namespace sonaveld::test
