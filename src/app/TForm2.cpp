#include "app/TForm2.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "app/AppFont.h"
#include "app/AppIcon.h"
#include "app/Prompts.h"
#include "app/WindowMessages.h"
#include "base/Status.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld {
namespace {

// Height of one list entry in pixels, raised to the font's line height where the font needs more
// (IPAPGothic at 12 pixels draws underscores and descenders in a 13th row).
constexpr int kListItemHeight = 12;

}  // namespace

TForm2::TForm2(Prompts& prompts, QWidget* parent) : QWidget(parent, Qt::Window), prompts_(prompts) {
  InstallFontSubstitutions();
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("ノーマライズ"));
  setWindowIcon(AppIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
  c_ = BuildForm2Controls(this);
  Connect();
}

void TForm2::Connect() {
  connect(c_.SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
  connect(c_.SpeedButton5, &QToolButton::clicked, this, &TForm2::SpeedButton5Click);
  connect(c_.SpeedButton6, &QToolButton::clicked, this, &TForm2::SpeedButton6Click);
  connect(c_.SpeedButton2, &QToolButton::clicked, this, &TForm2::SpeedButton2Click);
  connect(c_.SpeedButton3, &QToolButton::clicked, this, &TForm2::SpeedButton3Click);
  connect(c_.SpeedButton4, &QToolButton::clicked, this, &TForm2::SpeedButton4Click);
  connect(c_.SpeedButton7, &QToolButton::clicked, this, &TForm2::SpeedButton7Click);
  connect(c_.SpeedButton8, &QToolButton::clicked, this, &TForm2::SpeedButton8Click);
  connect(c_.SpeedButton9, &QToolButton::clicked, this, &TForm2::SpeedButton9Click);
  connect(c_.SpeedButton10, &QToolButton::clicked, this, &TForm2::SpeedButton10Click);
  connect(c_.ComboBox1, &QComboBox::activated, this, &TForm2::ComboBox1Change);
  connect(c_.RadioGroup1Items, &QButtonGroup::idClicked, this, &TForm2::RadioGroup1Click);
  connect(c_.ListBox1, &QListWidget::clicked, this, &TForm2::ListBox1Click);
}

QStringList TForm2::Entries() const {
  QStringList entries;
  for (int i = 0; i < c_.ListBox1->count(); ++i) entries << c_.ListBox1->item(i)->data(Qt::UserRole).toString();
  return entries;
}

int TForm2::ItemIndex() const {
  const QListWidgetItem* current = c_.ListBox1->currentItem();
  return current != nullptr && current->isSelected() ? c_.ListBox1->row(current) : -1;
}

void TForm2::SetItemIndex(int index) {
  if (index >= 0 && index < c_.ListBox1->count()) {
    c_.ListBox1->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    return;
  }
  c_.ListBox1->clearSelection();
  c_.ListBox1->setCurrentItem(nullptr);
}

void TForm2::SpeedButton1Click() {
  if (RefusedDuringPass()) return;
  const QStringList chosen = prompts_.Form2OpenDialog1(openFolder_);
  if (chosen.isEmpty()) return;
  openFolder_ = QFileInfo(chosen.first()).absolutePath();
  // Every file is tried; the refused ones are told together afterwards, one line each.
  QStringList refused;
  for (const QString& path : chosen) {
    const std::string refusal = AddOne(path);
    if (!refusal.empty()) refused << QString::fromStdString(refusal);
  }
  SetItemIndex(c_.ListBox1->count() - 1);
  if (!refused.isEmpty()) prompts_.Message(refused.join(QLatin1Char('\n')));
}

std::string TForm2::AddOne(const QString& path) {
  const std::string file = path.toStdString();
  auto source = FileSource::Open(file);
  if (!source) return FormatMessage(MessageId::kCannotOpen, file);
  const int bits = ReadU8(*source, kBitsPerSampleOffset);
  source.reset();
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return FormatMessage(MessageId::kEntryNotBits, file);
  if (Entries().contains(path)) return FormatMessage(WindowMessageId::kAlreadyListed, file);

  auto* item = new QListWidgetItem;
  item->setData(Qt::UserRole, path);
  c_.ListBox1->addItem(item);
  SetRowText(c_.ListBox1->count() - 1, path);
  return {};
}

void TForm2::SetRowText(int index, const QString& text) {
  QListWidgetItem* item = c_.ListBox1->item(index);
  const QFontMetrics metrics = c_.ListBox1->fontMetrics();
  item->setText(text);
  item->setSizeHint(QSize(metrics.horizontalAdvance(text) + 4, std::max(kListItemHeight, metrics.lineSpacing())));
}

void TForm2::MoveEntry(int from, int to) {
  QListWidgetItem* item = c_.ListBox1->takeItem(from);
  c_.ListBox1->insertItem(to, item);
  SetItemIndex(to);
}

// At the first entry, or with nothing selected, nothing moves.
void TForm2::SpeedButton5Click() {
  if (RefusedDuringPass()) return;
  const int index = ItemIndex();
  if (index > 0) MoveEntry(index, index - 1);
}

// At the last entry nothing moves; with nothing selected the first entry is selected.
void TForm2::SpeedButton6Click() {
  if (RefusedDuringPass()) return;
  const int index = ItemIndex();
  if (index < 0) {
    SetItemIndex(0);
  } else if (index < c_.ListBox1->count() - 1) {
    MoveEntry(index, index + 1);
  }
}

void TForm2::SpeedButton2Click() {
  if (RefusedDuringPass()) return;
  const int index = ItemIndex();
  if (index < 0) return;
  delete c_.ListBox1->takeItem(index);
  SetItemIndex(index == c_.ListBox1->count() ? index - 1 : index);
}

void TForm2::SpeedButton3Click() {
  if (RefusedDuringPass()) return;
  c_.ListBox1->clear();
  c_.ProgressBar1->setValue(0);
  c_.ProgressBar2->setValue(0);
}

void TForm2::SpeedButton8Click() { close(); }

void TForm2::closeEvent(QCloseEvent* event) {
  if (RefusedDuringPass()) SpeedButton7Click();
  QWidget::closeEvent(event);
}

void TForm2::RadioGroup1Click() {
  c_.SpinEdit1->setValue(100);
  c_.SpinEdit1->setEnabled(!LoudnessMode());
}

bool TForm2::LoudnessMode() const { return c_.RadioGroup1Items->checkedId() == 2; }

void TForm2::ListBox1Click() {
  c_.ProgressBar1->setValue(0);
  c_.ProgressBar2->setValue(0);
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize outer = frameGeometry().size();
  const QRect area = screen->geometry();
  move(area.x() + area.width() / 2 - outer.width() / 2, area.y() + area.height() / 2 - outer.height() / 2);
}

}  // namespace sonaveld
