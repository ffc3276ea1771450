// The normalization pass with a source that cannot be read, at every read the pass makes: a disk
// that goes bad from one read on, and a single failed read. The pass must either report and leave
// no "-n" file (the source unchanged, under its own name), or, where the failed read changed
// nothing, write exactly the file of a clean run. A disk gone bad always ends in a report.
#include <gtest/gtest.h>

#include <filesystem>

#include "normalizer/NormalizeTestSupport.h"
#include "output/ReadFault.h"
#include "support/TempDir.h"

namespace sonaveld::test {
namespace {

namespace fs = std::filesystem;

struct NormalizeFaultCase {
  ReadFault::Mode mode;
  bool replaceNames;  // "File名変更" unticked: the names are swapped after writing
};

class NormalizeReadFaultTest : public ::testing::TestWithParam<NormalizeFaultCase> {
 protected:
  void SetUp() override {
    // A LIST chunk puts the data tag beyond the tag search, so only the chunk walk finds it; a
    // trailing chunk must come through unchanged.
    const auto list = Chunk("LIST", std::vector<uint8_t>(90, 'x'));
    const auto tail = Chunk("id3 ", std::vector<uint8_t>(21, 'y'));
    source = BuildWav(Recipe(2, 16, 3000, {}, list, tail));  // 12000 sample bytes: three blocks
    path = dir.File("take.wav");
    WriteFileBytes(path, source);
  }

  PassResult Run(RecordingHost& host) {
    NormalizePass pass(host);
    pass.SetFreeSpaceQuery([](const std::string&) { return int64_t{1} << 40; });
    NormalizeSettings settings;
    settings.keepSourceName = !GetParam().replaceNames;
    return pass.Run({path}, settings);
  }

  // The normalized file of the run: under "-n" or, after the swap, under the source's name.
  std::string OutputPath() const { return GetParam().replaceNames ? path : dir.File("take-n.wav"); }
  std::string BackupPath() const { return dir.File("take-orig.wav"); }

  void Reset() {
    for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove(entry.path());
    WriteFileBytes(path, source);
  }

  TempDir dir;
  std::string path;
  std::vector<uint8_t> source;
};

TEST_P(NormalizeReadFaultTest, EveryReadPointReportsOrWritesTheCleanResult) {
  RecordingHost cleanHost;
  ReadFault::Watch(path);
  ASSERT_EQ(Run(cleanHost).outcome, PassOutcome::kFinished);
  ReadFault::Stop();
  const int64_t reads = ReadFault::Reads();
  ASSERT_GE(reads, 4);
  const std::vector<uint8_t> clean = ReadFileBytes(OutputPath());
  ASSERT_EQ(clean.size(), source.size());

  for (int64_t at = 0; at < reads; ++at) {
    SCOPED_TRACE("failing read " + std::to_string(at) + " of " + std::to_string(reads));
    Reset();
    RecordingHost host;
    ReadFault::Watch(path, GetParam().mode, at);
    const PassResult r = Run(host);
    ReadFault::Stop();
    ASSERT_GE(ReadFault::Failures(), 1);
    if (r.outcome == PassOutcome::kFinished) {
      EXPECT_NE(GetParam().mode, ReadFault::Mode::kFromRead) << "a bad disk went unnoticed";
      EXPECT_EQ(ReadFileBytes(OutputPath()), clean) << "a failed read changed the output";
      continue;
    }
    EXPECT_EQ(r.outcome, PassOutcome::kFailed);
    const std::string& message = r.status.message();
    EXPECT_NE(message.find(path), std::string::npos) << message;  // names the source
    EXPECT_EQ(message.find("書き込めません"), std::string::npos) << "a read error told as a write error";
    EXPECT_TRUE(host.settingsEnabled);
    EXPECT_EQ(ReadFileBytes(path), source);
    EXPECT_FALSE(fs::exists(dir.File("take-n.wav")));
    EXPECT_FALSE(fs::exists(BackupPath()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, NormalizeReadFaultTest,
                         ::testing::Values(NormalizeFaultCase{ReadFault::Mode::kFromRead, false},
                                           NormalizeFaultCase{ReadFault::Mode::kSingleRead, false},
                                           NormalizeFaultCase{ReadFault::Mode::kFromRead, true},
                                           NormalizeFaultCase{ReadFault::Mode::kSingleRead, true}));

}  // namespace
}  // namespace sonaveld::test
