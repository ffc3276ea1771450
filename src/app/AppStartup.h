#pragma once

class QApplication;
class QCoreApplication;

namespace sonaveld {

// Loads Qt's own Japanese texts (qtbase_ja.qm from Qt's translations folder) and installs them in
// app whatever the system locale, so the file dialogs and the standard buttons of the message
// boxes read in Japanese. The translator is owned by app. False, with nothing installed, when the
// file cannot be loaded (the toolkit's texts then stay English).
bool InstallQtJapanese(QCoreApplication& app);

// What the program sets on its application object before the first window: its name, ending when
// the main window closes (not when the last window does), the window face's substitutes, Qt's
// Japanese texts and Japanese as the default locale (the file types the dialogs list).
void PrepareApplication(QApplication& app);

}  // namespace sonaveld
