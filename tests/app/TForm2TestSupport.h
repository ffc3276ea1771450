#pragma once
// A normalizer window on scripted prompts with a folder for WAV files, for the Form2 tests.
#include <QListWidget>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/TForm2.h"

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

}  // namespace sonaveld::test
