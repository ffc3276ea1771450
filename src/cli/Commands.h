#pragma once
#include <string>
#include <vector>

namespace sonaveld::cli {

// Exit statuses of sonaveld-cli.
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;  // refused or failed; the message went to stderr
constexpr int kExitUsage = 2;    // wrong usage; what is wrong went to stderr

// Each command takes the arguments after its name and returns the exit status.
int RunInfo(const std::vector<std::string>& args);
int RunCut(const std::vector<std::string>& args);
int RunSplit(const std::vector<std::string>& args);
int RunSplitMarks(const std::vector<std::string>& args);
int RunMark(const std::vector<std::string>& args);
int RunMarks(const std::vector<std::string>& args);
int RunNormalize(const std::vector<std::string>& args);
int RunPauses(const std::vector<std::string>& args);
int RunJoin(const std::vector<std::string>& args);
int RunLoudness(const std::vector<std::string>& args);
int RunSplitChannels(const std::vector<std::string>& args);

// The usage text printed by --help.
const char* UsageText();

// Prints a message of the system to stderr, one line (erasing the progress line first).
void PrintMessage(const std::string& message);
// Prints a file written on stdout, one line, flushed at once (erasing the progress line first).
void PrintWritten(const std::string& path);
// Prints what is wrong and where to read more (two lines) to stderr and returns kExitUsage.
int UsageError(const std::string& what);

}  // namespace sonaveld::cli
