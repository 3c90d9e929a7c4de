#pragma once
// The widget tests: one QObject class per file, registered by name; test_ui runs the
// class named on its command line (all of them without one).

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>

using UiTestFactory = std::function<QObject*()>;
std::map<QString, UiTestFactory>& UiTests();
inline bool RegisterUiTest(const char* name, UiTestFactory make) {
    UiTests()[QString::fromLatin1(name)] = std::move(make);
    return true;
}
#define UI_TEST(Class) \
    static const bool registered##Class = RegisterUiTest(#Class, [] { return new Class; })

// A private copy of the demo project, so that saving never touches the examples.
struct DemoCopy {
    QTemporaryDir dir;
    DemoCopy() {
        const QDir demo(QStringLiteral(LCD_EXAMPLES "/demo"));
        for (const QString& name : demo.entryList(QDir::Files))
            QFile::copy(demo.filePath(name), path(name));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};
