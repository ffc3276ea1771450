#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "document/Document.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

using test::BuildWav;
using test::Chunk;
using test::WavRecipe;

struct ProbeCase {
  const char* name;
  std::function<std::vector<uint8_t>()> make;
  const char* message;  // empty: accepted
  int64_t dataOffset;   // expected when accepted
  int64_t dataEnd;      // expected when accepted; -1: the file's size
  FormatKind kind;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

std::vector<uint8_t> WithList(int bodyBytes) {
  WavRecipe recipe;
  recipe.frames = 100;
  recipe.chunksBeforeData = Chunk("LIST", std::vector<uint8_t>(static_cast<size_t>(bodyBytes), 'x'));
  return BuildWav(recipe);
}

const ProbeCase kCases[] = {
    {"Canonical", [] { WavRecipe s; s.frames = 100; return BuildWav(s); }, "", 44, 444, FormatKind::kStereo16},
    {"Mono16", [] { WavRecipe s; s.channels = 1; s.frames = 100; return BuildWav(s); }, "", 44, 244, FormatKind::kMono16},
    {"Stereo8", [] { WavRecipe s; s.bits = 8; s.frames = 100; return BuildWav(s); }, "", 44, 244, FormatKind::kStereo8},
    {"Mono8", [] { WavRecipe s; s.bits = 8; s.channels = 1; s.frames = 101; return BuildWav(s); }, "", 44, 145,
     FormatKind::kMono8},
    // A LIST chunk before the data: the chunk walk finds the data chunk wherever it lies.
    {"ListBeforeData", [] { return WithList(20); }, "", 72, 472, FormatKind::kStereo16},
    {"DataBeyondByte100", [] { return WithList(200); }, "", 252, 652, FormatKind::kStereo16},
    {"OddListPadded", [] { return WithList(21); }, "", 74, 474, FormatKind::kStereo16},
    // Only the walk can find this one: it must step over the pad byte, and the tag at 246 lies
    // beyond the tag search.
    {"OddListBeyondTheTagSearch", [] { return WithList(201); }, "", 254, 654, FormatKind::kStereo16},
    // A chunk after the sample data is not sample data.
    {"TrailingChunk",
     [] {
       WavRecipe s;
       s.frames = 100;
       s.chunksAfterData = Chunk("LIST", std::vector<uint8_t>(30, 'i'));
       return BuildWav(s);
     },
     "", 44, 444, FormatKind::kStereo16},
    // Size 0 (streamed files) or a size beyond the file: the samples run to the end of the file.
    {"DataSizeZero", [] { WavRecipe s; s.frames = 100; s.dataSizeField = 0; return BuildWav(s); }, "", 44, -1,
     FormatKind::kStereo16},
    {"DataSizeTooLarge", [] { WavRecipe s; s.frames = 100; s.dataSizeField = 0xFFFFFFFF; return BuildWav(s); }, "", 44,
     -1, FormatKind::kStereo16},
    // Channel field above 255: only its low byte counts.
    {"ChannelLowByte",
     [] {
       WavRecipe s;
       s.frames = 10;
       auto b = BuildWav(s);
       b[23] = 1;  // 0x0102 -> low byte 2
       return b;
     },
     "", 44, 84, FormatKind::kStereo16},
    // 24/32-bit files by their format tag, plain or extensible (then the sub-format's tag), with
    // or without a fact chunk before the data.
    {"Stereo24", [] { WavRecipe s; s.bits = 24; s.frames = 10; return BuildWav(s); }, "", 44, 104,
     FormatKind::kStereo24},
    {"Mono32", [] { WavRecipe s; s.bits = 32; s.channels = 1; s.frames = 10; return BuildWav(s); }, "", 44, 84,
     FormatKind::kMono32},
    {"FloatFact", [] { WavRecipe s; s.bits = 32; s.formatTag = 3; s.fact = true; s.frames = 10; return BuildWav(s); },
     "", 56, 136, FormatKind::kStereoFloat},
    {"ExtensibleMono24",
     [] { WavRecipe s; s.bits = 24; s.channels = 1; s.extensible = true; s.frames = 10; return BuildWav(s); }, "", 68,
     98, FormatKind::kMono24},
    {"ExtensibleFloatFact",
     [] {
       WavRecipe s;
       s.bits = 32;
       s.channels = 1;
       s.formatTag = 3;
       s.extensible = true;
       s.fact = true;
       s.frames = 10;
       return BuildWav(s);
     },
     "", 80, 120, FormatKind::kMonoFloat},
    // Not a layout the system handles: float of 24 bits, a short extensible format chunk, 64-bit float,
    // a compressed tag with 24 bits, 12 bits.
    {"Float24", [] { WavRecipe s; s.bits = 24; s.formatTag = 3; s.frames = 10; return BuildWav(s); },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"ExtensibleTooShort",
     [] {
       WavRecipe s;
       s.bits = 24;
       s.extensible = true;
       s.frames = 10;
       auto b = BuildWav(s);
       b[16] = 39;  // the format chunk's size field below 40
       return b;
     },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"Float64", [] { WavRecipe s; s.bits = 32; s.formatTag = 3; s.frames = 10; auto b = BuildWav(s); b[34] = 64; return b; },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"CompressedTag24", [] { WavRecipe s; s.bits = 24; s.formatTag = 2; s.frames = 10; return BuildWav(s); },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"Bits12", [] { WavRecipe s; s.frames = 10; auto b = BuildWav(s); b[34] = 12; return b; },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"NineChannels", [] { WavRecipe s; s.channels = 9; s.frames = 10; return BuildWav(s); },
     "1～8チャンネルの WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"RateZero", [] { WavRecipe s; s.rate = 0; s.frames = 10; return BuildWav(s); },
     "周波数[Hz]が正しくありません。確認して下さい。", 0, 0, FormatKind::kNone},
    {"RateNegative",
     [] {
       WavRecipe s;
       s.frames = 10;
       auto b = BuildWav(s);
       b[27] = 0x80;
       return b;
     },
     "周波数[Hz]が正しくありません。確認して下さい。", 0, 0, FormatKind::kNone},
    {"NoDataChunk",
     [] {
       WavRecipe s;
       s.frames = 10;
       auto b = BuildWav(s);
       b.resize(36);  // "RIFF", "WAVE" and the format chunk only
       return b;
     },
     "dataチャンクが見つかりません。WAVファイルではない可能性があります。", 0, 0, FormatKind::kNone},
    {"Tiny", [] { return std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0}; },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    {"Empty", [] { return std::vector<uint8_t>{}; },
     "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。", 0, 0, FormatKind::kNone},
    // Cut inside the data chunk's size field: the walk cannot read the chunk, and the tag search needs
    // a complete size field too.
    {"TruncatedInDataHeader",
     [] {
       WavRecipe s;
       s.frames = 10;
       auto b = BuildWav(s);
       b.resize(42);
       return b;
     },
     "dataチャンクが見つかりません。WAVファイルではない可能性があります。", 0, 0, FormatKind::kNone},
    // Truncated samples: the data runs to the end of what is there.
    {"TruncatedSamples",
     [] {
       WavRecipe s;
       s.frames = 100;
       auto b = BuildWav(s);
       b.resize(200);
       return b;
     },
     "", 44, 200, FormatKind::kStereo16},
    // A broken chunk size before the data defeats the walk; the tag search near the start finds it.
    {"BrokenChunkSizeFallsBackToTagSearch",
     [] {
       WavRecipe s;
       s.frames = 10;
       s.chunksBeforeData = Chunk("junk", std::vector<uint8_t>(4, 0));
       auto b = BuildWav(s);
       test::PutU32(b, 40, 0x7FFFFFF0);
       return b;
     },
     "", 56, 96, FormatKind::kStereo16},
    // The same with the tag at offset 100, the last the search looks at.
    {"TagSearchReachesOffset100",
     [] {
       WavRecipe s;
       s.frames = 10;
       s.chunksBeforeData = Chunk("junk", std::vector<uint8_t>(56, 0));
       auto b = BuildWav(s);
       test::PutU32(b, 40, 0x7FFFFFF0);
       return b;
     },
     "", 108, 148, FormatKind::kStereo16},
};

class ProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeTest, ClassifiesAndFindsTheSamples) {
  const ProbeCase& c = GetParam();
  MemorySource source(c.make());
  const int64_t size = source.Size();
  const ProbeResult r = ProbeWave(source);
  if (std::string(c.message).empty()) {
    ASSERT_TRUE(r.status.ok()) << r.status.message();
    EXPECT_EQ(r.header.DataOffset, c.dataOffset);
    EXPECT_EQ(r.header.DataEnd, c.dataEnd < 0 ? size : c.dataEnd);
    EXPECT_EQ(r.header.Kind, c.kind);
    EXPECT_EQ(r.header.FileSize, size);
  } else {
    EXPECT_TRUE(r.status.failed());
    EXPECT_EQ(r.status.message(), c.message);
    EXPECT_EQ(r.header.Kind, FormatKind::kNone);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ProbeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProbeFields, ReadsRateChannelsBitsAndFrames) {
  WavRecipe s;
  s.channels = 1;
  s.bits = 8;
  s.rate = 22050;
  s.frames = 777;
  MemorySource source(BuildWav(s));
  const ProbeResult r = ProbeWave(source);
  ASSERT_TRUE(r.status.ok());
  EXPECT_EQ(r.header.Channels, 1);
  EXPECT_EQ(r.header.BitsPerSample, 8);
  EXPECT_EQ(r.header.SampleRate, 22050);
  EXPECT_EQ(r.header.Frames(), 777);
}

TEST(ProbeFields, TagSearchTakesTheLastTagWithinTheFirstHundredBytes) {
  // No RIFF structure the walk can follow; two "data" tags near the start.
  std::vector<uint8_t> b(300, 0);
  b[16] = 0xFF;  // a chunk size that leaves the file at once
  b[17] = 0xFF;
  b[18] = 0xFF;
  b[19] = 0x7F;
  b[22] = 2;
  b[34] = 16;
  b[24] = 0x44;
  b[25] = 0xAC;
  for (int at : {40, 90}) std::copy_n("data", 4, b.begin() + at);
  MemorySource source(b);
  const ProbeResult r = ProbeWave(source);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(r.header.DataOffset, 98);
  EXPECT_EQ(r.header.DataEnd, 300);  // size field 0
}

TEST(TimeConversions, TruncateTowardZero) {
  EXPECT_EQ(MillisecondsToFrame(1000, 44100), 44100);
  EXPECT_EQ(MillisecondsToFrame(1, 44100), 44);
  EXPECT_EQ(FrameToMilliseconds(44099, 44100), 999);
  EXPECT_EQ(FrameToMilliseconds(500001, 44100), 11337);
  EXPECT_EQ(MillisecondsToFrame(3723000, 22050), 82092150);
}

TEST(TimeConversions, FramesPerMillisecondComeFirst) {
  // 44.1 frames per millisecond is held just below 44.1, so 90 ms reach frame 3968; 90 x 44100
  // divided by 1000 afterwards would give exactly 3969.
  EXPECT_EQ(MillisecondsToFrame(90, 44100), 3968);
}

// Where long double is the x87 type, the conversions (in the software type when the build forces
// it) give exactly its results, at every common rate, every time of the first 20 s and times and
// frames spread up to the longest file.
TEST(TimeConversions, AgreeWithTheX87Arithmetic) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "long double is not the x87 type here";
  std::vector<int64_t> values;
  for (int64_t v = 0; v <= 20000; ++v) values.push_back(v);
  for (int64_t v = 20011; v < (int64_t{1} << 33); v = v * 13 / 10 + 7) values.push_back(v);
  for (int32_t rate : {8000, 11025, 22050, 32000, 44100, 48000, 88200, 96000, 192000}) {
    const long double perMs = static_cast<long double>(rate) / 1000.0L;
    for (int64_t v : values) {
      ASSERT_EQ(MillisecondsToFrame(v, rate), static_cast<int64_t>(static_cast<long double>(v) * perMs)) << v << " ms at " << rate;
      const long double seconds = static_cast<long double>(v) / static_cast<long double>(rate);
      ASSERT_EQ(FrameToMilliseconds(v, rate), static_cast<int64_t>(seconds * 1000.0L)) << "frame " << v << " at " << rate;
    }
  }
}

}  // namespace
}  // namespace sonaveld

