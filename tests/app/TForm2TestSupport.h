#pragma once
// A normalizer window on scripted prompts with a folder for WAV files, for the Form2 tests.
#include <QListWidget>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "AppTestSupport.h"
#include "app/TForm2.h"
#include "io/OutputFile.h"

namespace sonaveld::test {

struct Form2Fixture {
  TempDir dir;
  ScriptedPrompts prompts;
  TForm2 form{prompts};

  const Form2Controls& c() const { return form.Controls(); }

  // Writes a WAV of the given depth and channel count (frames of a counting pattern) into the
  // folder; returns its path.
  QString Wav(const std::string& name, int bits, int channels = 2, int64_t frames = 1000) {
    WavRecipe recipe;
    recipe.bits = bits;
    recipe.channels = channels;
    recipe.frames = frames;
    return WavOf(name, recipe);
  }
  QString WavOf(const std::string& name, const WavRecipe& recipe) {
    const std::string path = dir.File(name);
    WriteFileBytes(path, BuildWav(recipe));
    return QString::fromStdString(path);
  }
  // "追加" with the dialog answering paths.
  void Add(const QStringList& paths) {
    prompts.openManyAnswers.push_back(paths);
    form.SpeedButton1Click();
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir.File(name)); }
  std::vector<uint8_t> Bytes(const std::string& name) const { return ReadFileBytes(dir.File(name)); }
  int Bar1() const { return c().ProgressBar1->value(); }
  int Bar2() const { return c().ProgressBar2->value(); }
};

// A file sink that takes its time over every write (about 32 ms a megabyte, however the bytes are
// grouped into writes; slowdown times that), so that a pass over a few megabytes lasts long enough
// for the window to act between blocks; writing (when given) is set at the first write.
class SlowSink final : public ByteSink {
 public:
  SlowSink(std::unique_ptr<ByteSink> inner, std::atomic<bool>* writing, int slowdown)
      : inner_(std::move(inner)), writing_(writing), slowdown_(slowdown) {}
  bool Write(const void* data, int64_t n) override {
    if (writing_ != nullptr) *writing_ = true;
    std::this_thread::sleep_for(std::chrono::microseconds(n * slowdown_ / 32));
    return inner_->Write(data, n);
  }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override { return inner_->WriteAt(offset, data, n); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<ByteSink> inner_;
  std::atomic<bool>* writing_;
  int slowdown_;
};

// The window's outputs (of every mode) through SlowSinks.
inline void UseSlowSinks(TForm2& form, std::atomic<bool>* writing = nullptr, int slowdown = 1) {
  form.Pass().SetSinkOpener([writing, slowdown](const std::string& tempPath) -> std::unique_ptr<ByteSink> {
    auto inner = OpenFileSink(tempPath);
    if (!inner) return nullptr;
    return std::make_unique<SlowSink>(std::move(inner), writing, slowdown);
  });
}

}  // namespace sonaveld::test
