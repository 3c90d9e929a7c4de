#include "Glyphkiln.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "FontOutput.h"
#include "GlyphFile.h"
#include "GlyphView.h"
#include "PreviewGrid.h"

namespace {

const char kFontFilter[] = QT_TRANSLATE_NOOP("QObject", "字库文件 (*.bin);;所有文件 (*)");

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QPushButton* Button(const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Names of the characters in `codes`, at most `limit` of them.
QString Names(const std::vector<GbkCode>& codes, size_t limit = 20) {
    QStringList names;
    for (size_t i = 0; i < codes.size() && i < limit; ++i)
        names << Q(GbkText::Name(codes[i]));
    if (codes.size() > limit) names << QStringLiteral("…");
    return names.join(' ');
}

}  // namespace

GlyphkilnHooks GlyphkilnHooks::Standard() {
    GlyphkilnHooks h;
    h.saveFile = [](QWidget* parent) {
        QFileDialog d(parent, QObject::tr("保存字库文件"), QString(), QObject::tr(kFontFilter));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix("bin");
        d.setOption(QFileDialog::DontConfirmOverwrite, false);
        return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
    };
    h.openFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QObject::tr("打开字库文件"), QString(),
                                            QObject::tr(kFontFilter));
    };
    h.projectFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QObject::tr("打开工程文件"), QString(),
                                            QObject::tr("工程文件 (*.zkp)"));
    };
    h.face = [](QWidget* parent, const QString& current) {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, QFont(current), parent, QObject::tr("字体"));
        return ok ? font.family() : QString();
    };
    h.tell = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, QObject::tr("提示"), text);
    };
    return h;
}

Glyphkiln::Glyphkiln(GlyphkilnHooks hooks, QWidget* parent)
    : QDialog(parent), m_hooks(std::move(hooks)) {
    setWindowTitle(tr("点阵字库生成软件"));
    BuildUi();
    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(150);
    connect(&m_previewTimer, &QTimer::timeout, this, &Glyphkiln::UpdatePreview);
    SetViewMode(false);
    UpdatePreview();
}

Glyphkiln::~Glyphkiln() = default;

