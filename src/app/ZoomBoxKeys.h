#pragma once
#include <QKeySequence>
#include <QList>
#include <QObject>

class QComboBox;
class QKeyEvent;

namespace sonaveld {

// Shares the keyboard between the editable zoom box and the window's single keys (Space, M,
// Delete, Home). The pointer over the waveform hands the box the focus only so that the wheel
// zooms; while the box is not being edited, those keys go to the window's commands. The box is
// being edited from a focus the user gave it (a click, Tab), a click into its text, or any other
// key typed into it, until Enter, a choice from its list, the loss of its focus or a pointer move
// over the waveform. Ctrl+O and Ctrl+S reach the window in any case: the box has no use for them.
class ZoomBoxKeys : public QObject {
  Q_OBJECT

 public:
  // Watches box (which must outlive this object); windowKeys are the keys that the box leaves to
  // the window while it is not being edited.
  ZoomBoxKeys(QComboBox* box, QList<QKeySequence> windowKeys);

  // The pointer moved over the waveform: the box is no longer being edited.
  void PointerOverWaveform() { editing_ = false; }
  // Gives the box the focus for the wheel, without starting an edit.
  void HandFocusForWheel();
  // True while keys typed into the box are its text.
  bool Editing() const { return editing_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsWindowKey(const QKeyEvent& key) const;
  // Notes what a key typed into the box does to the editing.
  void NoteKeyPress(const QKeyEvent& key);

  QComboBox* box_;
  QList<QKeySequence> windowKeys_;
  bool editing_ = false;
  bool handingOver_ = false;
};

}  // namespace sonaveld
