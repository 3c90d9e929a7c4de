#include <QApplication>
#include <memory>

#include "ui/UiTest.h"

std::map<QString, UiTestFactory>& UiTests() {
    static std::map<QString, UiTestFactory> tests;
    return tests;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    int failed = 0;
    for (const auto& [name, make] : UiTests()) {
        if (!only.isEmpty() && only != name) continue;
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), QStringList{QString::fromLocal8Bit(argv[0])});
    }
    return failed;
}
