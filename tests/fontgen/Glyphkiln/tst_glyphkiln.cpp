// The dialog with real mouse and key events (QT_QPA_PLATFORM=offscreen), and the command
// line of the glyphkiln program.

#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "../FontgenTest.h"
#include "GlyphView.h"
#include "Glyphkiln.h"

class TstGlyphkiln : public QObject {
    Q_OBJECT
private slots:
    void init();
    void modes_data();
    void modes();
    void navigation_data();
    void navigation();
    void generatesTypedText();
    void commandLine_data();
    void commandLine();
    void writesIntoAFifo();

private:
    template <typename T>
    T* Find(const char* name) {
        T* w = m_dialog->findChild<T*>(name);
        if (!w) qFatal("no widget %s", name);
        return w;
    }
    void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }
    // Replaces the text of an edit or spin box as a user does: select all, type.
    void Type(const char* name, const QString& text) {
        QWidget* w = Find<QWidget>(name);
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Glyphkiln> m_dialog;
    QString m_chosen;  // what the file dialogs answer
    QStringList m_told;
};

void TstGlyphkiln::init() {
    GlyphkilnHooks hooks;
    hooks.saveFile = hooks.openFile = hooks.projectFile = [this](QWidget*) { return m_chosen; };
    hooks.face = [](QWidget*, const QString& current) { return current; };
    hooks.tell = [this](QWidget*, const QString& text) { m_told << text; };
    m_told.clear();
    m_dialog = std::make_unique<Glyphkiln>(hooks);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TstGlyphkiln::modes_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("viewing");
    QTest::newRow("starts_generating") << QStringList{} << false;
    QTest::newRow("view_mode") << QStringList{"viewMode"} << true;
    QTest::newRow("back_to_generating") << QStringList{"viewMode", "generateMode"} << false;
}

void TstGlyphkiln::modes() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, viewing);
    for (const QString& name : clicks)
        Click(name.toLatin1().constData());
    for (const char* name : {"charEdit", "generateButton", "preview"})
        QCOMPARE(Find<QWidget>(name)->isVisible(), !viewing);
    for (const char* name : {"openButton", "indexSpin", "prevButton", "nextButton", "glyphView"})
        QCOMPARE(Find<QWidget>(name)->isVisible(), viewing);
    // With no font file open there is nothing to step through.
    for (const char* name : {"prevButton", "nextButton", "viewButton"})
        QVERIFY(!Find<QWidget>(name)->isEnabled());
}

