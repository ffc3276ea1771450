// Outputs are written into unnamed files where the system allows it: a process killed in the middle
// of a write leaves no file at all in the output folder, neither a partial output nor a hidden
// temporary one, and an existing file of the output's name stays as it was. Where unnamed files are
// refused, outputs go through a hidden temporary file as before.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "output/OpenRefusal.h"
#include "output/OutputFixture.h"

namespace sonaveld::test {
namespace {

// Where the folder's file system has no unnamed files the guarantee cannot hold.
bool UnnamedFilesWork(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

// In the writing child: tells the parent through a pipe that the write is under way, then waits
// to be killed.
[[noreturn]] void ReportAndWait(int pipe) {
  (void)!write(pipe, "w", 1);
  for (;;) pause();
}

// Stops the child at its n-th Idle call, in the middle of a copy.
class StoppingHost : public OutputHost {
 public:
  StoppingHost(int stopAt, int pipe) : stopAt_(stopAt), pipe_(pipe) {}
  bool ConfirmLowSpace(const std::string&) override { return true; }
  void Idle() override {
    if (++idles_ == stopAt_) ReportAndWait(pipe_);
  }

 private:
  int idles_ = 0;
  int stopAt_;
  int pipe_;
};

enum class Writer { kOutputFile, kCut, kSplitAtMarks };

struct KillCase {
  const char* name;
  Writer writer;
  std::string listing;  // the folder during the write and after the kill
};

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

class KilledWriterTest : public OutputTest, public ::testing::WithParamInterface<KillCase> {
 protected:
  void SetUp() override {
    if (!UnnamedFilesWork(dir.path())) GTEST_SKIP() << "no O_TMPFILE support in " << dir.path();
    MakeSource(WavRecipe{});                          // 1000 frames, 4000 sample bytes
    WriteFileBytes(dir.File("cut.wav"), {1, 2, 3});  // an earlier output of that name
  }

  // What the child runs; it never returns.
  [[noreturn]] void Write(int pipe) {
    CreationFlags childFlags;
    StoppingHost stopping(GetParam().writer == Writer::kSplitAtMarks ? 4 : 2, pipe);
    if (GetParam().writer == Writer::kOutputFile) {
      auto out = OutputFile::Create(dir.File("cut.wav"));
      if (out && out->Write(sourceBytes.data(), 3000)) ReportAndWait(pipe);
    } else if (GetParam().writer == Writer::kCut) {
      WriteCutEditedFile(file, {1}, false, dir.File("cut.wav"), childFlags, stopping, FineOptions());
    } else {  // piece 00 is 600 bytes: the stop falls in piece 01
      SplitAtMarks(file, {101}, dir.File("p.wav"), childFlags, stopping, FineOptions());
    }
    _exit(1);  // the write ended without stopping
  }
};

TEST_P(KilledWriterTest, LeavesNoPartialFile) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    Write(fds[1]);
  }
  close(fds[1]);
  char byte = 0;
  const ssize_t got = read(fds[0], &byte, 1);  // 0 when the child ended without reporting
  close(fds[0]);
  const std::string duringWrite = dir.Listing();
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(got, 1) << "the child did not reach the middle of its write";
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(duringWrite, GetParam().listing);
  EXPECT_EQ(dir.Listing(), GetParam().listing);
  EXPECT_EQ(ReadFileBytes(dir.File("cut.wav")), (std::vector<uint8_t>{1, 2, 3}));
  if (GetParam().writer == Writer::kSplitAtMarks) ExpectWav(dir.File("p00.wav"), SourceBytes(44, 600));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, KilledWriterTest,
    ::testing::Values(KillCase{"OutputFile", Writer::kOutputFile, "cut.wav source.wav"},
                      KillCase{"CutEditedFile", Writer::kCut, "cut.wav source.wav"},
                      // The first piece was complete before the kill: it stays, whole.
                      KillCase{"SplitAtMarks", Writer::kSplitAtMarks, "cut.wav p00.wav source.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

// Records the folder's listing at the first Idle call, in the middle of the copy.
class ListingHost : public ScriptedHost {
 public:
  ListingHost(CreationFlags& flags, const TempDir& dir) : ScriptedHost(flags), dir_(dir) {}
  void Idle() override {
    ScriptedHost::Idle();
    if (idles == 1) duringWrite = dir_.Listing();
  }
  std::string duringWrite;

 private:
  const TempDir& dir_;
};

struct RefusalCase {
  const char* name;
  int error;      // errno of the refused O_TMPFILE open; 0: not refused
  bool existing;  // a file of the output's name is there before
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class UnnamedRefusalTest : public OutputTest, public ::testing::WithParamInterface<RefusalCase> {
 protected:
  void TearDown() override { OpenRefusal::Refuse(0); }
};

TEST_P(UnnamedRefusalTest, OutputIsWrittenEitherWay) {
  const RefusalCase& c = GetParam();
  if (c.error == 0 && !UnnamedFilesWork(dir.path())) GTEST_SKIP() << "no O_TMPFILE support in " << dir.path();
  MakeSource(WavRecipe{});
  if (c.existing) WriteFileBytes(dir.File("cut.wav"), std::vector<uint8_t>(9000, 7));
  OpenRefusal::Refuse(c.error);
  ListingHost listing(flags, dir);
  const OutputResult r = WriteCutEditedFile(file, {501}, false, dir.File("cut.wav"), flags, listing, FineOptions());
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(OpenRefusal::Attempts(), 1);  // an unnamed file was asked for first
  // The hidden temporary file shows during the write exactly when the unnamed file was refused.
  EXPECT_EQ(listing.duringWrite.find(".cut.wav.part-") != std::string::npos, c.error != 0) << listing.duringWrite;
  ExpectWav(dir.File("cut.wav"), SourceBytes(44 + 2000, 2000));
  EXPECT_EQ(dir.Listing(), "cut.wav source.wav");
}

INSTANTIATE_TEST_SUITE_P(Refusals, UnnamedRefusalTest,
                         ::testing::Values(RefusalCase{"Unnamed", 0, false},
                                           RefusalCase{"UnnamedOverAnExistingFile", 0, true},
                                           RefusalCase{"NotSupported", EOPNOTSUPP, false},
                                           RefusalCase{"NotSupportedOverAnExistingFile", EOPNOTSUPP, true},
                                           RefusalCase{"IsADirectory", EISDIR, false},
                                           RefusalCase{"InvalidFlags", EINVAL, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld::test
