#pragma once
// What the program does between starting and showing its window.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

class MainWindow;
class QCoreApplication;

namespace Startup {

// Qt's own texts (file, font and colour dialogs, standard buttons) in Chinese, as the
// windows around them are; false when Qt's translations are not installed.
bool InstallQtTranslations(QCoreApplication& app);

// Opens each file named on the command line (MainWindow::openPath); none opens nothing.
// A file that cannot be opened has been reported; the window stays.
void OpenArguments(MainWindow& window, const QStringList& files);
// Writes PNG pictures of the main window into `dir`: as it stands, then with each page
// window in front, then with the first page's instruction tree open, with the grid and
// as the module shows it, each menu, the manual's window, the link dialogs, the virtual
// module, then project management (both tabs) and device editing. The paths written.
QStringList WriteScreenshots(MainWindow& window, const QString& dir);

}  // namespace Startup