void TstGlyphkiln::navigation_data() {
    QTest::addColumn<int>("nexts");
    QTest::addColumn<int>("prevs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::newRow("opened_at_0") << 0 << 0 << "" << 0;
    QTest::newRow("one_next") << 1 << 0 << "" << 1;
    QTest::newRow("to_the_last") << 9 << 0 << "" << 9;
    QTest::newRow("next_disabled_at_9") << 12 << 0 << "" << 9;
    QTest::newRow("back_one") << 9 << 1 << "" << 8;
    QTest::newRow("typed_index") << 0 << 0 << "5" << 5;
}

void TstGlyphkiln::navigation() {
    QFETCH(int, nexts);
    QFETCH(int, prevs);
    QFETCH(QString, typed);
    QFETCH(int, index);
    // Ten 8 x 16 glyphs; every row of glyph i is the byte i.
    m_chosen = m_dir.filePath("ten.bin");
    QFile file(m_chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (char i = 0; i < 10; ++i)
        file.write(QByteArray(16, i));
    file.close();
    Click("viewMode");
    Type("widthSpin", "8");
    Type("heightSpin", "16");
    Click("openButton");
    for (int i = 0; i < nexts; ++i)
        Click("nextButton");
    for (int i = 0; i < prevs; ++i)
        Click("prevButton");
    if (!typed.isEmpty()) Type("indexSpin", typed);
    QCOMPARE(Find<QSpinBox>("indexSpin")->value(), index);
    QCOMPARE(Find<QWidget>("prevButton")->isEnabled(), index > 0);
    QCOMPARE(Find<QWidget>("nextButton")->isEnabled(), index < 9);
    const Cell& shown = Find<GlyphView>("glyphView")->Glyph();
    QCOMPARE(shown.width * shown.height, 8 * 16);
    for (int x = 0; x < 8; ++x)
        QCOMPARE(shown.At(x, 15), ((index >> (7 - x)) & 1) != 0);
    // Enlarged on white: red squares exactly where the glyph has ink.
    const QImage pixels = Find<QWidget>("glyphView")->grab().toImage();
    int red = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            red += pixels.pixelColor(x, y) == QColor(255, 0, 0);
    QCOMPARE(red > 0, index != 0);
    QCOMPARE(pixels.pixelColor(0, 0), QColor(Qt::white));
}

void TstGlyphkiln::generatesTypedText() {
    m_chosen = m_dir.filePath("typed.bin");
    Type("faceEdit", kFixed8x13);
    Type("widthSpin", "8");
    Type("heightSpin", "13");
    Type("charEdit", "AB");
    QTest::keyClick(Find<QWidget>("charEdit"), Qt::Key_Return);
    QTest::keyClicks(Find<QWidget>("charEdit"), "C");
    QInputMethodEvent chinese;
    chinese.setCommitString(QString::fromUtf8("液"));
    QApplication::sendEvent(Find<QWidget>("charEdit"), &chinese);
    // A line break is CR LF in the file: A B CR LF C 液.
    QTRY_VERIFY(
        Find<QLabel>("summary")->text().startsWith(QString::fromUtf8("共 6 个字，每个 13")));
    Click("generateButton");
    QFile file(m_chosen);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 6 * 13);
    QCOMPARE(bytes.left(13).toHex().toUpper(), QByteArray("000018244242427E4242420000"));
    QCOMPARE(bytes.mid(26, 26), QByteArray(26, 0));
    QCOMPARE(m_told.size(), 1);  // the face has no 液: its glyph is blank and the user told
    QVERIFY(m_told[0].contains(QString::fromUtf8("液")));
}

void TstGlyphkiln::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("bytes");     // -1: refused; with "-o -" the bytes on stdout
    QTest::addColumn<QString>("says");  // a piece of what it prints
    // In the test's folder: serifbold.ttf (a copy of DejaVu Serif Bold), junk.ttf (not a
    // font), empty.ttf, the folder fonts/ and a copy of the demo project in demo/.
    const QStringList gen{"generate", "--font", kFixed8x13, "--size", "8x13", "-o", "OUT"};
    const auto font = [](const char* face, QStringList rest) {
        return QStringList{"generate", "--font", face, "--size", "8x13"} + rest;
    };
    const QStringList view{"view", "IN", "--size", "8x13", "-o", "OUT"};
    const QStringList ab{"--text", "AB", "-o", "OUT"};
    // clang-format off
    QTest::newRow("generate") << gen + QStringList{"--text", "AB"} << 26 << "";
    QTest::newRow("generate_range") << gen + QStringList{"--range", "41-43"} << 39 << "";
    QTest::newRow("unknown_option") << gen + QStringList{"--text", "A", "--bogus"} << -1 << "";
    QTest::newRow("no_source") << gen << -1 << "";
    QTest::newRow("two_sources") << gen + QStringList{"--text", "A", "--gb2312"} << -1 << "";
    QTest::newRow("zero_width") << QStringList{"generate", "--font", kFixed8x13, "--size", "0x13", "--text", "A", "-o", "OUT"} << -1 << "";
    QTest::newRow("backwards_range") << gen + QStringList{"--range", "7E-20"} << -1 << "";
    QTest::newRow("missing_font_file") << font("/no/such.ttf", ab) << -1 << "找不到字体文件";
    QTest::newRow("relative_font_file") << font("serifbold.ttf", ab) << 26 << "DejaVu Serif";
    QTest::newRow("not_a_font") << font("junk.ttf", ab) << -1 << "无法打开字体文件 junk.ttf";
    QTest::newRow("empty_font") << font("empty.ttf", ab) << -1 << "无法打开字体文件 empty.ttf";
    QTest::newRow("font_folder") << font("fonts", ab) << -1 << "fonts 是一个目录";
    QTest::newRow("unknown_family") << font("No Such Face", ab) << -1 << "没有安装名为“No Such Face”";
    QTest::newRow("family_any_case") << font("dejavu sans mono", ab) << 26 << "DejaVu Sans Mono";
    QTest::newRow("empty_text") << gen + QStringList{"--text", ""} << -1 << "没有要生成的字符";
    QTest::newRow("size_twice") << gen + QStringList{"--text", "A", "--size", "8x13"} << -1 << "--size 只能给一次";
    QTest::newRow("onto_the_font") << font("serifbold.ttf", {"--text", "A", "-o", "serifbold.ttf"}) << -1 << "写入会毁掉它";
    QTest::newRow("onto_a_project_page") << font(kFixed8x13, {"--project", "demo/demo.zkp", "-o", "demo/main.pg"}) << -1 << "写入会毁掉它";
    QTest::newRow("to_stdout") << font(kFixed8x13, {"--text", "AB", "-o", "-"}) << 26 << "";
    QTest::newRow("view_sheet") << view << 0 << "";
    QTest::newRow("view_one_glyph") << view + QStringList{"--index", "1"} << 0 << "";
    QTest::newRow("view_past_last") << view + QStringList{"--index", "2"} << -1 << "编号 0 到 1";
    QTest::newRow("view_negative_index") << view + QStringList{"--index", "-1"} << -1 << "--index -1 超出范围";
    QTest::newRow("view_onto_its_file") << QStringList{"view", "IN", "--size", "8x13", "-o", "IN"} << -1 << "写入会毁掉它";
    QTest::newRow("view_bad_size") << QStringList{"view", "IN", "--size", "8by13", "-o", "OUT"} << -1 << "";
    // clang-format on
}

