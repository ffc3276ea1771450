// The sounding device's modes and positions over a scripted output: the stream starts at the
// frame of the play position, the position follows the played time, playback ends only when the
// played time reaches the end of what was read, an output that cannot start or breaks off is
// told, and the next start of playback tries a real output again. No sound card is used.
#include <gtest/gtest.h>

#include <QIODevice>
#include <filesystem>

#include "document/Document.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "playback/ClockDevice.h"
#include "playback/PlaybackFactory.h"
#include "playback/QtAudioDevice.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

// What the scripted outputs share with the test.
struct Script {
  bool failStart = false;
  int made = 0;
  QAudioFormat format;        // of the last output made
  QIODevice* source = nullptr;  // of the running output
  int64_t playedUs = 0;
  bool brokeOff = false;
  bool suspended = false;
};

class ScriptedOutput final : public AudioOutput {
 public:
  explicit ScriptedOutput(Script& script) : s_(script) {}
  ~ScriptedOutput() override { s_.source = nullptr; }
  bool Start(QIODevice* source) override {
    if (s_.failStart) return false;
    s_.source = source;
    s_.playedUs = 0;
    s_.brokeOff = false;
    return true;
  }
  void Suspend() override { s_.suspended = true; }
  void Resume() override { s_.suspended = false; }
  int64_t PlayedMicroseconds() override { return s_.playedUs; }
  bool BrokeOff() override { return s_.brokeOff; }

 private:
  Script& s_;
};

class QtAudioDeviceTest : public ::testing::Test {
 protected:
  QtAudioDeviceTest()
      : device_(
            [this](const QAudioFormat& format) -> std::unique_ptr<AudioOutput> {
              ++script_.made;
              script_.format = format;
              return std::make_unique<ScriptedOutput>(script_);
            },
            [this] { return now_; }) {
    device_.SetNoticeHandler([this](const std::string& text) { notices_.push_back(text); });
  }

  // A file of frames at rate of the given layout, with a chunk after the data.
  void UseFile(int64_t frames, int32_t rate, int channels = 2, int bits = 16) {
    test::WavRecipe recipe;
    recipe.frames = frames;
    recipe.rate = rate;
    recipe.channels = channels;
    recipe.bits = bits;
    recipe.chunksAfterData = test::Chunk("LIST", std::vector<uint8_t>(500, 9));
    bytes_ = test::BuildWav(recipe);
    path_ = dir_.File("play.wav");
    test::WriteFileBytes(path_, bytes_);
    auto file = FileSource::Open(path_);
    header_ = ProbeWave(*file).header;
    device_.SetFileName(path_);
  }

  // Pulls n bytes as the sink would and checks that they are the file's bytes from offset.
  void ExpectPulled(int64_t offset, int n) {
    ASSERT_NE(script_.source, nullptr);
    const QByteArray got = script_.source->read(n);
    ASSERT_EQ(got.size(), n);
    const auto* raw = reinterpret_cast<const uint8_t*>(got.constData());
    EXPECT_TRUE(std::equal(raw, raw + n, bytes_.begin() + offset)) << "from byte " << offset;
  }

  void PullAll() {
    ASSERT_NE(script_.source, nullptr);
    script_.source->readAll();
  }

  test::TempDir dir_;
  std::string path_;
  std::vector<uint8_t> bytes_;
  WaveHeader header_;
  Script script_;
  int64_t now_ = 5000;
  std::vector<std::string> notices_;
  QtAudioDevice device_;
};

TEST_F(QtAudioDeviceTest, OpenGivesLengthStoppedAtZeroAndMissingFileFails) {
  UseFile(44100 * 3 + 441, 44100);
  ASSERT_TRUE(device_.Open().ok());
  EXPECT_EQ(device_.Length(), 3010);
  EXPECT_EQ(device_.Position(), 0);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(script_.made, 0);  // no output until playback starts

  device_.SetFileName(dir_.File("none.wav"));
  const Status opened = device_.Open();
  ASSERT_TRUE(opened.failed());
  EXPECT_EQ(opened.message(), "ファイル " + dir_.File("none.wav") + " は開けません");
  EXPECT_EQ(device_.Mode(), PlaybackMode::kNotReady);
}

struct StartCase {
  int channels;
  int bits;
  int32_t rate;
  int32_t ms;
  int64_t frame;  // the frame the stream must start at
};

