#pragma once
// What the program does between starting and showing its window.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

class MainWindow;

namespace Startup {

// Opens each file named on the command line (MainWindow::openPath); none opens nothing.
// A file that cannot be opened has been reported; the window stays.
void OpenArguments(MainWindow& window, const QStringList& files);
// Writes PNG pictures of the main window into `dir`: as it stands, then with each page
// window in front, then with the first page's instruction tree open, then project
// management (both tabs) and device editing. The paths written.
QStringList WriteScreenshots(MainWindow& window, const QString& dir);

}  // namespace Startup
