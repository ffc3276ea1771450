#include "normalizer/NormalizeReport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace sonaveld {
namespace {

// One cell: its text, and whether it is a string (quoted in JSON) or null.
struct Cell {
  std::string text;
  bool string = false;
  bool null = false;
};

Cell Number(const std::optional<double>& value, int decimals) {
  if (!value) return {{}, false, true};
  if (std::isinf(*value)) return {*value < 0 ? "-inf" : "inf", false, true};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, *value);
  return {buffer};
}

Cell Count(const std::optional<int64_t>& value) {
  if (!value) return {{}, false, true};
  return {std::to_string(*value)};
}

// The figure of a further channel, by its place in the row's lists (empty past their end).
template <class T>
std::optional<T> More(const std::vector<T>& values, size_t index) {
  if (index >= values.size()) return std::nullopt;
  return values[index];
}

std::vector<Cell> Cells(const ReportRow& row, bool levels, int channels) {
  std::vector<Cell> cells = {
      {row.file, true},
      {row.output, true, row.output.empty()},
      Number(row.integratedLufs, 2),
      Number(row.lraLu, 2),
      Number(row.truePeakDbtp, 2),
      Number(row.gainDb, 6),
      row.limited ? Cell{*row.limited ? "true" : "false"} : Cell{{}, false, true},
      Number(row.outputIntegratedLufs, 2),
      Number(row.outputTruePeakDbtp, 2),
      {row.status, true},
      {row.message, true},
  };
  if (levels) {
    cells.push_back(Number(row.levelLeftDbfs, 2));
    cells.push_back(Number(row.levelRightDbfs, 2));
    cells.push_back(Number(row.gainRightDb, 6));
    cells.push_back(Count(row.clippedLeft));
    cells.push_back(Count(row.clippedRight));
    for (size_t k = 0; k + 2 < static_cast<size_t>(channels); ++k) {
      cells.push_back(Number(More(row.levelMoreDbfs, k), 2));
      cells.push_back(Number(More(row.gainMoreDb, k), 6));
      cells.push_back(Count(More(row.clippedMore, k)));
    }
  }
  return cells;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

bool IsJsonl(const std::string& path) { return path.size() >= 6 && path.ends_with(".jsonl"); }

}  // namespace

void FillLevels(ReportRow& row, const EntryFigures& figures) {
  row.status = "ok";
  row.levelLeftDbfs = figures.levelDbfs[0];
  row.gainDb = figures.gainDb[0];
  row.clippedLeft = figures.clipped[0];
  const int channels = figures.channels > 0 ? figures.channels : ChannelsOf(figures.kind);
  if (channels >= 2) {
    row.levelRightDbfs = figures.levelDbfs[1], row.gainRightDb = figures.gainDb[1], row.clippedRight = figures.clipped[1];
  }
  row.levelMoreDbfs.assign(figures.levelDbfs + 2, figures.levelDbfs + std::max(channels, 2));
  row.gainMoreDb.assign(figures.gainDb + 2, figures.gainDb + std::max(channels, 2));
  row.clippedMore.assign(figures.clipped + 2, figures.clipped + std::max(channels, 2));
  row.limited = false;
}

std::vector<std::string> ReportColumns(bool levels, int channels) {
  std::vector<std::string> columns = {"file", "output", "integrated_lufs", "lra_lu", "true_peak_dbtp", "gain_db",
                                      "limited", "output_integrated_lufs", "output_true_peak_dbtp", "status",
                                      "message"};
  if (levels) {
    for (const char* c : {"level_left_dbfs", "level_right_dbfs", "gain_right_db", "clipped_left", "clipped_right"}) {
      columns.emplace_back(c);
    }
    for (int n = 3; n <= channels; ++n) {
      const std::string ch = "_ch" + std::to_string(n);
      columns.push_back("level" + ch + "_dbfs");
      columns.push_back("gain" + ch + "_db");
      columns.push_back("clipped" + ch);
    }
  }
  return columns;
}

int ReportChannels(const std::vector<ReportRow>& rows) {
  size_t more = 0;
  for (const ReportRow& row : rows) more = std::max(more, row.levelMoreDbfs.size());
  return 2 + static_cast<int>(more);
}

std::string CsvHeader(bool levels, int channels) {
  std::string line;
  for (const std::string& column : ReportColumns(levels, channels)) line += (line.empty() ? "" : ",") + column;
  return line;
}

std::string CsvLine(const ReportRow& row, bool levels, int channels) {
  std::string line;
  bool first = true;
  for (const Cell& cell : Cells(row, levels, channels)) {
    if (!first) line += ',';
    first = false;
    line += CsvField(cell.text);
  }
  return line;
}

std::string JsonLine(const ReportRow& row, bool levels, int channels) {
  const std::vector<std::string> columns = ReportColumns(levels, channels);
  const std::vector<Cell> cells = Cells(row, levels, channels);
  std::string line = "{";
  for (size_t i = 0; i < columns.size(); ++i) {
    line += (i == 0 ? "" : ",") + JsonString(columns[i]) + ":";
    line += cells[i].null ? "null" : cells[i].string ? JsonString(cells[i].text) : cells[i].text;
  }
  return line + "}";
}

bool CanWriteReport(const std::string& path) {
  const std::string part = path + ".part";
  const bool created = std::ofstream(part, std::ios::binary | std::ios::trunc).good();
  std::error_code ignored;
  std::filesystem::remove(part, ignored);
  return created;
}

bool WriteReport(const std::string& path, const std::vector<ReportRow>& rows, bool levels) {
  const std::string part = path + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    const int channels = ReportChannels(rows);
    if (IsJsonl(path)) {
      for (const ReportRow& row : rows) out << JsonLine(row, levels, channels) << '\n';
    } else {
      out << CsvHeader(levels, channels) << '\n';
      for (const ReportRow& row : rows) out << CsvLine(row, levels, channels) << '\n';
    }
    out.flush();
    if (out.good()) {
      out.close();
      std::error_code ec;
      if (!out.fail() && (std::filesystem::rename(part, path, ec), !ec)) return true;
    }
  }
  std::error_code ignored;
  std::filesystem::remove(part, ignored);
  return false;
}

}  // namespace sonaveld
