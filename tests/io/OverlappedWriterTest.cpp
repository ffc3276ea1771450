// The writer that writes on a second thread: the bytes reach the file whole and in order, however
// the buffers are filled, and a failed write is reported by every later call.
#include <gtest/gtest.h>

#include <cstring>

#include "io/OverlappedWriter.h"
#include "support/FillingSink.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

TEST(OverlappedWriter, BytesArriveInOrderAndAFailureStays) {
  std::vector<uint8_t> bytes(100000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31 + i / 251);
  test::TempDir dir;
  for (int64_t room : {int64_t{1} << 40, int64_t{50000}}) {
    auto out = OutputFile::Create(dir.File("out.raw"), [room](const std::string& temp) {
      return std::make_unique<test::FillingSink>(OpenFileSink(temp), room);
    });
    ASSERT_TRUE(out);
    bool ok = true;
    {
      OverlappedWriter writer(*out, 4096);
      // Buffers filled to different lengths, some handed over empty.
      for (size_t at = 0, step = 0; at < bytes.size(); ++step) {
        const size_t n = std::min<size_t>({bytes.size() - at, static_cast<size_t>(step * 397 % 4097)});
        std::memcpy(writer.Buffer(), bytes.data() + at, n);
        ok = writer.Submit(static_cast<int64_t>(n)) && ok;
        at += n;
      }
      ok = writer.Drain() && ok;
      EXPECT_EQ(writer.Drain(), ok);
    }
    if (room > static_cast<int64_t>(bytes.size())) {
      EXPECT_TRUE(ok);
      ASSERT_TRUE(out->Commit());
      EXPECT_EQ(test::ReadFileBytes(dir.File("out.raw")), bytes);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_FALSE(out->Commit());
    }
  }
}

}  // namespace
}  // namespace sonaveld
