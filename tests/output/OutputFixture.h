#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "document/Document.h"
#include "output/OutputCommands.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {

// Records what an output command asks and reports; answers the free-space question as told and
// can request an abort at a given Idle call.
class ScriptedHost : public OutputHost {
 public:
  explicit ScriptedHost(CreationFlags& flags) : flags_(flags) {}
  bool ConfirmLowSpace(const std::string& question) override {
    questions.push_back(question);
    return answerYes;
  }
  void Idle() override {
    ++idles;
    EXPECT_EQ(flags_.Busy, 1) << "Busy must be 1 whenever events are processed";
    if (idles == abortAtIdle) flags_.AbortRequested = 1;
  }
  void PanelChanged(Panel panel) override { panels.push_back(panel); }
  void FileWritten(const std::string& path) override { written.push_back(path); }

  bool answerYes = true;
  int abortAtIdle = 0;  // 0: never
  int idles = 0;
  std::vector<std::string> questions;
  std::vector<Panel> panels;
  std::vector<std::string> written;

 private:
  CreationFlags& flags_;
};

// A source WAV file in a fresh folder, with the document fields the window would hold for it.
class OutputTest : public ::testing::Test {
 protected:
  // Writes the source file and probes it.
  void MakeSource(const WavRecipe& recipe, const std::string& name = "source.wav");
  void MakeSource(std::vector<uint8_t> bytes, const std::string& name = "source.wav");
  // Chunk-by-chunk options: 200-byte blocks and an Idle after each.
  static OutputOptions FineOptions();
  // The source bytes [begin, begin + length).
  std::vector<uint8_t> SourceBytes(int64_t begin, int64_t length) const;
  // Checks that path is a WAV with the source's header, sizes patched for samples, those samples
  // and then the carried chunks (after a 0 pad byte when the samples are odd); also reads it back
  // with libsndfile.
  void ExpectWav(const std::string& path, const std::vector<uint8_t>& samples,
                 const std::vector<uint8_t>& carried = {}) const;

  TempDir dir;
  FileFields file;
  std::vector<uint8_t> sourceBytes;
  CreationFlags flags;
  ScriptedHost host{flags};
};

// Concatenation helper.
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts);

}  // namespace sonaveld::test
