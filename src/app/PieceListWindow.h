#pragma once
#include <QString>
#include <QWidget>
#include <vector>

#include "output/PieceList.h"

class QPushButton;
class QTableWidget;

namespace sonaveld {

// "部分一覧": the pieces between the marks in a table (check box and number, start, length, whether
// it is a selected range in the cut map's colours, the starting mark's name, editable) and the
// button that saves the checked ones. It only shows and asks; the main window does the work.
class PieceListWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PieceListWindow(QWidget* parent);

  // Shows pieces (times at rate Hz); the checks stay on the pieces that start where they did.
  void ShowPieces(const std::vector<Piece>& pieces, int32_t rate);
  // One entry a piece, true where its box is checked.
  std::vector<bool> Checked() const;
  QTableWidget* Table() const { return table_; }
  QPushButton* SaveButton() const { return save_; }

 signals:
  void PieceChosen(int number);                        // a row was selected
  void PiecePlayed(int number);                        // double click or Enter on a row
  void NameEdited(int number, const QString& name);    // the name cell was edited (sent queued)
  void SaveChecked();                                  // "選んだ部分を保存…"

 private:
  void CellChanged(int row, int column);

  QTableWidget* table_;
  QPushButton* save_;
  std::vector<int64_t> starts_;  // the first frame of each row's piece
  bool filling_ = false;
};

}  // namespace sonaveld