void Glyphkiln::BuildUi() {
    auto* help = new QLabel(
        tr("选择点阵的宽度、高度和字体，给出字符（输入、编码范围或工程用到的字符），按“生成”保存"
           "字库文件。文件没有文件头：每个字 ((宽度+7)/8)×高度 字节，按字符的顺序排列，每行"
           "从左到右、最高位在左。查看字库时须用生成时的宽度和高度。"));
    help->setWordWrap(true);

    auto* modes = new QGroupBox(tr("操作类型:"));
    m_generateMode = new QRadioButton(tr("生成字库"));
    m_generateMode->setObjectName("generateMode");
    m_viewMode = new QRadioButton(tr("查看字库"));
    m_viewMode->setObjectName("viewMode");
    m_generateMode->setChecked(true);
    auto* modeRow = new QHBoxLayout(modes);
    modeRow->addWidget(m_generateMode);
    modeRow->addWidget(m_viewMode);
    modeRow->addStretch();

    m_width = new QSpinBox;
    m_width->setObjectName("widthSpin");
    m_height = new QSpinBox;
    m_height->setObjectName("heightSpin");
    for (QSpinBox* s : {m_width, m_height}) {
        s->setRange(1, GlyphFile::kMaxSide);
        s->setValue(32);
    }
    m_face = new QLineEdit(tr("宋体"));
    m_face->setObjectName("faceEdit");
    m_face->setToolTip(tr("字体名称，或字体文件的路径（TrueType、OpenType、BDF、PCF）"));
    QPushButton* faceButton = Button(tr("..."), "faceButton");
    m_faceFound = new QLabel;
    m_faceFound->setObjectName("faceFound");
    m_faceFound->setWordWrap(true);
    auto* cellGrid = new QGridLayout;
    cellGrid->addWidget(new QLabel(tr("宽度:")), 0, 0);
    cellGrid->addWidget(m_width, 0, 1);
    cellGrid->addWidget(new QLabel(tr("高度:")), 0, 2);
    cellGrid->addWidget(m_height, 0, 3);
    cellGrid->addWidget(new QLabel(tr("字体:")), 1, 0);
    cellGrid->addWidget(m_face, 1, 1, 1, 3);
    cellGrid->addWidget(faceButton, 1, 4);
    cellGrid->addWidget(m_faceFound, 2, 1, 1, 4);
    cellGrid->setColumnStretch(1, 1);
    cellGrid->setColumnStretch(3, 1);

    // Generation mode.
    m_generatePanel = new QWidget;
    m_source = new QComboBox;
    m_source->setObjectName("sourceCombo");
    m_source->addItems({tr("输入的字符"), tr("编码范围"), tr("GB2312 一级汉字"), tr("GB2312 全部"),
                        tr("工程用到的字符")});
    m_sourcePages = new QStackedWidget;
    m_chars = new QPlainTextEdit(tr("液晶"));
    m_chars->setObjectName("charEdit");
    m_sourcePages->addWidget(m_chars);
    auto* rangePage = new QWidget;
    m_rangeFirst = new QLineEdit("20");
    m_rangeFirst->setObjectName("rangeFirst");
    m_rangeLast = new QLineEdit("7E");
    m_rangeLast->setObjectName("rangeLast");
    auto* rangeRow = new QHBoxLayout;
    auto* rangeColumn = new QVBoxLayout(rangePage);
    rangeColumn->addLayout(rangeRow);
    rangeColumn->addStretch();
    rangeRow->addWidget(new QLabel(tr("从")));
    rangeRow->addWidget(m_rangeFirst);
    rangeRow->addWidget(new QLabel(tr("到")));
    rangeRow->addWidget(m_rangeLast);
    rangeRow->addWidget(new QLabel(tr("（十六进制 GBK 编码，如 20 到 7E 或 B0A1 到 D7F9）")), 1);
    m_sourcePages->addWidget(rangePage);
    auto note = [this](const QString& text) {
        auto* l = new QLabel(text);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        m_sourcePages->addWidget(l);
    };
    note(tr("GB2312 一级汉字：B0A1 到 D7F9，共 3755 个，按编码顺序。"));
    note(
        tr("GB2312 全部：A1 到 F7 区，每区 94 位，共 8178 个位置，按编码顺序；空位是空白字形，"
           "所以第 n 个字形就是 (区-0xA1)×94+(位-0xA1)。"));
    auto* projectPage = new QWidget;
    m_project = new QLineEdit;
    m_project->setObjectName("projectEdit");
    QPushButton* projectButton = Button(tr("..."), "projectButton");
    auto* projectRow = new QHBoxLayout;
    auto* projectColumn = new QVBoxLayout(projectPage);
    projectColumn->addLayout(projectRow);
    projectColumn->addStretch();
    projectRow->addWidget(new QLabel(tr("工程文件:")));
    projectRow->addWidget(m_project, 1);
    projectRow->addWidget(projectButton);
    m_sourcePages->addWidget(projectPage);
    m_sourcePages->setMaximumHeight(90);
    m_preview = new PreviewGrid;
    m_preview->setObjectName("preview");
    m_summary = new QLabel;
    m_summary->setObjectName("summary");
    m_summary->setWordWrap(true);
    m_generate = Button(tr("生成"), "generateButton");
    auto* generateLayout = new QGridLayout(m_generatePanel);
    generateLayout->setContentsMargins(0, 0, 0, 0);
    generateLayout->addWidget(new QLabel(tr("字符来源:")), 0, 0);
    generateLayout->addWidget(m_source, 0, 1, Qt::AlignLeft);
    generateLayout->addWidget(m_sourcePages, 1, 0, 1, 3);
    generateLayout->addWidget(new QLabel(tr("预览:")), 2, 0, Qt::AlignTop);
    generateLayout->addWidget(m_preview, 2, 1, 1, 2);
    generateLayout->addWidget(m_summary, 3, 0, 1, 2);
    generateLayout->addWidget(m_generate, 3, 2, Qt::AlignRight);
    generateLayout->setColumnStretch(1, 1);
    generateLayout->setRowStretch(2, 1);

    // View mode.
    m_viewPanel = new QWidget;
    QPushButton* open = Button(tr("打开字库文件"), "openButton");
    m_fileLabel = new QLabel;
    m_fileLabel->setObjectName("fileLabel");
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_index = new QSpinBox;
    m_index->setObjectName("indexSpin");
    m_index->setRange(0, 0);
    m_prev = Button(tr("上一个"), "prevButton");
    m_next = Button(tr("下一个"), "nextButton");
    m_view = Button(tr("查看"), "viewButton");
    m_glyphView = new GlyphView;
    m_glyphView->setObjectName("glyphView");
    m_viewNote = new QLabel;
    m_viewNote->setObjectName("viewNote");
    m_viewNote->setWordWrap(true);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(open);
    fileRow->addWidget(m_fileLabel, 1);
    auto* navRow = new QHBoxLayout;
    navRow->addWidget(new QLabel(tr("字形序号:")));
    navRow->addWidget(m_index);
    navRow->addWidget(m_prev);
    navRow->addWidget(m_next);
    navRow->addWidget(m_view);
    navRow->addStretch();
    auto* viewLayout = new QVBoxLayout(m_viewPanel);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->addLayout(fileRow);
    viewLayout->addLayout(navRow);
    viewLayout->addWidget(m_glyphView, 1);
    viewLayout->addWidget(m_viewNote);

    QPushButton* about = Button(tr("关于 Glyphkiln(&A)..."), "aboutButton");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(about);
    bottom->addStretch();

    auto* top = new QVBoxLayout(this);
    top->addWidget(help);
    top->addWidget(modes);
    top->addLayout(cellGrid);
    top->addWidget(m_generatePanel, 1);
    top->addWidget(m_viewPanel, 1);
    top->addLayout(bottom);
    resize(560, 600);

    connect(m_viewMode, &QRadioButton::toggled, this, &Glyphkiln::SetViewMode);
    connect(faceButton, &QPushButton::clicked, this, [this] {
        const QString family = m_hooks.face(this, m_face->text());
        if (!family.isEmpty()) m_face->setText(family);
    });
    connect(projectButton, &QPushButton::clicked, this, [this] {
        const QString path = m_hooks.projectFile(this);
        if (!path.isEmpty()) m_project->setText(path);
    });
    const auto cellChanged = [this] {
        if (InViewMode() && !m_strFontFile.isEmpty()) DrawGlyph();
        SchedulePreview();
    };
    connect(m_width, &QSpinBox::valueChanged, this, cellChanged);
    connect(m_height, &QSpinBox::valueChanged, this, cellChanged);
    connect(m_face, &QLineEdit::textChanged, this, &Glyphkiln::SchedulePreview);
    connect(m_chars, &QPlainTextEdit::textChanged, this, &Glyphkiln::SchedulePreview);
    connect(m_rangeFirst, &QLineEdit::textChanged, this, &Glyphkiln::SchedulePreview);
    connect(m_rangeLast, &QLineEdit::textChanged, this, &Glyphkiln::SchedulePreview);
    connect(m_project, &QLineEdit::textChanged, this, &Glyphkiln::SchedulePreview);
    connect(m_source, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_sourcePages->setCurrentIndex(i);
        SchedulePreview();
    });
    connect(m_generate, &QPushButton::clicked, this, &Glyphkiln::GenerateFont);
    connect(open, &QPushButton::clicked, this, &Glyphkiln::OpenClicked);
    connect(m_prev, &QPushButton::clicked, this, [this] { m_index->setValue(m_nGlyphIndex - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { m_index->setValue(m_nGlyphIndex + 1); });
    connect(m_view, &QPushButton::clicked, this, &Glyphkiln::DrawGlyph);
    connect(m_index, &QSpinBox::valueChanged, this, [this] {
        if (!m_strFontFile.isEmpty()) DrawGlyph();
    });
    connect(about, &QPushButton::clicked, this, &Glyphkiln::About);
}

bool Glyphkiln::InViewMode() const {
    return m_viewMode->isChecked();
}

void Glyphkiln::SetViewMode(bool view) {
    if (m_viewMode->isChecked() != view) m_viewMode->setChecked(view);
    m_generateMode->setChecked(!view);
    m_generatePanel->setVisible(!view);
    m_viewPanel->setVisible(view);
    UpdateNavigation();
    if (!view) SchedulePreview();
}

void Glyphkiln::SetCellSize(int width, int height) {
    m_width->setValue(width);
    m_height->setValue(height);
}

void Glyphkiln::OpenFontFile(const QString& path) {
    SetViewMode(true);
    m_strFontFile = QFileInfo(path).absoluteFilePath();
    m_fileLabel->setText(m_strFontFile);
    DrawGlyph();
}

CharSource Glyphkiln::Source() const {
    CharSource s;
    s.kind = static_cast<SourceKind>(m_source->currentIndex());
    // The edit gives line breaks as "\n"; in the file a line break is the two characters
    // CR LF, as typed text always had it.
    s.text = m_chars->toPlainText().replace('\n', QStringLiteral("\r\n")).toStdString();
    s.range = (m_rangeFirst->text().trimmed() + '-' + m_rangeLast->text().trimmed()).toStdString();
    s.project = m_project->text().trimmed().toStdString();
    return s;
}

QString Glyphkiln::EnsureFace() {
    const std::string name = m_face->text().trimmed().toStdString();
    if (m_renderer.IsOpen() && name == m_openFaceName) return "";
    FaceChoice face;
    std::string error;
    if (!GlyphRenderer::Find(name, face, error) || !m_renderer.Open(face, error)) {
        m_openFaceName.clear();
        m_faceFound->setText(Q(error));
        return Q(error);
    }
    m_openFaceName = name;
    m_faceFound->setText(tr("使用字体：%1（%2）").arg(Q(m_renderer.Face().family), Q(face.file)));
    return "";
}

void Glyphkiln::SchedulePreview() {
    if (!InViewMode()) m_previewTimer.start();
}

void Glyphkiln::UpdatePreview() {
    std::vector<GbkCode> codes;
    std::string error;
    QString problem = EnsureFace();
    if (problem.isEmpty() && !CollectCodes(Source(), codes, error)) problem = Q(error);
    if (!problem.isEmpty()) {
        m_preview->SetCells({});
        m_summary->setText(problem);
        return;
    }
    const int w = m_width->value(), h = m_height->value();
    const std::vector<char32_t> points = GbkText::ToUnicode(codes);
    std::vector<Cell> cells(std::min<size_t>(codes.size(), kPreviewGlyphs));
    for (size_t i = 0; i < cells.size(); ++i)
        m_renderer.Render(points[i], w, h, cells[i]);
    m_preview->SetCells(std::move(cells));
    std::vector<GbkCode> missing;
    for (size_t i = 0; i < codes.size(); ++i)
        if (points[i] != 0 && !m_renderer.Has(points[i])) missing.push_back(codes[i]);
    const size_t glyph = GlyphFile::GlyphBytes(w, h);
    QString summary = tr("共 %1 个字，每个 %2 字节，文件 %3 字节")
                          .arg(codes.size())
                          .arg(glyph)
                          .arg(codes.size() * glyph);
    if (!missing.empty())
        summary +=
            tr("；字体中没有 %1 个字（字形为空白）：%2").arg(missing.size()).arg(Names(missing));
    m_summary->setText(summary);
}

void Glyphkiln::GenerateFont() {
    const int w = m_width->value(), h = m_height->value();
    std::string error = GlyphFile::CheckCellSize(w, h);
    std::vector<GbkCode> codes;
    QString problem = error.empty() ? EnsureFace() : Q(error);
    const CharSource source = Source();
    std::vector<std::string> inputs;
    if (problem.isEmpty() && !CollectCodes(source, codes, error, &inputs)) problem = Q(error);
    if (problem.isEmpty() && codes.empty()) problem = tr("没有要生成的字符，不写字库文件");
    if (!problem.isEmpty()) {
        m_hooks.tell(this, problem);
        return;
    }
    const QString path = m_hooks.saveFile(this);
    if (path.isEmpty()) return;
    // Not over the face's own file, nor the project or a page it reads.
    inputs.push_back(m_renderer.Face().file);
    const std::string over = OutputOntoInput(path.toStdString(), inputs);
    if (!over.empty()) {
        m_hooks.tell(this, Q(over));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const GeneratedFont font = ::GenerateFont(m_renderer, codes, w, h);
    // A regular file is replaced whole, a device or FIFO written as it is.
    const bool ok = WriteOutput(path.toStdString(), font.bytes, error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        m_hooks.tell(this, tr("写字库文件失败：%1").arg(Q(error)));
        return;
    }
    m_summary->setText(tr("已生成 %1：%2 个字，%3 字节")
                           .arg(QFileInfo(path).absoluteFilePath())
                           .arg(codes.size())
                           .arg(font.bytes.size()));
    if (!font.missing.empty())
        m_hooks.tell(this, tr("字体“%1”中没有这 %2 个字，它们的字形是空白的：%3")
                               .arg(Q(m_renderer.Face().family))
                               .arg(font.missing.size())
                               .arg(Names(font.missing)));
}

void Glyphkiln::OpenClicked() {
    // Cancelling keeps the file that is open, if any.
    const QString path = m_hooks.openFile(this);
    if (!path.isEmpty()) OpenFontFile(path);
}

void Glyphkiln::DrawGlyph() {
    if (m_strFontFile.isEmpty()) return;
    GlyphFile file;
    std::string error;
    if (!file.Load(m_strFontFile.toStdString(), m_width->value(), m_height->value(), error)) {
        m_nGlyphCount = 0;
        m_glyphView->SetNote(Q(error));
        m_viewNote->setText(Q(error));
        UpdateNavigation();
        return;
    }
    m_nGlyphCount = static_cast<int>(std::min<size_t>(file.Count(), INT32_MAX));
    {
        // The range may move the value; the glyph is drawn once, below.
        const QSignalBlocker block(m_index);
        m_index->setRange(0, std::max(0, m_nGlyphCount - 1));
    }
    m_nGlyphIndex = m_index->value();
    Cell cell;
    if (file.Glyph(static_cast<size_t>(m_nGlyphIndex), cell))
        m_glyphView->SetGlyph(cell);
    else
        m_glyphView->SetNote(Q(file.Missing(static_cast<size_t>(m_nGlyphIndex))));
    QString note = tr("共 %1 个字形，每个 %2 字节")
                       .arg(m_nGlyphCount)
                       .arg(GlyphFile::GlyphBytes(file.Width(), file.Height()));
    if (!file.Note().empty()) note += tr("；") + Q(file.Note());
    m_viewNote->setText(note);
    UpdateNavigation();
}

void Glyphkiln::UpdateNavigation() {
    const bool open = !m_strFontFile.isEmpty() && m_nGlyphCount > 0;
    m_prev->setEnabled(open && m_nGlyphIndex > 0);
    m_next->setEnabled(open && m_nGlyphIndex + 1 < m_nGlyphCount);
    m_view->setEnabled(!m_strFontFile.isEmpty());
}

void Glyphkiln::About() {
    QMessageBox::about(
        this, tr("关于 Glyphkiln"),
        tr("Glyphkiln 点阵字库生成软件\n版本 %1").arg(QStringLiteral(GLYPHKILN_VERSION)));
}
