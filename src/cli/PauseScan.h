#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PauseFinder.h"
#include "cli/OpenWave.h"

namespace sonaveld::cli {

// Reads "--below DB" (-96..0, decimals allowed) or "--min MS" (10..600000, whole) at args[i] into
// settings, moving i onto the value. nullopt when args[i] is neither option; "" when it was read;
// else the text of the wrong usage.
std::optional<std::string> ParsePauseOption(const std::vector<std::string>& args, size_t& i, PauseSettings& settings);

// Scans the pauses of the opened WAV, with the progress line over its sample area unless quiet.
// Ctrl+C stops the scan at its next block (status Stopped). path names the file in a read error.
PauseResult ScanPauses(const OpenedWave& wave, const PauseSettings& settings, bool quiet, const std::string& path);

}  // namespace sonaveld::cli
