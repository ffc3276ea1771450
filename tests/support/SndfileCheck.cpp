#include "support/SndfileCheck.h"

#include <sndfile.h>

namespace sonaveld::test {

SndfileInfo ReadWithSndfile(const std::string& path) {
  SndfileInfo result;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return result;
  result.opened = true;
  result.frames = info.frames;
  result.channels = info.channels;
  result.rate = info.samplerate;
  result.format = info.format;
  const char* title = sf_get_string(file, SF_STR_TITLE);
  const char* comment = sf_get_string(file, SF_STR_COMMENT);
  result.title = title != nullptr ? title : "";
  result.comment = comment != nullptr ? comment : "";
  SF_CUES cues{};
  if (sf_command(file, SFC_GET_CUE, &cues, sizeof(cues)) == SF_TRUE) {
    for (uint32_t i = 0; i < cues.cue_count && i < 100; ++i) {
      const SF_CUE_POINT& p = cues.cue_points[i];
      result.cues.push_back({p.indx, p.position, p.sample_offset});
    }
  }
  SF_BROADCAST_INFO bext{};
  if (sf_command(file, SFC_GET_BROADCAST_INFO, &bext, sizeof(bext)) == SF_TRUE) {
    result.timeReference = uint64_t{bext.time_reference_high} << 32 | bext.time_reference_low;
  }
  sf_close(file);
  return result;
}

namespace {

template <class T, class Read>
std::vector<T> ReadAll(const std::string& path, Read read) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return {};
  std::vector<T> samples(static_cast<size_t>(info.frames * info.channels));
  const sf_count_t got = read(file, samples.data(), info.frames);
  sf_close(file);
  samples.resize(static_cast<size_t>(got * info.channels));
  return samples;
}

}  // namespace

std::vector<int32_t> ReadIntsWithSndfile(const std::string& path) { return ReadAll<int32_t>(path, sf_readf_int); }

std::vector<float> ReadFloatsWithSndfile(const std::string& path) {
  return ReadAll<float>(path, sf_readf_float);
}

std::vector<double> ReadSamplesWithSndfile(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return {};
  sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  std::vector<double> samples(static_cast<size_t>(info.frames * info.channels));
  samples.resize(static_cast<size_t>(sf_readf_double(file, samples.data(), info.frames) * info.channels));
  sf_close(file);
  return samples;
}

}  // namespace sonaveld::test
