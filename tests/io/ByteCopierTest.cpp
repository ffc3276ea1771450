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

}  // namespace
}  // namespace sonaveld
