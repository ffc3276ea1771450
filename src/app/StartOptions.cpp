#include "app/StartOptions.h"

#include <cstdio>
#include <cstring>

#include "Version.h"

namespace sonaveld {

std::optional<int> AnswerStartOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("sonaveld %s\n", kVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs("usage: sonaveld [WAV]\n"
                 "       sonaveld --help | --version\n"
                 "\n"
                 "Opens the main window, and the WAV file WAV in it when one is given.\n"
                 "See sonaveld(1); the command-line tool is sonaveld-cli(1).\n",
                 stdout);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace sonaveld
