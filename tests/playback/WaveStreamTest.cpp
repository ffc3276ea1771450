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
  WaveStream& Make(int64_t begin, int64_t end, int64_t fileSize = 100000) {
    auto source = std::make_unique<CountingSource>(fileSize, &calls_);
    source_ = source.get();
    stream_ = std::make_unique<WaveStream>(std::move(source), begin, end);
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
