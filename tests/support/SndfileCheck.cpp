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
  sf_close(file);
  return result;
}

}  // namespace sonaveld::test