class QtAudioDeviceStartTest : public QtAudioDeviceTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(QtAudioDeviceStartTest, StreamStartsAtTheFrameOfThePosition) {
  const StartCase& c = GetParam();
  UseFile(c.rate * 2, c.rate, c.channels, c.bits);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(c.ms);
  device_.Play();
  ASSERT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_EQ(script_.format.channelCount(), c.channels);
  EXPECT_EQ(script_.format.sampleRate(), c.rate);
  const int frameBytes = c.channels * c.bits / 8;
  // Nothing read before the sink asks; then the sample area from the frame onwards.
  EXPECT_EQ(script_.source->bytesAvailable(), header_.DataEnd - header_.DataOffset - c.frame * frameBytes);
  ExpectPulled(header_.DataOffset + c.frame * frameBytes, 64);
}

INSTANTIATE_TEST_SUITE_P(Kinds, QtAudioDeviceStartTest,
                         ::testing::Values(StartCase{2, 16, 44100, 1234, 54419},  // 54419.4
                                           StartCase{1, 16, 22050, 1, 22},
                                           StartCase{2, 8, 11025, 333, 3671},
                                           StartCase{1, 8, 8000, 0, 0}));

// A 24-bit file plays as 32-bit samples: the sink counts 8 bytes a frame where the file holds 6,
// yet the stream starts at the position's frame and playback ends when its time is heard, also
// on the clock when no output starts.
TEST_F(QtAudioDeviceTest, TwentyFourBitStreamsWidenedAndEndsOnTime) {
  UseFile(44100, 44100, 2, 24);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(500);
  device_.Play();
  EXPECT_EQ(script_.format.sampleFormat(), QAudioFormat::Int32);
  EXPECT_EQ(script_.source->bytesAvailable(), 22050 * 8);
  EXPECT_EQ(script_.source->read(4).mid(1), QByteArray(reinterpret_cast<const char*>(&bytes_[header_.DataOffset + 22050 * 6]), 3));
  PullAll();
  script_.playedUs = 499'999;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  script_.playedUs = 500'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 1000);

  script_.failStart = true;
  device_.SetPosition(500);
  device_.Play();
  ASSERT_TRUE(device_.Soundless());
  now_ += 499;
  EXPECT_EQ(device_.Position(), 999);
  now_ += 1;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 1000);
}

TEST_F(QtAudioDeviceTest, PositionFollowsPlayedTimeNotTheClock) {
  UseFile(44100 * 2, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(200);
  device_.Play();
  now_ += 900;  // the wall clock runs on; only the output's played time counts
  EXPECT_EQ(device_.Position(), 200);
  script_.playedUs = 300'500;
  EXPECT_EQ(device_.Position(), 500);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  // The refresh tick's calls read nothing from the file.
  const qint64 left = script_.source->bytesAvailable();
  for (int i = 0; i < 10; ++i) {
    device_.Mode();
    device_.Position();
  }
  EXPECT_EQ(script_.source->bytesAvailable(), left);
}

TEST_F(QtAudioDeviceTest, EndOfDataStopsOnlyWhenHeardAndPlayThenStartsFromZero) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.SetPosition(700);
  device_.Play();
  PullAll();  // the sink has every byte and goes idle; the server still plays its buffer
  // 700 ms is frame 30 869 (700 × 44.1 truncated); its 13 231 frames take 300 022 µs.
  script_.playedUs = 300'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_EQ(device_.Position(), 1000);
  EXPECT_NE(script_.source, nullptr);  // the output is kept until its last frame is heard
  script_.playedUs = 300'022;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 1000);
  EXPECT_EQ(script_.source, nullptr);  // output and file let go
  device_.Play();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_EQ(device_.Position(), 0);
  ExpectPulled(header_.DataOffset, 16);
}

TEST_F(QtAudioDeviceTest, OutputStoppingShortOfTheEndEndsAfterItStalls) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Play();
  PullAll();
  script_.playedUs = 999'990;  // a sink that never counts its last 10 µs
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  now_ += 2999;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  now_ += 1;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 1000);
}

TEST_F(QtAudioDeviceTest, ReadErrorStopsWhenWhatWasReadIsHeard) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Play();
  // The file loses everything after its first 250 ms of samples while it plays.
  std::filesystem::resize_file(path_, header_.DataOffset + 11025 * 4);
  PullAll();
  ASSERT_TRUE(script_.source->atEnd());
  script_.playedUs = 249'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  script_.playedUs = 250'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 250);
  EXPECT_TRUE(notices_.empty());
}

TEST_F(QtAudioDeviceTest, PauseHoldsStopKeepsPositionAndPlayContinues) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Pause();  // stopped: nothing
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  device_.Play();
  script_.playedUs = 100'000;
  device_.Pause();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPaused);
  EXPECT_TRUE(script_.suspended);
  EXPECT_EQ(device_.Position(), 100);
  device_.Pause();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_FALSE(script_.suspended);
  script_.playedUs = 150'000;
  device_.Stop();
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 150);
  device_.Play();  // a new output from 150 ms
  EXPECT_EQ(script_.made, 2);
  ExpectPulled(header_.DataOffset + MillisecondsToFrame(150, 44100) * 4, 8);
  script_.playedUs = 20'000;
  EXPECT_EQ(device_.Position(), 170);
}

