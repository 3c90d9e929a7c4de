#pragma once
// The language of a Qt program (lcdscreen, Glyphkiln): what the person is told by the core
// (Messages::Use) and by the windows, whose English comes from `program`_en.qm while Qt's
// own dialogs and buttons take Qt's Chinese beside Chinese windows.

#include "base/Messages.h"

class QCoreApplication;

namespace QtLanguage {

// Installs the translations for `language` into `app`; false when the file was not found
// (the windows keep their Chinese, Qt's dialogs their English).
bool Install(QCoreApplication& app, Language language, const char* program);

}  // namespace QtLanguage
