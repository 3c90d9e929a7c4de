#include "QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include "base/AppPaths.h"

namespace QtLanguage {

bool Install(QCoreApplication& app, Language language, const char* program) {
    Messages::Use(language);
    auto* translator = new QTranslator(&app);
    const std::string file = std::string(program) + "_en.qm";
    const bool loaded =
        language == Language::English
            ? translator->load(QString::fromStdString(AppPaths::FindIn(
                  {AppPaths::DataDir() + "/translations", LCD_BUILD_DATA_DIR "/translations"},
                  file)))
            : translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                               QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace QtLanguage