void TstGlyphkiln::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, bytes);
    QFETCH(QString, says);
    const QString in = m_dir.filePath("in.bin"), out = m_dir.filePath("out");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(26, '\x42'));
    file.close();
    QFile::remove(out);
    QFile::remove(m_dir.filePath("serifbold.ttf"));
    QVERIFY(QFile::copy("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
                        m_dir.filePath("serifbold.ttf")));
    QFile junk(m_dir.filePath("junk.ttf")), empty(m_dir.filePath("empty.ttf"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && empty.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, '\x5A'));
    QDir(m_dir.path()).mkdir("fonts");
    QDir(m_dir.path()).mkdir("demo");
    for (const QString& name : QDir(LCD_EXAMPLES "/demo").entryList(QDir::Files))
        QFile::copy(LCD_EXAMPLES "/demo/" + name, m_dir.filePath("demo/" + name));
    const qint64 page = QFileInfo(m_dir.filePath("demo/main.pg")).size();
    args.replaceInStrings(QRegularExpression("^IN$"), in);
    args.replaceInStrings(QRegularExpression("^OUT$"), out);
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(GLYPHKILN_PATH, args);
    QVERIFY(p.waitForFinished(30000));
    const QByteArray stdOut = p.readAllStandardOutput(), err = p.readAllStandardError();
    QCOMPARE(p.exitCode(), bytes < 0 ? 1 : 0);
    QVERIFY2(QString::fromUtf8(stdOut + err).contains(says), (stdOut + err).constData());
    if (args.endsWith("-")) QCOMPARE(stdOut.size(), bytes);
    if (args.endsWith("-")) return;
    QCOMPARE(QFile::exists(out), bytes >= 0);
    QCOMPARE(QFileInfo(in).size(), 26);
    QCOMPARE(QFileInfo(m_dir.filePath("demo/main.pg")).size(), page);
    if (bytes > 0) QCOMPARE(QFileInfo(out).size(), bytes);
    if (bytes < 0) QCOMPARE(err.count('\n'), 1);
    if (bytes < 0) QVERIFY2(err.startsWith("glyphkiln: "), err.constData());
}

// A FIFO (as a device) is written as it is, not replaced by a regular file.
void TstGlyphkiln::writesIntoAFifo() {
    const QString fifo = m_dir.filePath("fifo");
    QVERIFY(mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0);
    QProcess reader;
    reader.start("cat", {fifo});
    QProcess p;
    p.start(GLYPHKILN_PATH,
            {"generate", "--font", kFixed8x13, "--size", "8x13", "--text", "AB", "-o", fifo});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(reader.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(reader.readAllStandardOutput().size(), 26);
    struct stat st {};
    QVERIFY(stat(fifo.toLocal8Bit().constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

QTEST_MAIN(TstGlyphkiln)
#include "tst_glyphkiln.moc"
