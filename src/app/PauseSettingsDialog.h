#pragma once
#include <QDialog>

#include "analysis/PauseFinder.h"

class QDoubleSpinBox;
class QSpinBox;

namespace sonaveld {

// The small modal dialog of "無音部分にマーク…": the threshold in dBFS (one decimal,
// kPauseDbMin..kPauseDbMax) and the shortest pause in whole ms (kPauseMsMin..kPauseMsMax), with
// "OK" and "キャンセル". The boxes keep their values within range, so Settings() is always valid.
class PauseSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts with the values of initial (brought into range).
  explicit PauseSettingsDialog(const PauseSettings& initial, QWidget* parent = nullptr);

  // The values the boxes hold now.
  PauseSettings Settings() const;
  QDoubleSpinBox* ThresholdBox() const { return threshold_; }
  QSpinBox* ShortestBox() const { return shortest_; }

 private:
  QDoubleSpinBox* threshold_;
  QSpinBox* shortest_;
};

}  // namespace sonaveld