namespace sonaveld {
namespace {

// Bytes in memory whose reads fail from a given offset on, like a disk with a bad sector; size,
// when given, is the size it claims (a folder read as a file claims one and fails every read).
class FailingSource : public ByteSource {
 public:
  FailingSource(std::vector<uint8_t> bytes, int64_t failFrom, int64_t size = -1)
      : inner_(std::move(bytes)), failFrom_(failFrom), size_(size) {}
  int64_t Size() override { return size_ >= 0 ? size_ : inner_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    if (failures > 0) ++readsAfterFailure;
    if (offset + n <= failFrom_) return inner_.ReadAt(offset, buffer, n);
    ++failures;
    return -1;
  }
  int failures = 0;
  int readsAfterFailure = 0;

 private:
  MemorySource inner_;
  int64_t failFrom_;
  int64_t size_;
};

TEST(ProbeReadError, AFailedReadOfTheChunkSearchRefusesTheFile) {
  test::WavRecipe s;
  s.frames = 100;
  s.chunksBeforeData = test::Chunk("LIST", std::vector<uint8_t>(20, 'x'));
  // The format fields read fine; the walk fails at the LIST chunk's size field.
  FailingSource source(test::BuildWav(s), 40);
  const ProbeResult r = ProbeWave(source, "/w/take.wav");
  EXPECT_EQ(r.status.message(), "ファイル /w/take.wav を読み込めません。");
  EXPECT_EQ(r.header.Kind, FormatKind::kNone);
}

// The walk stops at its first failed read: stepping on through a source that claims a large size
// would keep it reading for as long as that size lasts.
TEST(ProbeReadError, TheWalkEndsAtItsFirstFailedRead) {
  test::WavRecipe s;
  s.frames = 100;
  s.chunksBeforeData = test::Chunk("LIST", std::vector<uint8_t>(20, 'x'));  // bytes 36 to 63
  // The header fields and the LIST chunk's head read fine; the read of the next chunk's id fails.
  FailingSource source(test::BuildWav(s), 48, int64_t{1} << 20);
  EXPECT_EQ(ProbeWave(source, "/w/x.wav").status.message(), "ファイル /w/x.wav を読み込めません。");
  EXPECT_EQ(source.failures, 1);
  EXPECT_EQ(source.readsAfterFailure, 0);
}

}  // namespace
}  // namespace sonaveld
