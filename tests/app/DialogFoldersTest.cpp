// Where the file dialogs start: the open dialogs in the folder of the last file chosen, the save
// dialogs in the folder of the open WAV file.
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "TForm2TestSupport.h"
#include "app/QtPrompts.h"

using namespace sonaveld;
using namespace sonaveld::test;

class DialogFoldersTest : public QObject {
  Q_OBJECT

 private slots:
  void mainWindowDialogs();
  void normalizerAddDialog();
  void qtDialogsStartInFolder();
};

// Before any choice the working directory (empty folder); after x/a.wav is opened the save
// dialogs and the next open dialog start in x; a file given at start (y/b.wav) moves them to y.
void DialogFoldersTest::mainWindowDialogs() {
  Harness h;
  TForm1& f = *h.form;
  QVERIFY(QDir().mkpath(QString::fromStdString(h.dir.File("x"))) && QDir().mkpath(QString::fromStdString(h.dir.File("y"))));
  WavRecipe recipe;
  recipe.frames = 4000;
  const QString a = h.Wav("x/a.wav", recipe), b = h.Wav("y/b.wav", recipe);
  const QString x = QFileInfo(a).absolutePath(), y = QFileInfo(b).absolutePath();
  h.Open(a);
  QVERIFY(f.Marks().Add(1001).ok());
  f.N3Click();
  f.N10Click();
  f.N9Click();
  f.Open1Click();  // cancelled: the folder stays
  f.OpenWaveFile(b);
  QVERIFY(f.Marks().Add(1001).ok());
  f.N3Click();
  f.Open1Click();
  QCOMPARE(h.prompts.dialogFolders,
           QStringList({"OpenDialog1 ", "SaveDialog1 " + x, "SaveDialog2 " + x, "SaveDialog2 " + x,
                        "OpenDialog1 " + x, "SaveDialog1 " + y, "OpenDialog1 " + y}));
  QVERIFY(h.prompts.messages.isEmpty());
}

// The normalizer's add dialog starts where the files added last lie.
void DialogFoldersTest::normalizerAddDialog() {
  Form2Fixture f;
  QVERIFY(QDir().mkpath(QString::fromStdString(f.dir.File("z"))));
  const QString c = f.Wav("z/c.wav", 16);
  f.Add({c});
  f.Add({});
  QCOMPARE(f.prompts.dialogFolders, QStringList({"Form2OpenDialog1 ", "Form2OpenDialog1 " + QFileInfo(c).absolutePath()}));
}

// The real dialogs, closed by a timer as soon as each shows: every one opens in the folder given.
void DialogFoldersTest::qtDialogsStartInFolder() {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.File("w"));
  QVERIFY(QDir().mkpath(folder));
  QStringList shownIn;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      shownIn << dialog->directory().absolutePath();
      dialog->reject();
    }
  });
  closer.start(10);
  QtPrompts prompts;
  prompts.OpenDialog1(folder);
  prompts.SaveDialog1(folder);
  prompts.SaveDialog2(folder);
  prompts.Form2OpenDialog1(folder);
  QCOMPARE(shownIn, QStringList({folder, folder, folder, folder}));
}

QTEST_MAIN(DialogFoldersTest)
#include "DialogFoldersTest.moc"
