#include "cli/Commands.h"

namespace sonaveld::cli {

int RunCut(const std::vector<std::string>&) { return kExitRefused; }
int RunSplit(const std::vector<std::string>&) { return kExitRefused; }
int RunSplitMarks(const std::vector<std::string>&) { return kExitRefused; }

}  // namespace sonaveld::cli
