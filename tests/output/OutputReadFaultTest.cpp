// A source that cannot be read, at every read the commands make: through the kernel copy and
// through the read/write path, with a disk that goes bad from one read on and with a single failed
// read. Each run must report the read error, leave only complete outputs, keep the source and
// end with Busy and AbortRequested at 0.
#include <filesystem>
#include <map>

#include "marks/MarkStore.h"
#include "output/OutputFixture.h"
#include "output/ReadFault.h"

namespace sonaveld::test {
namespace {

namespace fs = std::filesystem;

// A file sink that declines the in-kernel copy, so every sample byte goes through fread.
class BufferedSink : public ByteSink {
 public:
  explicit BufferedSink(std::unique_ptr<ByteSink> inner) : inner_(std::move(inner)) {}
  bool Write(const void* data, int64_t n) override { return inner_->Write(data, n); }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override { return inner_->WriteAt(offset, data, n); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<ByteSink> inner_;
};

enum class Command { kCut, kSplit, kSplitAtMarks };

struct ReadFaultCase {
  Command command;
  bool kernelCopy;
  ReadFault::Mode mode;
};

class OutputReadFaultTest : public OutputTest, public ::testing::WithParamInterface<ReadFaultCase> {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 1000;  // 4000 sample bytes
    // A LIST-INFO chunk after the data: its search and its copy into every output read too.
    recipe.chunksAfterData = Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 2, 0, 0, 0, 'a', 0});
    MakeSource(recipe);
    for (int64_t m : {101, 351, 701}) ASSERT_TRUE(marks.Add(m).ok());
    marks.SetKeepHead(true);
  }

  OutputResult Run() {
    OutputOptions options;
    options.blockBytes = 600;  // several reads per range
    options.idleInterval = std::chrono::milliseconds(0);
    if (!GetParam().kernelCopy) {
      options.openSink = [](const std::string& temp) -> std::unique_ptr<ByteSink> {
        auto sink = OpenFileSink(temp);
        return sink ? std::make_unique<BufferedSink>(std::move(sink)) : nullptr;
      };
    }
    flags = CreationFlags{};
    host.panels.clear();
    const std::vector<int64_t> sorted = marks.Sorted();
    switch (GetParam().command) {
      case Command::kCut: return WriteCutEditedFile(file, sorted, marks.KeepHead(), dir.File("cut.wav"), flags, host, options);
      case Command::kSplit: return SplitSelectedRanges(file, sorted, marks.KeepHead(), dir.File("s.wav"), flags, host, options);
      case Command::kSplitAtMarks: return SplitAtMarks(file, sorted, dir.File("p.wav"), flags, host, options);
    }
    return {};
  }

  void RemoveOutputs() {
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      if (entry.path() != file.WaveFileName) fs::remove(entry.path());
    }
  }

  MarkStore marks;
};

TEST_P(OutputReadFaultTest, EveryReadPointReportsAndLeavesOnlyCompleteFiles) {
  // The clean run: how many reads it makes and what it writes.
  ReadFault::Watch(file.WaveFileName);
  const OutputResult clean = Run();
  ReadFault::Stop();
  ASSERT_TRUE(clean.status.ok()) << clean.status.message();
  const int64_t reads = ReadFault::Reads();
  ASSERT_GE(reads, 3);
  std::map<std::string, std::vector<uint8_t>> cleanFiles;
  for (const auto& path : clean.written) cleanFiles[path] = ReadFileBytes(path);
  RemoveOutputs();
  const std::vector<int64_t> marksBefore = marks.Sorted();

  for (int64_t at = 0; at < reads; ++at) {
    SCOPED_TRACE("failing read " + std::to_string(at) + " of " + std::to_string(reads));
    ReadFault::Watch(file.WaveFileName, GetParam().mode, at);
    const OutputResult r = Run();
    ReadFault::Stop();
    ASSERT_EQ(ReadFault::Failures(), 1);  // the command stops at the first failed read
    ASSERT_TRUE(r.status.failed());
    EXPECT_EQ(r.status.message(), "ファイル " + file.WaveFileName + " を読み込めません。");
    EXPECT_EQ(flags.Busy, 0);
    EXPECT_EQ(flags.AbortRequested, 0);
    for (auto panel : host.panels) EXPECT_NE(panel, OutputHost::Panel::kFinished);
    // What stays is the source and the outputs completed before the failure, each whole.
    size_t others = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      const std::string path = entry.path().string();
      if (path == file.WaveFileName) continue;
      ++others;
      ASSERT_TRUE(cleanFiles.count(path)) << "left behind: " << path;
      EXPECT_EQ(ReadFileBytes(path), cleanFiles[path]) << path;
    }
    EXPECT_EQ(others, r.written.size());
    EXPECT_EQ(ReadFileBytes(file.WaveFileName), sourceBytes);
    EXPECT_EQ(marks.Sorted(), marksBefore);
    RemoveOutputs();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, OutputReadFaultTest,
    ::testing::Values(ReadFaultCase{Command::kCut, true, ReadFault::Mode::kFromRead},
                      ReadFaultCase{Command::kCut, false, ReadFault::Mode::kSingleRead},
                      ReadFaultCase{Command::kSplit, true, ReadFault::Mode::kSingleRead},
                      ReadFaultCase{Command::kSplit, false, ReadFault::Mode::kFromRead},
                      ReadFaultCase{Command::kSplitAtMarks, true, ReadFault::Mode::kFromRead},
                      ReadFaultCase{Command::kSplitAtMarks, false, ReadFault::Mode::kSingleRead}));

}  // namespace
}  // namespace sonaveld::test
