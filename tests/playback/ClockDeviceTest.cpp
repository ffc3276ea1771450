// The clock-only playback device: length from the header, position from a hand-moved clock.
#include <gtest/gtest.h>

#include "playback/ClockDevice.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

class ClockDeviceTest : public ::testing::Test {
 protected:
  ClockDeviceTest() : device_([this] { return now_; }) {}

  // A 16-bit stereo file of frames at rate, with a trailing chunk that is not audio.
  void UseFile(int64_t frames, int32_t rate) {
    test::WavRecipe recipe;
    recipe.frames = frames;
    recipe.rate = rate;
    recipe.chunksAfterData = test::Chunk("LIST", std::vector<uint8_t>(4000, 1));
    const std::string path = dir_.File("play.wav");
    test::WriteFileBytes(path, test::BuildWav(recipe));
    device_.SetFileName(path);
  }

  test::TempDir dir_;
  int64_t now_ = 1000;
  ClockDevice device_;
};

TEST_F(ClockDeviceTest, OpenGivesLengthOfSampleDataStoppedAtZero) {
  UseFile(44100 * 3 + 441, 44100);
  ASSERT_TRUE(device_.Open().ok());
  EXPECT_EQ(device_.Length(), 3010);
  EXPECT_EQ(device_.Position(), 0);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
}

TEST_F(ClockDeviceTest, OpenFailsWithMessageForMissingFile) {
  device_.SetFileName(dir_.File("none.wav"));
  const Status opened = device_.Open();
  ASSERT_TRUE(opened.failed());
  EXPECT_EQ(opened.message(), "ファイル " + dir_.File("none.wav") + " は開けません");
  EXPECT_NE(device_.Mode(), PlaybackMode::kPlaying);
}

TEST_F(ClockDeviceTest, PositionFollowsClockAndStopsAtEnd) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(200);
  device_.Play();
  now_ += 300;
  EXPECT_EQ(device_.Position(), 500);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  now_ += 10000;
  EXPECT_EQ(device_.Position(), 1000);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  device_.Play();  // at the end: starts again from 0
  now_ += 100;
  EXPECT_EQ(device_.Position(), 100);
}

TEST_F(ClockDeviceTest, PauseTogglesAndHoldsPosition) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Pause();  // stopped: nothing
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  device_.Play();
  now_ += 100;
  device_.Pause();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPaused);
  now_ += 500;
  EXPECT_EQ(device_.Position(), 100);
  device_.Pause();
  now_ += 50;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_EQ(device_.Position(), 150);
  device_.Stop();
  now_ += 50;
  EXPECT_EQ(device_.Position(), 150);
}

TEST_F(ClockDeviceTest, CloseEndsPlaybackAndNeverReportsPlaying) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Play();
  device_.Close();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kNotReady);
  EXPECT_EQ(device_.FileName(), dir_.File("play.wav"));  // the name stays: a document is open
  ASSERT_TRUE(device_.Open().ok());  // reopening starts stopped at 0
  EXPECT_EQ(device_.Position(), 0);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
}

TEST_F(ClockDeviceTest, SetPositionClampsToLength) {
  UseFile(4410, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(5000);
  EXPECT_EQ(device_.Position(), 100);
  device_.SetPosition(-5);
  EXPECT_EQ(device_.Position(), 0);
}

}  // namespace
}  // namespace sonaveld
