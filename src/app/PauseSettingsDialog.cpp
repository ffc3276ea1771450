#include "app/PauseSettingsDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include "app/AppFont.h"
#include "app/MarkingTexts.h"

namespace sonaveld {

namespace t = marking_texts;

PauseSettingsDialog::PauseSettingsDialog(const PauseSettings& initial, QWidget* parent)
    : QDialog(parent), threshold_(new QDoubleSpinBox(this)), shortest_(new QSpinBox(this)) {
  setWindowTitle(QString::fromUtf8(t::kPauseDialogTitle));
  setFont(WindowFont());
  threshold_->setObjectName(QStringLiteral("ThresholdBox"));
  threshold_->setDecimals(1);
  threshold_->setRange(kPauseDbMin, kPauseDbMax);
  threshold_->setSingleStep(1.0);
  threshold_->setValue(initial.belowDb);
  shortest_->setObjectName(QStringLiteral("ShortestBox"));
  shortest_->setRange(kPauseMsMin, kPauseMsMax);
  shortest_->setSingleStep(100);
  shortest_->setValue(initial.minMs);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(t::kOkButton));
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(t::kCancelButton));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow(QString::fromUtf8(t::kThresholdLabel), threshold_);
  form->addRow(QString::fromUtf8(t::kShortestLabel), shortest_);
  form->addRow(buttons);
  form->setSizeConstraint(QLayout::SetFixedSize);
}

PauseSettings PauseSettingsDialog::Settings() const {
  PauseSettings settings;
  settings.belowDb = threshold_->value();
  settings.minMs = shortest_->value();
  return settings;
}

}  // namespace sonaveld
