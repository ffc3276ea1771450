#pragma once
#include <optional>

namespace sonaveld {

// Answers --version and --help (-h) of the sonaveld command line on stdout, before the application
// object exists, so neither needs a display. Arguments after "--" are not looked at. Returns the
// exit status when one of them was answered, nothing when the program should start its windows.
std::optional<int> AnswerStartOptions(int argc, char** argv);

}  // namespace sonaveld
