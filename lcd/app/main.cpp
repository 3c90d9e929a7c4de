// lcdscreen: the page editor and downloader for graphic LCD modules.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/Startup.h"
#include "base/AppPaths.h"
#include "base/Messages.h"
#include "ui/EditorSettings.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lcdscreen"));
    QApplication::setApplicationVersion(QStringLiteral(LCD_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("lcdscreen"));
    Startup::InstallTranslations(app, Startup::ChooseLanguage(EditorSettings()));

    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::translate("main", "液晶屏画面编辑与下载程序"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QApplication::translate("main", "要打开的工程(.zkp)或页面(.pg)"),
                                 QStringLiteral("[file]"));
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QApplication::translate("main", "把主窗口的截图(PNG)写入目录 DIR 后退出"),
        QStringLiteral("DIR"));
    parser.addOption(screenshots);
    parser.process(app);

    MainWindow window;
    const std::string warning = window.moduleLink().load(AppPaths::SettingsDir());
    window.show();
    if (!warning.empty())
        QMessageBox::warning(&window, QString::fromStdString(Messages::Tr("提示")),
                             QString::fromStdString(Messages::Tr(warning)));
    Startup::OpenArguments(window, parser.positionalArguments());
    if (parser.isSet(screenshots)) {
        QTimer::singleShot(0, &app, [&] {
            for (const QString& path : Startup::WriteScreenshots(window, parser.value(screenshots)))
                std::printf("%s\n", qPrintable(path));
            app.exit(0);
        });
    }
    return app.exec();
}
