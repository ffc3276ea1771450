// The streaming source of the sink: the right bytes from the start offset, reads only on demand,
// one after the other (one seek), never at or beyond the end of the data.
#include <gtest/gtest.h>

#include <numeric>

#include "playback/WaveStream.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

struct ReadCall {
  int64_t offset;
  int64_t n;
};

// Bytes 0..size-1 holding their offset mod 251, with every read recorded.
class CountingSource final : public ByteSource {
 public:
  CountingSource(int64_t size, std::vector<ReadCall>* calls) : size_(size), calls_(calls) {}
  int64_t Size() override { return size_; }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    calls_->push_back({offset, n});
    if (failAt_ >= 0 && offset + n > failAt_) return -1;
    const int64_t count = std::max<int64_t>(0, std::min(n, size_ - offset));
    auto* out = static_cast<uint8_t*>(buffer);
    for (int64_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>((offset + i) % 251);
    return count;
  }
  int64_t failAt_ = -1;

 private:
  int64_t size_;
  std::vector<ReadCall>* calls_;
};

class WaveStreamTest : public ::testing::Test {
 protected:
  WaveStream& Make(int64_t begin, int64_t end, int64_t fileSize = 100000,
                   WaveStream::Widening widening = WaveStream::Widening::kNone) {
    auto source = std::make_unique<CountingSource>(fileSize, &calls_);
    source_ = source.get();
    stream_ = std::make_unique<WaveStream>(std::move(source), begin, end, widening);
    return *stream_;
  }
  std::vector<ReadCall> calls_;
  CountingSource* source_ = nullptr;
  std::unique_ptr<WaveStream> stream_;
};

TEST_F(WaveStreamTest, ReadsNothingUntilAskedThenFromTheStartOffset) {
  WaveStream& s = Make(1044, 5044);
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(s.bytesAvailable(), 4000);
  char buf[300];
  ASSERT_EQ(s.read(buf, sizeof buf), 300);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(static_cast<uint8_t>(buf[i]), (1044 + i) % 251) << i;
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].offset, 1044);
  EXPECT_EQ(calls_[0].n, 300);  // exactly the sink's request: no read-ahead
  EXPECT_EQ(s.bytesAvailable(), 3700);
}

TEST_F(WaveStreamTest, ReadsFollowEachOtherAndStopAtTheEnd) {
  WaveStream& s = Make(44, 44 + 10007);
  std::vector<char> buf(4096);
  int64_t total = 0;
  for (qint64 got; (got = s.read(buf.data(), static_cast<qint64>(buf.size()))) > 0;) total += got;
  EXPECT_EQ(total, 10007);
  EXPECT_TRUE(s.atEnd());
  EXPECT_EQ(s.read(buf.data(), 10), 0);
  ASSERT_EQ(calls_.size(), 3u);  // 4096, 4096, 1815; nothing asked at the end
  int64_t next = 44;
  for (const ReadCall& c : calls_) {
    EXPECT_EQ(c.offset, next);  // contiguous: the file position never jumps after the first read
    next = c.offset + c.n;
  }
  EXPECT_EQ(next, 44 + 10007);  // never past the end of the data
}

TEST_F(WaveStreamTest, EmptyOrInvertedRangeIsAtEndWithoutReading) {
  WaveStream& s = Make(500, 400);
  char c;
  EXPECT_TRUE(s.atEnd());
  EXPECT_EQ(s.bytesAvailable(), 0);
  EXPECT_EQ(s.read(&c, 1), 0);
  EXPECT_TRUE(calls_.empty());
}

TEST_F(WaveStreamTest, ReadErrorOrShortFileEndsTheStream) {
  WaveStream& s = Make(0, 1000);
  source_->failAt_ = 600;
  char buf[512];
  EXPECT_EQ(s.read(buf, 512), 512);
  EXPECT_EQ(s.read(buf, 512), 0);
  EXPECT_TRUE(s.ReadFailed());
  EXPECT_TRUE(s.atEnd());
  EXPECT_EQ(s.bytesAvailable(), 0);

  WaveStream& shortFile = Make(0, 1000, 700);  // the file shrank since it was probed
  std::vector<char> all(2000);
  EXPECT_EQ(shortFile.read(all.data(), 2000), 700);
  EXPECT_EQ(shortFile.read(all.data(), 2000), 0);
  EXPECT_TRUE(shortFile.ReadFailed());
}

// 24-bit samples reach the sink as 32-bit ones, the file's three bytes above a zero byte, in
// requests of any size (also of fewer bytes than a sample); the file is read in one run up to the
// last whole sample, and the sink's byte counts are 4/3 of the file's.
TEST_F(WaveStreamTest, WidensTwentyFourBitSamplesForRequestsOfAnySize) {
  WaveStream& s = Make(44, 44 + 3 * 1000 + 2, 100000, WaveStream::Widening::k24To32);
  EXPECT_EQ(s.bytesAvailable(), 4000);
  QByteArray served;
  for (int i = 0; !s.atEnd(); ++i) {
    const qint64 ask = std::vector<qint64>{4095, 1, 2, 3, 5, 7, 400}[i % 7];
    const QByteArray got = s.read(ask);
    ASSERT_EQ(got.size(), std::min<qint64>(ask, 4000 - served.size())) << "request " << i;
    served += got;
    ASSERT_EQ(s.bytesAvailable(), 4000 - served.size());
  }
  ASSERT_EQ(served.size(), 4000);
  for (int i = 0; i < 1000; ++i) {
    const char want[4] = {0, char((44 + 3 * i) % 251), char((45 + 3 * i) % 251), char((46 + 3 * i) % 251)};
    ASSERT_EQ(served.mid(4 * i, 4), QByteArray(want, 4)) << "sample " << i;
  }
  int64_t next = 44;
  for (const ReadCall& c : calls_) {
    EXPECT_EQ(c.offset, next);
    next = c.offset + c.n;
  }
  EXPECT_EQ(next, 44 + 3000);
}

TEST(WaveStreamFileTest, ServesTheFileSampleArea) {
  test::TempDir dir;
  test::WavRecipe recipe;
  recipe.frames = 3000;
  recipe.chunksAfterData = test::Chunk("LIST", std::vector<uint8_t>(100, 7));
  const std::vector<uint8_t> bytes = test::BuildWav(recipe);
  test::WriteFileBytes(dir.File("a.wav"), bytes);
  const int64_t dataOffset = 44, dataEnd = 44 + 3000 * 4;
  WaveStream s(FileSource::Open(dir.File("a.wav")), dataOffset + 400, dataEnd);
  const QByteArray all = s.readAll();
  ASSERT_EQ(all.size(), dataEnd - dataOffset - 400);
  const auto* raw = reinterpret_cast<const uint8_t*>(all.constData());
  EXPECT_TRUE(std::equal(raw, raw + all.size(), bytes.begin() + dataOffset + 400));
}

}  // namespace
}  // namespace sonaveld
