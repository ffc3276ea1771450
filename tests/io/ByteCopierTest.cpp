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
struct KernelCountingSink final : ByteSink {
  KernelCountingSink(std::unique_ptr<ByteSink> sink, int64_t& count) : inner(std::move(sink)), kernelBytes(count) {}
  bool Write(const void* data, int64_t n) override { return inner->Write(data, n); }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override { return inner->WriteAt(offset, data, n); }
  bool Close() override { return inner->Close(); }
  Copy CopyFrom(ByteSource& source, int64_t offset, int64_t n) override {
    kernelBytes += n;
    return inner->CopyFrom(source, offset, n);
  }
  std::unique_ptr<ByteSink> inner;
  int64_t& kernelBytes;
};

// Stretches in and out of page phase with the output, into one file: only those in phase go to the
// kernel, and the file holds every stretch's bytes whichever way it went.
TEST(ByteCopier, TakesTheKernelCopyOnlyForStretchesInPagePhaseWithTheOutput) {
  test::TempDir dir;
  std::vector<uint8_t> bytes(5 * 4096);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13 + i / 251);
  test::WriteFileBytes(dir.File("in.raw"), bytes);
  auto source = FileSource::Open(dir.File("in.raw"));
  int64_t kernelBytes = 0;
  auto out = OutputFile::Create(dir.File("out.raw"), [&](const std::string& temp) {
    return std::make_unique<KernelCountingSink>(OpenFileSink(temp), kernelBytes);
  });
  ASSERT_TRUE(source && out);
  ByteCopier copier(1000, /*inKernel=*/true);
  // {offset, n, bytes the kernel copied after it}: output at 0, at 3000 (out of phase), at 5500.
  const int64_t stretches[][3] = {{4096, 3000, 3000}, {7, 2500, 3000}, {5500 - 4096, 1000, 4000}};
  std::vector<uint8_t> expected;
  for (const auto& [offset, n, kernel] : stretches) {
    ASSERT_EQ(copier.Copy(*source, *out, offset, n), ByteSink::Copy::kDone);
    EXPECT_EQ(kernelBytes, kernel) << "after the stretch from " << offset;
    expected.insert(expected.end(), bytes.begin() + offset, bytes.begin() + offset + n);
  }
  ASSERT_TRUE(out->Commit());
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.raw")), expected);
}

}  // namespace
}  // namespace sonaveld
