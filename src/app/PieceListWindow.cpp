#include "app/PieceListWindow.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace sonaveld {
namespace {

enum Column { kNumber, kStart, kLength, kSelected, kName, kColumns };

// The cut map's colours: a selected range is outlined blue, the rest stays white.
const QColor kSelectedColour(0, 0, 255);

QTableWidgetItem* Cell(const QString& text, bool editable = false) {
  auto* item = new QTableWidgetItem(text);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (editable) flags |= Qt::ItemIsEditable;
  item->setFlags(flags);
  return item;
}

}  // namespace

PieceListWindow::PieceListWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("PieceList"));
  setWindowTitle(QStringLiteral("部分一覧"));
  resize(560, 360);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QStringLiteral("PieceTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("番号"), QStringLiteral("開始"), QStringLiteral("長さ"),
                                     QStringLiteral("選択範囲"), QStringLiteral("名前")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  save_ = new QPushButton(QStringLiteral("選んだ部分を保存…"), this);
  save_->setObjectName(QStringLiteral("SavePieces"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(save_);

  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (!filling_ && row >= 0) emit PieceChosen(row);
  });
  connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { emit PiecePlayed(index.row()); });
  connect(table_, &QTableWidget::cellChanged, this, &PieceListWindow::CellChanged);
  connect(save_, &QPushButton::clicked, this, &PieceListWindow::SaveChecked);
}

void PieceListWindow::ShowPieces(const std::vector<Piece>& pieces, int32_t rate) {
  std::set<int64_t> checked;
  const std::vector<bool> was = Checked();
  for (size_t i = 0; i < was.size(); ++i) {
    if (was[i]) checked.insert(starts_[i]);
  }
  filling_ = true;
  const int current = table_->currentRow();
  table_->setRowCount(static_cast<int>(pieces.size()));
  starts_.clear();
  for (const Piece& piece : pieces) {
    const int row = piece.number;
    starts_.push_back(piece.start);
    QTableWidgetItem* number = Cell(QStringLiteral("%1").arg(piece.number, 2, 10, QLatin1Char('0')));
    number->setFlags(number->flags() | Qt::ItemIsUserCheckable);
    number->setCheckState(checked.count(piece.start) != 0 ? Qt::Checked : Qt::Unchecked);
    table_->setItem(row, kNumber, number);
    table_->setItem(row, kStart, Cell(QString::fromStdString(ClockText(piece.start - 1, rate))));
    table_->setItem(row, kLength, Cell(QString::fromStdString(ClockText(piece.length, rate))));
    QTableWidgetItem* selected = Cell(piece.selected ? QStringLiteral("選択") : QString());
    selected->setBackground(piece.selected ? kSelectedColour : QColor(Qt::white));
    selected->setForeground(piece.selected ? QColor(Qt::white) : QColor(Qt::black));
    table_->setItem(row, kSelected, selected);
    table_->setItem(row, kName, Cell(QString::fromStdString(piece.name), true));
  }
  if (current >= 0 && current < table_->rowCount()) table_->setCurrentCell(current, table_->currentColumn());
  filling_ = false;
}

std::vector<bool> PieceListWindow::Checked() const {
  std::vector<bool> out;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const QTableWidgetItem* item = table_->item(row, kNumber);
    out.push_back(item != nullptr && item->checkState() == Qt::Checked);
  }
  return out;
}

// The edit is passed on after the table is done with the cell, for the list is filled anew then.
void PieceListWindow::CellChanged(int row, int column) {
  if (filling_ || column != kName) return;
  const QString name = table_->item(row, column)->text();
  QMetaObject::invokeMethod(this, [this, row, name] { emit NameEdited(row, name); }, Qt::QueuedConnection);
}

}  // namespace sonaveld
