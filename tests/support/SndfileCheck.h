#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonaveld::test {

// What libsndfile reads from a WAV file: proof that an output is a valid WAV of a given length.
struct SndfileInfo {
  bool opened = false;
  int64_t frames = 0;
  int channels = 0;
  int rate = 0;
  int format = 0;  // libsndfile's format code
  std::string title;    // the LIST-INFO title (INAM), "" when none
  std::string comment;  // the LIST-INFO comment (ICMT), "" when none
  // The cue points (SFC_GET_CUE): id, position, sample offset; the bext TimeReference
  // (SFC_GET_BROADCAST_INFO), nullopt without a bext chunk.
  struct Cue {
    int32_t id = 0;
    uint32_t position = 0;
    uint32_t sampleOffset = 0;
    bool operator==(const Cue&) const = default;
  };
  std::vector<Cue> cues;
  std::optional<uint64_t> timeReference;
};

SndfileInfo ReadWithSndfile(const std::string& path);

// Every sample of the file as libsndfile reads it: integers scaled to 32 bits (a 24-bit sample
// shifted up by 8), floats as stored; empty when it cannot read the file.
std::vector<int32_t> ReadIntsWithSndfile(const std::string& path);
std::vector<float> ReadFloatsWithSndfile(const std::string& path);
// Every sample libsndfile reads from path, interleaved, at the scale stored (integers as the
// integers, floats as the floats); empty when it cannot open the file.
std::vector<double> ReadSamplesWithSndfile(const std::string& path);

}  // namespace sonaveld::test
