// The one copy loop of outputs and normalizer, through its buffer (a source in memory allows no
// kernel copy): stretches longer than the buffer, a source that ends early, a refused write.
#include <gtest/gtest.h>

#include "io/ByteCopier.h"
#include "support/FillingSink.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

TEST(ByteCopier, CopiesThroughItsBufferInReadsOfAtMostItsSize) {
  std::vector<uint8_t> bytes(2500);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  MemorySource source(bytes);
  test::TempDir dir;
  auto out = OutputFile::Create(dir.File("out.raw"));
  ASSERT_TRUE(out);
  ByteCopier copier(1000, /*inKernel=*/true);
  EXPECT_EQ(copier.Copy(source, *out, 100, 2300), ByteSink::Copy::kDone);  // reads of 1000, 1000, 300
  EXPECT_EQ(copier.Copy(source, *out, 0, 3), ByteSink::Copy::kDone);
  EXPECT_EQ(copier.Copy(source, *out, 2400, 101), ByteSink::Copy::kReadFailed);  // one byte past the end
  ASSERT_TRUE(out->Commit());
  std::vector<uint8_t> expected(bytes.begin() + 100, bytes.begin() + 2400);
  expected.insert(expected.end(), bytes.begin(), bytes.begin() + 3);
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.raw")), expected);

  auto refused = OutputFile::Create(dir.File("full.raw"), [](const std::string&) {
    return std::make_unique<test::FillingSink>();
  });
  ASSERT_TRUE(refused);
  EXPECT_EQ(copier.Copy(source, *refused, 0, 10), ByteSink::Copy::kWriteFailed);
}

// The real file sink, counting the bytes offered to the in-kernel copy.
class KernelCountingSink final : public ByteSink {
 public:
  KernelCountingSink(std::unique_ptr<ByteSink> inner, int64_t& kernelBytes)
      : inner_(std::move(inner)), kernelBytes_(kernelBytes) {}
  bool Write(const void* data, int64_t n) override { return inner_->Write(data, n); }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override { return inner_->WriteAt(offset, data, n); }
  bool Close() override { return inner_->Close(); }
  Copy CopyFrom(ByteSource& source, int64_t offset, int64_t n) override {
    kernelBytes_ += n;
    return inner_->CopyFrom(source, offset, n);
  }

 private:
  std::unique_ptr<ByteSink> inner_;
  int64_t& kernelBytes_;
};

// Stretches in and out of page phase with the output, one after the other into one file: only those
// in phase go to the kernel, and the file holds every stretch's bytes whichever way it went.
TEST(ByteCopier, TakesTheKernelCopyOnlyForStretchesInPagePhaseWithTheOutput) {
  test::TempDir dir;
  std::vector<uint8_t> bytes(5 * 4096);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13 + i / 251);
  test::WriteFileBytes(dir.File("in.raw"), bytes);
  auto source = FileSource::Open(dir.File("in.raw"));
  ASSERT_TRUE(source);
  int64_t kernelBytes = 0;
  auto out = OutputFile::Create(dir.File("out.raw"), [&](const std::string& temp) {
    return std::make_unique<KernelCountingSink>(OpenFileSink(temp), kernelBytes);
  });
  ASSERT_TRUE(out);
  ByteCopier copier(1000, /*inKernel=*/true);
  const struct {
    int64_t offset, n, kernel;  // kernel: the bytes counted by the kernel copy after this stretch
  } stretches[] = {{4096, 3000, 3000},        // output at 0: in phase
                   {7, 2500, 3000},           // output at 3000: out of phase, through the buffer
                   {5500 + 4096, 1000, 4000}, // output at 5500: in phase again
                   {6500 - 4096, 50, 4050}};  // output at 6500: in phase, source behind it
  std::vector<uint8_t> expected;
  for (const auto& s : stretches) {
    ASSERT_EQ(copier.Copy(*source, *out, s.offset, s.n), ByteSink::Copy::kDone);
    EXPECT_EQ(kernelBytes, s.kernel) << "after the stretch from " << s.offset;
    expected.insert(expected.end(), bytes.begin() + s.offset, bytes.begin() + s.offset + s.n);
  }
  ASSERT_TRUE(out->Commit());
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.raw")), expected);
}

}  // namespace
}  // namespace sonaveld
