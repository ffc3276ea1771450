#include "cli/Commands.h"

namespace sonaveld::cli {

int RunNormalize(const std::vector<std::string>&) {
  PrintMessage("normalize: not available yet");
  return kExitRefused;
}

}  // namespace sonaveld::cli
