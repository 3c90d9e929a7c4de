#include "ui/EditorSettings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "base/AppPaths.h"

namespace {

QString KeyOf(EditorSettings::Recent list) {
    return list == EditorSettings::Recent::Projects ? QStringLiteral("recent/projects")
                                                    : QStringLiteral("recent/pages");
}

}  // namespace

EditorSettings::EditorSettings()
    : EditorSettings(QDir(QString::fromStdString(AppPaths::SettingsDir()))
                         .filePath(QStringLiteral("lcdscreen.ini"))) {}

EditorSettings::EditorSettings(const QString& file) : m_settings(file, QSettings::IniFormat) {}

int EditorSettings::gridSize() const {
    return std::clamp(m_settings.value(QStringLiteral("grid/size"), kDefaultGrid).toInt(), 2,
                      kMaxGrid);
}

void EditorSettings::setGridSize(int pixels) {
    m_settings.setValue(QStringLiteral("grid/size"), std::clamp(pixels, 2, kMaxGrid));
}

bool EditorSettings::gridShown() const {
    return m_settings.value(QStringLiteral("grid/shown"), false).toBool();
}

void EditorSettings::setGridShown(bool shown) {
    m_settings.setValue(QStringLiteral("grid/shown"), shown);
}

bool EditorSettings::snap() const {
    return m_settings.value(QStringLiteral("grid/snap"), false).toBool();
}

void EditorSettings::setSnap(bool snap) {
    m_settings.setValue(QStringLiteral("grid/snap"), snap);
}

int EditorSettings::undoSteps() const {
    return std::clamp(m_settings.value(QStringLiteral("edit/undoSteps"), 100).toInt(), 1, 10000);
}

QString EditorSettings::language() const {
    const QString value = m_settings.value(QStringLiteral("ui/language")).toString();
    return value == QStringLiteral("zh") || value == QStringLiteral("en") ? value : QString();
}

void EditorSettings::setLanguage(const QString& language) {
    m_settings.setValue(QStringLiteral("ui/language"), language);
}

QStringList EditorSettings::recent(Recent list) const {
    return m_settings.value(KeyOf(list)).toStringList().mid(0, kRecentCount);
}

void EditorSettings::addRecent(Recent list, const QString& path) {
    QStringList paths = recent(list);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    m_settings.setValue(KeyOf(list), paths.mid(0, kRecentCount));
}

QStringList EditorSettings::dropMissing(Recent list) {
    QStringList kept, dropped;
    for (const QString& path : recent(list))
        (QFileInfo::exists(path) ? kept : dropped).append(path);
    if (!dropped.isEmpty()) m_settings.setValue(KeyOf(list), kept);
    return dropped;
}
