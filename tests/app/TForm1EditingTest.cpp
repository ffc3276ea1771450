// The editing aids through the window: undo and redo of the mark commands, a marker dragged on
// the ruler with real mouse events, "全体", and one piece of the list played to its end.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "app/PieceListWindow.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

using Marks = std::vector<int64_t>;

// Zoom 1 on a 621000-frame 8-bit mono file: column x shows frame ViewStart + x - 1.
struct EditHarness : Harness {
  EditHarness() {
    WavRecipe recipe;
    recipe.channels = 1;
    recipe.bits = 8;
    recipe.frames = 621000;
    path = Wav("take.wav", recipe);
    Open(path);
    form->Controls().ComboBox1->setCurrentText(QStringLiteral("1"));
  }
  int Column(int64_t frame) const { return static_cast<int>(frame - form->View().ViewStart + 1); }
  void AddAt(int64_t frame) {
    PressOverlay(*form, Qt::LeftButton, Column(frame));
    form->N1Click();
  }
  void Mouse(QEvent::Type type, int x, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* ruler = form->Controls().Image4;
    const QPointF local(x, 18);
    QMouseEvent event(type, local, ruler->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(ruler, &event);
  }
  void Drag(int64_t from, int64_t to) {
    Mouse(QEvent::MouseButtonPress, Column(from));
    Mouse(QEvent::MouseMove, Column(to));
    Mouse(QEvent::MouseButtonRelease, Column(to));
  }
  bool RulerMarkerAt(int64_t frame) { return view::IsPureRed(Ruler(*form), Column(frame), 15); }
  bool LineAt(int64_t frame) { return view::IsPureRed(Overlay(*form), Column(frame), 10); }
  Marks Sorted() const { return form->Marks().Sorted(); }
  // A key pressed as the user presses it, to the widget with the focus.
  void Key(Qt::Key key, Qt::KeyboardModifiers mods) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : form.get(), key, mods);
  }
  void Activate() {
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  QString path;
};

}  // namespace

class TForm1EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void undoAndRedoFollowEveryMarkCommand();
  void dragMovesAMarkAndEscapePutsItBack();
  void wholeFileZoom();
  void piecePlaysToItsEnd();
};

