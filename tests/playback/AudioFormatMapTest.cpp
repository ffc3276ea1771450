// The sink format for each sample layout: what the stream serves is what the sink is told to play.
#include <gtest/gtest.h>

#include "document/FormatKind.h"
#include "playback/AudioFormatMap.h"
#include "playback/PcmTiming.h"

namespace sonaveld {
namespace {

struct FormatCase {
  FormatKind kind;
  int32_t rate;
  QAudioFormat::SampleFormat sampleFormat;
  int channels;
  int bytesPerFrame;  // what the stream serves a frame as
};

class AudioFormatForTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AudioFormatForTest, MapsKindAndRate) {
  const FormatCase& c = GetParam();
  WaveHeader h;
  h.Kind = c.kind;
  h.SampleRate = c.rate;
  const QAudioFormat format = AudioFormatFor(h);
  ASSERT_TRUE(format.isValid());
  EXPECT_EQ(format.sampleFormat(), c.sampleFormat);
  EXPECT_EQ(format.channelCount(), c.channels);
  EXPECT_EQ(format.sampleRate(), c.rate);
  EXPECT_EQ(format.bytesPerFrame(), c.bytesPerFrame);
  EXPECT_EQ(PcmLayout::FromHeader(h).sinkFrameBytes, c.bytesPerFrame);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AudioFormatForTest,
                         ::testing::Values(FormatCase{FormatKind::kStereo16, 44100, QAudioFormat::Int16, 2, 4},
                                           FormatCase{FormatKind::kMono16, 22050, QAudioFormat::Int16, 1, 2},
                                           FormatCase{FormatKind::kStereo8, 11025, QAudioFormat::UInt8, 2, 2},
                                           FormatCase{FormatKind::kMono8, 8000, QAudioFormat::UInt8, 1, 1},
                                           // 24-bit samples reach the sink widened to 32 bits.
                                           FormatCase{FormatKind::kStereo24, 48000, QAudioFormat::Int32, 2, 8},
                                           FormatCase{FormatKind::kMono24, 96000, QAudioFormat::Int32, 1, 4},
                                           FormatCase{FormatKind::kStereo32, 44100, QAudioFormat::Int32, 2, 8},
                                           FormatCase{FormatKind::kMono32, 8000, QAudioFormat::Int32, 1, 4},
                                           FormatCase{FormatKind::kStereoFloat, 48000, QAudioFormat::Float, 2, 8},
                                           FormatCase{FormatKind::kMonoFloat, 44100, QAudioFormat::Float, 1, 4}));

TEST(AudioFormatForTest, NoKindOrNoRateGivesInvalidFormat) {
  WaveHeader none;
  none.SampleRate = 44100;
  EXPECT_FALSE(AudioFormatFor(none).isValid());
  WaveHeader noRate;
  noRate.Kind = FormatKind::kMono16;
  noRate.SampleRate = 0;
  EXPECT_FALSE(AudioFormatFor(noRate).isValid());
}

}  // namespace
}  // namespace sonaveld
