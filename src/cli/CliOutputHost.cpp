#include "cli/CliOutputHost.h"

#include <csignal>

#include "cli/Commands.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

}  // namespace

CliOutputHost::CliOutputHost(bool yes, CreationFlags& flags, ProgressLine& progress, int64_t total)
    : yes_(yes), flags_(flags), progress_(progress), total_(total) {
  std::signal(SIGINT, OnInterrupt);
}

bool CliOutputHost::ConfirmLowSpace(const std::string& question) {
  PrintMessage(question);
  return yes_;
}

void CliOutputHost::Idle() {
  progress_.Update(flags_.CopyPos, total_);
  if (interrupted) flags_.AbortRequested = true;
}

void CliOutputHost::FileWritten(const std::string& path) { PrintWritten(path); }

}  // namespace sonaveld::cli
