#include "output/OutputCommands.h"

#include <functional>

#include "output/CopyPlan.h"
#include "output/OutputRun.h"
#include "output/SelectedRanges.h"

namespace sonaveld {
namespace {

// The outputs of a command: paths[i] receives stretches[i].
struct OutputPlan {
  std::vector<std::string> paths;
  std::vector<std::vector<ByteStretch>> stretches;
};

// One output file made of stretches: header, the stretches in order, the carried chunks, sizes,
// rename into place.
// Returns false on a failure (status set); *aborted when AbortRequested stopped the copy.
bool WriteOneOutput(OutputRun& run, const std::string& path, const std::vector<ByteStretch>& stretches,
                    bool* aborted, Status* status) {
  auto out = run.CopyWaveHeader(path, status);
  if (!out) return false;
  for (const auto& stretch : stretches) {
    if (!run.CopyStretch(*out, stretch, aborted, status)) return false;
    if (*aborted) break;
  }
  const int64_t w = run.SampleBytes(*out);
  return run.CarryChunks(*out, status) && run.PatchWaveSizes(*out, w, status);
}

// Runs a command: opens the source, plans the outputs from the sample area as it is now, checks and
// asks, then writes every output; ends with EndOutput on every path.
OutputResult RunOutputs(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options,
                        const std::function<OutputPlan(int64_t dataEnd)>& planOutputs) {
  OutputRun run(file, flags, host, options);
  Status status = run.OpenSource();
  const OutputPlan plan = status.ok() ? planOutputs(run.DataEnd()) : OutputPlan{};
  if (status.ok()) status = run.CheckOutputs(plan.paths);
  bool aborted = false;
  for (size_t i = 0; status.ok() && i < plan.paths.size() && !aborted; ++i) {
    WriteOneOutput(run, plan.paths[i], plan.stretches[i], &aborted, &status);
  }
  run.End(status.ok());
  run.result().status = status;
  run.result().aborted = aborted;
  return run.result();
}

}  // namespace

Status CheckBeginOutput(const CreationFlags& flags, bool documentOpen, int markCount) {
  if (flags.Busy == 1) return Status::Fail(MessageId::kBusy);
  if (!documentOpen) return Status::Silent();
  if (markCount == 0) return Status::Fail(MessageId::kNoMarks);
  return Status::Ok();
}

OutputResult WriteCutEditedFile(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                const std::string& outPath, CreationFlags& flags, OutputHost& host,
                                const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd) {
    OutputPlan plan{{outPath}, {{}}};
    for (const auto& range : SelectedRanges(marks, keepHead, ImpliedEndPosition(file.Header))) {
      plan.stretches[0].push_back(RangeStretch(file.Header, dataEnd, range));
    }
    return plan;
  });
}

OutputResult SplitSelectedRanges(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                 const std::string& baseName, CreationFlags& flags, OutputHost& host,
                                 const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd) {
    OutputPlan plan;
    const auto ranges = SelectedRanges(marks, keepHead, ImpliedEndPosition(file.Header));
    for (size_t k = 0; k < ranges.size(); ++k) {
      plan.paths.push_back(NumberedOutputName(baseName, static_cast<int>(k + 1)));
      plan.stretches.push_back({RangeStretch(file.Header, dataEnd, ranges[k])});
    }
    return plan;
  });
}

OutputResult SplitAtMarks(const FileFields& file, const std::vector<int64_t>& marks, const std::string& baseName,
                          CreationFlags& flags, OutputHost& host, const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd) {
    OutputPlan plan;
    const auto pieces = SplitAtMarksPieces(file.Header, dataEnd, marks);
    for (size_t j = 0; j < pieces.size(); ++j) {
      plan.paths.push_back(NumberedOutputName(baseName, static_cast<int>(j)));
      plan.stretches.push_back({pieces[j]});
    }
    return plan;
  });
}

}  // namespace sonaveld
