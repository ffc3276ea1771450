// Start-up: Qt's own Japanese texts reach the message boxes' buttons and the file dialogs.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/AppStartup.h"

class AppStartupTest : public QObject {
  Q_OBJECT

 private slots:
  // Whatever the locale, the program's start-up makes the toolkit's texts Japanese.
  void toolkitTextsInJapanese() {
    sonaveld::PrepareApplication(*qApp);
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::No)->text() +
                 box.button(QMessageBox::Cancel)->text(),
             QStringLiteral("はい(&Y)いいえ(&N)キャンセル"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QCOMPARE(QStringList({dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
                          dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
                          buttons->button(QDialogButtonBox::Open)->text()}),
             QStringList({"アドレス:", "ファイル名(&N):", "開く(&O)"}));
    QCOMPARE(QLocale().language(), QLocale::Japanese);  // e.g. the file types the dialogs list
    QVERIFY(!QApplication::quitOnLastWindowClosed());
  }
};

QTEST_MAIN(AppStartupTest)
#include "AppStartupTest.moc"
