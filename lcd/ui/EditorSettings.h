#pragma once
// What the editor remembers between runs, in "lcdscreen.ini" of the settings directory
// (written whole, through a temporary file): the grid, the undo depth and the recently
// opened projects and pages.

#include <QSettings>
#include <QStringList>

class EditorSettings {
public:
    static constexpr int kRecentCount = 8;
    static constexpr int kDefaultGrid = 8;
    static constexpr int kMaxGrid = 256;

    enum class Recent { Projects, Pages };

    // The settings directory's file; tests give their own.
    EditorSettings();
    explicit EditorSettings(const QString& file);

    int gridSize() const;
    void setGridSize(int pixels);
    bool gridShown() const;
    void setGridShown(bool shown);
    bool snap() const;
    void setSnap(bool snap);
    // Undo steps kept per page (100 unless the file says otherwise, 1..10000).
    int undoSteps() const;
    // The language the user chose in "语言 / Language": "zh", "en", or "" to follow the
    // locale. Read at start.
    QString language() const;
    void setLanguage(const QString& language);

    // Newest first.
    QStringList recent(Recent list) const;
    void addRecent(Recent list, const QString& path);
    // Takes the entries whose files are gone out of the list; the ones taken.
    QStringList dropMissing(Recent list);

private:
    mutable QSettings m_settings;
};