void TForm1EditingTest::undoAndRedoFollowEveryMarkCommand() {
  EditHarness h;
  TForm1& f = *h.form;
  h.AddAt(100);
  h.AddAt(300);
  PressOverlay(f, Qt::LeftButton, h.Column(100));
  f.N6Click();  // delete at the line
  f.N8Click();  // keep head on
  QCOMPARE(h.Sorted(), Marks{300});

  // Ctrl+Z on the window: keep head first, then the delete, the ruler and the cut map following.
  QCOMPARE(Rgb(Strip(f), 300, 0), 0xFFFFFFu);  // keep head with one mark: nothing kept
  h.Activate();
  MoveOverOverlay(f, 10);  // the zoom box takes the focus for the wheel, the keys stay the window's
  QVERIFY(f.Controls().ComboBox1->hasFocus());
  h.Key(Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(!f.Marks().KeepHead() && !f.Menus().N8->isChecked());
  QCOMPARE(Rgb(Strip(f), 300, 0), 0x0000FFu);  // the cut map follows: the mark to the end
  h.Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(h.Sorted(), (Marks{100, 300}));
  QVERIFY(h.RulerMarkerAt(100));
  h.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // redo the delete
  QCOMPARE(h.Sorted(), Marks{300});
  h.Key(Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(f.Marks().KeepHead());

  // Refused while a file is written; opening a file forgets the steps.
  f.Flags().Busy = true;
  f.Undo1Click();
  QVERIFY(f.Marks().KeepHead());
  QCOMPARE(h.prompts.messages.last(), QStringLiteral("ファイル作成中です"));
  f.Flags().Busy = false;
  h.Open(h.path);
  QVERIFY(!f.Menus().Undo1->isEnabled() && !f.Menus().Redo1->isEnabled());
}

void TForm1EditingTest::dragMovesAMarkAndEscapePutsItBack() {
  EditHarness h;
  TForm1& f = *h.form;
  h.AddAt(200);
  h.AddAt(500);
  // Named in the list of pieces (an undo step of its own).
  f.PieceList1Click();
  auto* list = f.findChild<PieceListWindow*>();
  list->Table()->item(1, 4)->setText(QStringLiteral("Intro"));
  QCoreApplication::processEvents();
  QCOMPARE(f.Marks().NameOf(200), std::string("Intro"));
  f.Undo1Click();
  QCOMPARE(f.Marks().NameOf(200), std::string());
  QCOMPARE(list->Table()->item(1, 4)->text(), QString());  // the list follows
  f.Redo1Click();

  // The hover over a marker: the resize cursor and the mark's name.
  h.Mouse(QEvent::MouseMove, h.Column(200));
  QCOMPARE(f.Controls().Image4->cursor().shape(), Qt::SizeHorCursor);
  QVERIFY(f.Controls().Image4->toolTip().contains(QStringLiteral("Intro")));

  // The line follows the pointer; the release moves the mark with its name: one step.
  h.Mouse(QEvent::MouseButtonPress, h.Column(200));
  h.Mouse(QEvent::MouseMove, h.Column(350));
  QVERIFY(h.LineAt(350));
  h.Mouse(QEvent::MouseButtonRelease, h.Column(350));
  QCOMPARE(h.Sorted(), (Marks{350, 500}));
  QCOMPARE(f.Marks().NameOf(350), std::string("Intro"));
  QVERIFY(h.RulerMarkerAt(350) && !h.RulerMarkerAt(200));
  f.Undo1Click();
  QCOMPARE(h.Sorted(), (Marks{200, 500}));
  QCOMPARE(f.Marks().NameOf(200), std::string("Intro"));

  // Escape during the drag: the mark and the line stay where they were.
  PressOverlay(f, Qt::LeftButton, h.Column(50));
  h.Mouse(QEvent::MouseButtonPress, h.Column(500));
  h.Mouse(QEvent::MouseMove, h.Column(600));
  QTest::keyClick(f.Controls().Image4, Qt::Key_Escape);
  h.Mouse(QEvent::MouseButtonRelease, h.Column(600));
  QCOMPARE(h.Sorted(), (Marks{200, 500}));
  QVERIFY(h.LineAt(50) && !h.LineAt(600));

  // A place another mark holds is refused as adding there would be.
  const int messages = static_cast<int>(h.prompts.messages.size());
  h.Drag(500, 200);
  QCOMPARE(h.Sorted(), (Marks{200, 500}));
  QCOMPARE(h.prompts.messages.size(), messages + 1);
  QCOMPARE(h.prompts.messages.last(), QStringLiteral("この位置ではマーク済みです。"));
  // A press beside any marker drags nothing.
  h.Drag(400, 450);
  QCOMPARE(h.Sorted(), (Marks{200, 500}));
}

void TForm1EditingTest::wholeFileZoom() {
  EditHarness h;
  TForm1& f = *h.form;
  QCOMPARE(f.Controls().ComboBox1->itemText(0), QStringLiteral("全体"));
  h.Activate();
  h.Key(Qt::Key_0, Qt::ControlModifier);
  QCOMPARE(f.View().Zoom, 818);  // 621000 frames in 760 columns, rounded up
  QCOMPARE(f.Controls().ComboBox1->currentText(), QStringLiteral("818"));
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("1"));
  f.Controls().ComboBox1->setCurrentIndex(0);  // a choice from the list
  QCOMPARE(f.View().Zoom, 818);
}

// The clock device stands in for the sound output: it plays by the test's clock.
void TForm1EditingTest::piecePlaysToItsEnd() {
  EditHarness h;
  TForm1& f = *h.form;
  // 0.5 s and 1 s at 44100 Hz, beyond the view at zoom 1.
  (void)f.Marks().Add(22051);
  (void)f.Marks().Add(44101);
  f.PieceList1Click();
  auto* list = f.findChild<PieceListWindow*>();
  QVERIFY(list != nullptr);
  QCOMPARE(list->Table()->rowCount(), 3);
  QCOMPARE(list->Table()->item(1, 1)->text(), QStringLiteral("0:00:00.500"));
  list->Table()->setCurrentCell(1, 0);
  QCOMPARE(f.Cursor().LinePos, 22051);  // the row puts the line and the view at the piece
  QVERIFY(h.LineAt(22051));
  f.Menus().FollowPlay1->setChecked(true);
  emit list->Table()->activated(list->Table()->currentIndex());
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  while (h.device.Mode() == PlaybackMode::kPlaying && h.device.now < 3000) {
    h.device.now += 80;
    f.Timer1Timer();
  }
  QCOMPARE(h.device.Mode(), PlaybackMode::kPaused);
  QCOMPARE(h.device.Position(), 1000);
  // The view paged after the line (760 frames a page at zoom 1): it shows the line still.
  QVERIFY(f.View().ViewStart > 22051 + 760);
  QVERIFY(f.Cursor().LineX >= 0 && f.Cursor().LineX < 760);

  // "選んだ部分を保存…": nothing checked is refused; the checked piece alone, numbered as split.
  list->SaveButton()->click();
  QCOMPARE(h.prompts.messages.last(), QStringLiteral("保存する部分にチェックを付けて下さい。"));
  list->Table()->item(2, 0)->setCheckState(Qt::Checked);
  h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("p.wav")));
  list->SaveButton()->click();
  QCOMPARE(h.dir.Listing(), std::string("p02.wav take.wav"));
}

QTEST_MAIN(TForm1EditingTest)
#include "TForm1EditingTest.moc"