TEST_F(QtAudioDeviceTest, SetPositionWhilePlayingRestartsThereAndCloseEndsAll) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Play();
  script_.playedUs = 400'000;
  device_.SetPosition(100);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  EXPECT_EQ(script_.made, 2);
  EXPECT_EQ(device_.Position(), 100);
  ExpectPulled(header_.DataOffset + MillisecondsToFrame(100, 44100) * 4, 8);
  device_.Close();
  EXPECT_EQ(script_.source, nullptr);
  EXPECT_EQ(device_.Mode(), PlaybackMode::kNotReady);
  EXPECT_EQ(device_.Length(), 0);
  EXPECT_EQ(device_.FileName(), path_);
  ASSERT_TRUE(device_.Open().ok());
  EXPECT_EQ(device_.Position(), 0);
}

TEST_F(QtAudioDeviceTest, OutputBreakingOffStopsWithTheNoticeAndTheNextPlaySoundsAgain) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  device_.Play();
  script_.playedUs = 420'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  script_.brokeOff = true;  // the sound server went away
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 420);
  EXPECT_EQ(script_.source, nullptr);
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_EQ(notices_[0], "音声出力が停止しました。次の再生で音声出力を再び試みます。");
  device_.Mode();
  EXPECT_EQ(notices_.size(), 1u);  // said once
  // The server is back: the next Play sounds from where the sound stopped, and says so.
  device_.Play();
  EXPECT_EQ(script_.made, 2);
  EXPECT_FALSE(device_.Soundless());
  ExpectPulled(header_.DataOffset + MillisecondsToFrame(420, 44100) * 4, 8);
  script_.playedUs = 100'000;
  EXPECT_EQ(device_.Position(), 520);
  EXPECT_EQ(notices_, (std::vector<std::string>{FormatMessage(MessageId::kAudioOutputLost), ""}));
  device_.Stop();
  device_.Play();
  EXPECT_EQ(notices_.size(), 2u);  // sound all along: nothing more to say
}

TEST_F(QtAudioDeviceTest, OutputThatCannotStartPlaysOnTheClockAndTheNextPlayTriesAgain) {
  UseFile(44100, 44100);
  ASSERT_TRUE(device_.Open().ok());
  script_.failStart = true;
  device_.SetPosition(100);
  device_.Play();
  EXPECT_TRUE(device_.Soundless());
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_EQ(notices_[0], "音声出力がありません。再生は時間のみ進みます。");
  EXPECT_EQ(device_.Mode(), PlaybackMode::kPlaying);
  now_ += 250;
  EXPECT_EQ(device_.Position(), 350);
  device_.Pause();
  now_ += 1000;
  EXPECT_EQ(device_.Position(), 350);
  device_.Pause();
  now_ += 10'000;
  EXPECT_EQ(device_.Mode(), PlaybackMode::kStopped);
  EXPECT_EQ(device_.Position(), 1000);
  device_.Play();  // still no output: on the clock again, said again
  EXPECT_EQ(script_.made, 2);
  EXPECT_EQ(notices_.size(), 2u);
  now_ += 40;
  EXPECT_EQ(device_.Position(), 40);
  script_.failStart = false;
  device_.Stop();
  device_.Play();  // the output is back: sound, from where the clock stopped
  EXPECT_EQ(script_.made, 3);
  EXPECT_FALSE(device_.Soundless());
  const std::string noOutput = FormatMessage(MessageId::kNoAudioOutput);
  EXPECT_EQ(notices_, (std::vector<std::string>{noOutput, noOutput, ""}));
  now_ += 500;
  EXPECT_EQ(device_.Position(), 40);  // follows the output, not the clock
  ExpectPulled(header_.DataOffset + MillisecondsToFrame(40, 44100) * 4, 8);
}

TEST(PlaybackFactoryTest, NoOutputDeviceChoosesTheClockDeviceWithTheNotice) {
  PlaybackChoice choice = ChoosePlaybackDevice(QAudioDevice());
  ASSERT_NE(choice.device, nullptr);
  EXPECT_NE(dynamic_cast<ClockDevice*>(choice.device.get()), nullptr);
  EXPECT_EQ(choice.notice, "音声出力がありません。再生は時間のみ進みます。");
}

}  // namespace
}  // namespace sonaveld
