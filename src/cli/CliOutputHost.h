#pragma once
#include <cstdint>
#include <string>

#include "cli/ProgressLine.h"
#include "document/Document.h"
#include "output/OutputHost.h"

namespace sonaveld::cli {

// The host of an output command on the command line: the free-space question answered by --yes
// (and said on stderr), the progress line of CopyPos out of total bytes, Ctrl+C turned into
// AbortRequested, each file written printed on stdout.
class CliOutputHost final : public OutputHost {
 public:
  // Installs the Ctrl+C handler for the command's run.
  CliOutputHost(bool yes, CreationFlags& flags, ProgressLine& progress, int64_t total);
  bool ConfirmLowSpace(const std::string& question) override;
  void Idle() override;
  void FileWritten(const std::string& path) override;

 private:
  bool yes_;
  CreationFlags& flags_;
  ProgressLine& progress_;
  int64_t total_;
};

}  // namespace sonaveld::cli
