// "つなげて開く…": a recorder's file sequence joined into one file, which is then opened.
#include <QFileInfo>
#include <algorithm>

#include "app/Prompts.h"
#include "app/TForm1.h"
#include "output/JoinWaves.h"
#include "playback/PlaybackDevice.h"

namespace sonaveld {

// The files are chosen several at once and joined in name order. Every file is probed before the
// output is asked for, so a file of another format is refused before anything is written; the
// joined file opens as "開く" opens one.
void TForm1::JoinOpen1Click() {
  if (BusyRefused()) return;
  QStringList chosen = prompts_.Form2OpenDialog1(openFolder_);
  if (chosen.isEmpty()) return;
  std::sort(chosen.begin(), chosen.end());
  std::vector<std::string> paths;
  for (const QString& path : chosen) paths.push_back(path.toStdString());
  const Result<std::vector<JoinSource>> sources = ProbeJoinSources(paths);
  if (!sources.ok()) {
    ShowMessage(sources.status.message());
    return;
  }
  openFolder_ = QFileInfo(chosen.front()).absolutePath();
  const QString out = prompts_.SaveDialog1(openFolder_);
  if (out.isEmpty()) return;
  device_.Close();  // the output may replace the open document
  bool joined = false;
  // The arrow shows the share of all the sources copied, not of the open document.
  progressWhole_ = 0;
  for (const JoinSource& source : sources.value) progressWhole_ += source.header.FileSize;
  RunOutput([&](OutputHost& host) {
    OutputResult result = JoinWaves(sources.value, out.toStdString(), flags_, host, outputOptions_);
    joined = result.status.ok();
    return result;
  });
  progressWhole_ = 0;
  if (joined) OpenWaveFile(out);
}

}  // namespace sonaveld
