#include "output/OutputCommands.h"

#include <functional>

#include "output/CopyPlan.h"
#include "output/OutputRun.h"
#include "output/SelectedRanges.h"

namespace sonaveld {
namespace {

// The outputs of a command: paths[i] receives stretches[i], titled titles[i] ("": untitled).
struct OutputPlan {
  std::vector<std::string> paths;
  std::vector<std::vector<ByteStretch>> stretches;
  std::vector<std::string> titles;

  // Adds the k-th piece of a split, named name ("": numbered only).
  void AddPiece(const std::string& baseName, int k, const std::string& name, const ByteStretch& stretch) {
    paths.push_back(PieceOutputName(baseName, k, name));
    stretches.push_back({stretch});
    titles.push_back(FileSafeName(name).empty() ? std::string() : name);
  }
};

// One output file made of stretches: its header, the stretches in order, its trailing chunks,
// sizes, put in place. Ok (also when AbortRequested came after its last block: nothing was left
// out), Stopped when AbortRequested ended the copy before that (the file is complete with the
// samples copied so far, and recorded as cut short), or the failure.
Status WriteOneOutput(OutputRun& run, const std::string& path, const std::vector<ByteStretch>& stretches,
                      const std::string& title) {
  const OutputHeader header = run.HeaderFor(stretches, title);
  Result<std::unique_ptr<OutputFile>> created = run.CopyWaveHeader(path, header);
  if (!created.ok()) return created.status;
  OutputFile& out = *created.value;
  int64_t planned = 0;
  for (const auto& stretch : stretches) planned += stretch.length;
  // Room for the header and the samples at once: the copy then spends less time in the file
  // system than cp does (its trailing chunks, a few bytes, take the usual way).
  out.Reserve(header.DataOffset() + planned);
  Status copied;
  for (const auto& stretch : stretches) {
    if (copied.ok()) copied = run.CopyStretch(out, stretch);
  }
  if (copied.failed()) return copied;
  const int64_t w = out.written() - header.DataOffset();
  if (Status finished = run.FinishOutput(out, header, stretches, title); !finished.ok()) return finished;
  if (copied.stopped() && w < planned) {
    run.CutShort({path, w, planned});
    return copied;
  }
  run.Completed(path);
  return Status::Ok();
}

// Runs a command: opens the source, plans the outputs from the sample area as it is now, checks and
// asks, then writes every output until one does not end ok; ends the run on every path.
OutputResult RunOutputs(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options,
                        const std::function<OutputPlan(int64_t dataEnd, bool exact)>& planOutputs) {
  OutputRun run(file, flags, host, options);
  Status status = run.OpenSource();
  const OutputPlan plan = status.ok() ? planOutputs(run.DataEnd(), options.exactCuts) : OutputPlan{};
  if (status.ok()) status = run.CheckOutputs(plan.paths);
  for (size_t i = 0; status.ok() && i < plan.paths.size(); ++i) {
    // A stop seen after the last block of the output before: no further output is begun.
    const std::string title = i < plan.titles.size() ? plan.titles[i] : std::string();
    status = flags.AbortRequested ? Status::Stopped() : WriteOneOutput(run, plan.paths[i], plan.stretches[i], title);
  }
  return run.End(status);
}

}  // namespace

Status CheckBeginOutput(const CreationFlags& flags, bool documentOpen, int markCount) {
  if (flags.Busy) return Status::Fail(MessageId::kBusy);
  if (!documentOpen) return Status::Silent();
  if (markCount == 0) return Status::Fail(MessageId::kNoMarks);
  return Status::Ok();
}

OutputResult WriteCutEditedFile(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                const std::string& outPath, CreationFlags& flags, OutputHost& host,
                                const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd, bool exact) {
    OutputPlan plan{{outPath}, {{}}, {{}}};
    for (const auto& range : SelectedRanges(marks, keepHead, ImpliedEndPosition(file.Header))) {
      plan.stretches[0].push_back(RangeStretch(file.Header, dataEnd, range, exact));
    }
    return plan;
  });
}

OutputResult SplitSelectedRanges(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                 const std::string& baseName, CreationFlags& flags, OutputHost& host,
                                 const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd, bool exact) {
    OutputPlan plan;
    const auto ranges = SelectedRanges(marks, keepHead, ImpliedEndPosition(file.Header));
    for (size_t k = 0; k < ranges.size(); ++k) {
      // With keep head the first range starts at frame 1, not at a mark.
      const std::string name = options.names.For(ranges[k].start, keepHead && k == 0);
      plan.AddPiece(baseName, static_cast<int>(k + 1), name, RangeStretch(file.Header, dataEnd, ranges[k], exact));
    }
    return plan;
  });
}

OutputResult SplitAtMarks(const FileFields& file, const std::vector<int64_t>& marks, const std::string& baseName,
                          CreationFlags& flags, OutputHost& host, const OutputOptions& options) {
  return SplitChosenPieces(file, marks, std::vector<bool>(marks.size() + 1, true), baseName, flags, host, options);
}

OutputResult SplitChosenPieces(const FileFields& file, const std::vector<int64_t>& marks, const std::vector<bool>& chosen,
                               const std::string& baseName, CreationFlags& flags, OutputHost& host,
                               const OutputOptions& options) {
  return RunOutputs(file, flags, host, options, [&](int64_t dataEnd, bool exact) {
    OutputPlan plan;
    const auto pieces = SplitAtMarksPieces(file.Header, dataEnd, marks, exact);
    for (size_t j = 0; j < pieces.size(); ++j) {
      if (j >= chosen.size() || !chosen[j]) continue;
      const std::string name = options.names.For(j == 0 ? 1 : marks[j - 1], j == 0);
      plan.AddPiece(baseName, static_cast<int>(j), name, pieces[j]);
    }
    return plan;
  });
}

}  // namespace sonaveld
