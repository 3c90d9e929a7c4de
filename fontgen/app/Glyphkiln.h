#pragma once
// "点阵字库生成软件": the generator and viewer dialog. Generation mode turns characters
// (typed, a code range, the GB2312 presets or a project's characters) into a font file
// with a live preview; view mode opens such a file and steps through its glyphs. Both
// modes share the cell width, height and face.

#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "CharSource.h"
#include "GlyphRenderer.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class GlyphView;
class PreviewGrid;

// The dialogs and message boxes the window opens; tests put their own in. A chooser
// returns "" when the user cancelled.
struct GlyphkilnHooks {
    std::function<QString(QWidget*)> saveFile;
    std::function<QString(QWidget*)> openFile;
    std::function<QString(QWidget*)> projectFile;
    std::function<QString(QWidget*, const QString& current)> face;
    std::function<void(QWidget*, const QString& text)> tell;

    static GlyphkilnHooks Standard();
};

class Glyphkiln : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewGlyphs = 256;

    explicit Glyphkiln(GlyphkilnHooks hooks = GlyphkilnHooks::Standard(),
                       QWidget* parent = nullptr);
    ~Glyphkiln() override;

    // Switches to view mode and shows `path` (full path kept) at the current cell size.
    void OpenFontFile(const QString& path);
    void SetCellSize(int width, int height);
    bool InViewMode() const;

private:
    void BuildUi();
    void SetViewMode(bool view);
    CharSource Source() const;
    // The face named in "字体:", opened once per name; "" or the complaint.
    QString EnsureFace();
    void SchedulePreview();
    void UpdatePreview();
    void GenerateFont();
    void OpenClicked();
    // `DrawGlyph`: reads the file again and shows glyph m_nGlyphIndex.
    void DrawGlyph();
    void UpdateNavigation();
    void About();

    GlyphkilnHooks m_hooks;
    GlyphRenderer m_renderer;
    std::string m_openFaceName;
    QTimer m_previewTimer;

    // Dialog state.
    QString m_strFontFile;
    int m_nGlyphIndex = 0;
    int m_nGlyphCount = 0;

    QRadioButton* m_generateMode = nullptr;
    QRadioButton* m_viewMode = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QLineEdit* m_face = nullptr;
    QLabel* m_faceFound = nullptr;
    QWidget* m_generatePanel = nullptr;
    QComboBox* m_source = nullptr;
    QStackedWidget* m_sourcePages = nullptr;
    QPlainTextEdit* m_chars = nullptr;
    QLineEdit* m_rangeFirst = nullptr;
    QLineEdit* m_rangeLast = nullptr;
    QLineEdit* m_project = nullptr;
    PreviewGrid* m_preview = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_generate = nullptr;
    QWidget* m_viewPanel = nullptr;
    QLabel* m_fileLabel = nullptr;
    QSpinBox* m_index = nullptr;
    QPushButton* m_prev = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_view = nullptr;
    GlyphView* m_glyphView = nullptr;
    QLabel* m_viewNote = nullptr;
};
