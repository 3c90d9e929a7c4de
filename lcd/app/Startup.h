#pragma once
// What the program does between starting and showing its window.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Messages.h"

class EditorSettings;
class MainWindow;
class QCoreApplication;

namespace Startup {

// The language of the program: the one chosen in "语言 / Language", else the locale's.
Language ChooseLanguage(const EditorSettings& settings);
// Makes the program speak `language`: the core's messages (Messages::Use), the windows'
// texts (lcdscreen_en.qm for English) and Qt's own dialogs and buttons (Qt's Chinese
// translations for Chinese). False when a translation file was not found (the windows
// then keep their Chinese, Qt's dialogs their English).
bool InstallTranslations(QCoreApplication& app, Language language);

// Opens each file named on the command line (MainWindow::openPath); none opens nothing.
// A file that cannot be opened has been reported; the window stays.
void OpenArguments(MainWindow& window, const QStringList& files);
// Writes PNG pictures of the main window into `dir`: as it stands, then with each page
// window in front, then with the first page's instruction tree open, with the grid and
// as the module shows it, each menu, the manual's window, the link dialogs, the virtual
// module, then project management (both tabs) and device editing. The paths written.
QStringList WriteScreenshots(MainWindow& window, const QString& dir);

}  // namespace Startup
