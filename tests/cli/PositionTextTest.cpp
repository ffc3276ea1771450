// Positions of the command line: frame numbers and times, and the frame a time marks.
#include "cli/PositionText.h"

#include <gtest/gtest.h>

#include <limits>

namespace sonaveld::cli {
namespace {

TEST(PositionText, FramesTimesAndMalformedTexts) {
  struct Row {
    const char* text;
    bool isTime;
    int64_t value;  // frame, or milliseconds
  };
  for (const Row& row : {Row{"22051", false, 22051}, Row{" +7\t", false, 7}, Row{"-5", false, -5},
                         Row{"1:30", true, 90000}, Row{"1:30.25", true, 90250}, Row{"0:01:30.250", true, 90250},
                         Row{"90.25s", true, 90250}, Row{"0.001s", true, 1}, Row{"0:59.999", true, 59999},
                         Row{"125:00", true, 7500000}, Row{"1:59:59.9", true, 7199900}}) {
    const auto p = ParsePosition(row.text);
    ASSERT_TRUE(p) << row.text;
    EXPECT_EQ(std::pair(p->isTime, p->value), std::pair(row.isTime, row.value)) << row.text;
  }
  for (const char* text : {"", "12x", "1.5", "1:5", "1:60", "1:30.", "1:30.2500", "1:60:00", "1::30", ":30",
                           "1:30s", ".5s", "1.5S", "-1:30", "+-5", "1:00:00:00", "99999999999999999999", "5 6"}) {
    EXPECT_FALSE(ParsePosition(text)) << "'" << text << "'";
  }
  std::string bad;
  EXPECT_EQ(ParsePositionList("100, 0:01 ,2.5s", &bad).value_or(std::vector<PositionText>{}).size(), 3u);
  EXPECT_FALSE(ParsePositionList("100,1:5,,x", &bad));
  EXPECT_EQ(bad, "1:5");
}

TEST(PositionText, TimesBecomeFramesExactlyUpToTheEnd) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  struct Row {
    int64_t ms;
    int32_t rate;
    int64_t frame;
  };
  // 90250 x 44.1 in floating point falls just short of 3980025.
  for (const Row& r : {Row{90250, 44100, 3980026}, Row{0, 44100, 1}, Row{1, 44100, 45}, Row{2, 999, 2},
                       Row{3600000, 96000, 345600001}, Row{kMax, 48000, kMax}}) {
    EXPECT_EQ(FrameAtTime(r.ms, r.rate), r.frame) << r.ms << " ms at " << r.rate;
  }
  WaveHeader header;  // one second of 16-bit stereo at 44100
  header.SampleRate = 44100;
  header.Kind = FormatKind::kStereo16;
  header.DataOffset = 44;
  header.DataEnd = 44 + 44100 * 4;
  const auto at = [&](const char* text) { return FrameOf(*ParsePosition(text), header); };
  EXPECT_EQ(at("1s").frame, 44101);     // the length itself: the end of the last frame
  EXPECT_TRUE(at("0:01.001").status.failed());
  header.SampleRate = 8000;
  header.DataEnd = 44 + int64_t{8000} * 3725 * 4;  // 1:02:05
  EXPECT_EQ(at("2:00:00").status.message(), "'2:00:00' はファイルの長さ 1:02:05.000 を超えています。");
}

}  // namespace
}  // namespace sonaveld::cli
