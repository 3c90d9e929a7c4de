#include "Cli.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <regex>

#include "CharSource.h"
#include "FontOutput.h"
#include "GlyphFile.h"
#include "GlyphRenderer.h"
#include "GlyphView.h"
#include "Glyphkiln.h"
#include "QtLanguage.h"
#include "base/Messages.h"
#include "base/StringFormat.h"

namespace {

// A sheet of all glyphs is refused beyond this many pixels (128 MB of image).
constexpr int64_t kMaxSheetPixels = int64_t{32} << 20;

// `line` in the locale's language.
void Say(std::FILE* to, const std::string& line) {
    std::fprintf(to, "%s\n", Messages::Tr(line).c_str());
}

int Fail(const std::string& message) {
    Say(stderr, "glyphkiln: " + message);
    return 1;
}

void Note(const std::string& message) {
    Say(stderr, "glyphkiln: 注意：" + message);
}

bool ParseSize(const std::string& text, int& width, int& height, std::string& error) {
    static const std::regex pattern(R"(^(\d{1,6})[xX](\d{1,6})$)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) {
        error = "--size 须写成 宽x高，如 16x16，不是“" + text + "”";
        return false;
    }
    width = std::stoi(m[1]);
    height = std::stoi(m[2]);
    error = GlyphFile::CheckCellSize(width, height);
    return error.empty();
}

bool Save(const std::string& path, const QByteArray& bytes, std::string& error) {
    return WriteOutput(
        path, {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}, error);
}

struct GenerateOptions {
    std::string font, size, output;
    CharSource source;
    bool gb2312 = false;
};

int Generate(GenerateOptions& o) {
    int w = 0, h = 0;
    std::string error;
    if (!ParseSize(o.size, w, h, error)) return Fail(error);
    if (o.gb2312) o.source.kind = SourceKind::Gb2312All;
    std::vector<GbkCode> codes;
    std::vector<std::string> inputs;
    if (!CollectCodes(o.source, codes, error, &inputs)) return Fail(error);
    // An empty file would be a font of nothing, downloaded over the module's font.
    if (codes.empty()) return Fail("没有要生成的字符，不写字库文件");
    FaceChoice face;
    GlyphRenderer renderer;
    if (!GlyphRenderer::Find(o.font, face, error) || !renderer.Open(face, error))
        return Fail(error);
    inputs.push_back(face.file);
    if (const std::string why = OutputOntoInput(o.output, inputs); !why.empty())
        return Fail("-o " + why);
    const GeneratedFont font = GenerateFont(renderer, codes, w, h);
    if (!WriteOutput(o.output, font.bytes, error)) return Fail(error);
    if (!font.missing.empty()) {
        std::string names;
        for (size_t i = 0; i < font.missing.size() && i < 20; ++i)
            names += (i ? " " : "") + GbkText::Name(font.missing[i]);
        Note("字体“" + renderer.Face().family + "”中没有 " + std::to_string(font.missing.size()) +
             " 个字，它们的字形是空白的：" + names + (font.missing.size() > 20 ? " …" : ""));
    }
    // With the font on standard output, the summary goes to stderr.
    Say(o.output == "-" ? stderr : stdout,
        StringFormat("%s：%zu 个字，每个 %zu 字节，共 %zu 字节（字体 %s）", o.output.c_str(),
                     codes.size(), GlyphFile::GlyphBytes(w, h), font.bytes.size(),
                     renderer.Face().family.c_str()));
    return 0;
}

struct ViewOptions {
    std::string file, size, output;
    long long index = 0;
    bool one = false;  // --index given
};

// All glyphs one pixel per dot, black on white, in a grid about as high as wide with
// grey lines between them.
bool Sheet(const GlyphFile& file, QImage& image, std::string& error) {
    const int64_t n = static_cast<int64_t>(file.Count());
    const int64_t stepX = file.Width() + 1, stepY = file.Height() + 1;
    if (n * stepX * stepY > kMaxSheetPixels) {
        error = "字形太多，画不成一张图（" + std::to_string(n) + " 个）；请用 --index 逐个查看";
        return false;
    }
    const auto columns = std::clamp<int64_t>(
        static_cast<int64_t>(std::ceil(std::sqrt(double(n) * stepY / stepX))), 1, n);
    const int64_t rows = (n + columns - 1) / columns;
    image = QImage(static_cast<int>(columns * stepX + 1), static_cast<int>(rows * stepY + 1),
                   QImage::Format_RGB32);
    image.fill(QColor(0xC0, 0xC0, 0xC0));
    Cell cell;
    for (int64_t i = 0; i < n; ++i) {
        file.Glyph(static_cast<size_t>(i), cell);
        const int left = static_cast<int>(i % columns * stepX + 1);
        const int top = static_cast<int>(i / columns * stepY + 1);
        for (int y = 0; y < cell.height; ++y)
            for (int x = 0; x < cell.width; ++x)
                image.setPixel(left + x, top + y, cell.At(x, y) ? 0xFF000000 : 0xFFFFFFFF);
    }
    return true;
}

int View(const ViewOptions& o) {
    int w = 0, h = 0;
    std::string error;
    if (!ParseSize(o.size, w, h, error)) return Fail(error);
    if (const std::string why = OutputOntoInput(o.output, {o.file}); !why.empty())
        return Fail("-o " + why);
    GlyphFile file;
    if (!file.Load(o.file, w, h, error)) return Fail(error);
    if (!file.Note().empty()) Note(file.Note());
    QImage image;
    if (o.one) {
        const auto index = static_cast<size_t>(o.index);
        Cell cell;
        if (o.index < 0 || !file.Glyph(index, cell))
            return Fail("--index " + std::to_string(o.index) + " 超出范围：" +
                        (file.Count() ? "文件中共 " + std::to_string(file.Count()) +
                                            " 个字形，编号 0 到 " + std::to_string(file.Count() - 1)
                                      : std::string("文件中没有一个完整的字形")));
        // As the viewer shows it, at 8 screen pixels per dot (at least 1, at most 256 x 256
        // for the cell).
        const int s = std::max(1, std::min(8, 256 / std::max(w, h)));
        image = QImage(w * s, h * s + 1, QImage::Format_RGB32);
        QPainter painter(&image);
        GlyphView::Paint(painter, image.rect(), cell);
    } else {
        if (file.Count() == 0) return Fail(file.Missing(0));
        if (!Sheet(file, image, error)) return Fail(error);
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    if (!Save(o.output, png, error)) return Fail(error);
    Say(o.output == "-" ? stderr : stdout,
        StringFormat("%s：%zu 个字形", o.output.c_str(), o.one ? size_t{1} : file.Count()));
    return 0;
}

struct DialogOptions {
    std::string file, size, screenshot;
};

int Dialog(int argc, char** argv, const DialogOptions& o) {
    int w = 32, h = 32;
    std::string error;
    if (!o.size.empty() && !ParseSize(o.size, w, h, error)) return Fail(error);
    QApplication app(argc, argv);
    QtLanguage::Install(app, Messages::FromEnvironment(), "glyphkiln");
    Glyphkiln dialog;
    dialog.SetCellSize(w, h);
    if (!o.file.empty()) dialog.OpenFontFile(QString::fromStdString(o.file));
    if (o.screenshot.empty()) {
        dialog.exec();
        return 0;
    }
    // Looks at the window as a user sees it once the preview has been drawn.
    dialog.show();
    int status = 0;
    QTimer::singleShot(500, &dialog, [&] {
        const QImage shot = dialog.grab().toImage();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        shot.save(&buffer, "PNG");
        if (!Save(o.screenshot, png, error)) status = Fail(error);
        dialog.done(0);
    });
    dialog.exec();
    return status;
}

}  // namespace

int Cli::Main(int argc, char** argv) {
    // The help and every message in the locale's language.
    Messages::Use(Messages::FromEnvironment());
    CLI::App app{Messages::Tr("Glyphkiln 点阵字库生成软件：不带命令时打开对话框"), "glyphkiln"};
    app.require_subcommand(0, 1);
    // An option given twice is refused, not taken at its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    DialogOptions dialog;
    app.add_option("FONT.bin", dialog.file, Messages::Tr("在对话框中查看的字库文件"));
    app.add_option("--size", dialog.size, Messages::Tr("点阵大小 宽x高（默认 32x32）"));
    app.add_option("--screenshot", dialog.screenshot, Messages::Tr("把对话框画成 PNG 后退出"));

    GenerateOptions gen;
    CLI::App* generate = app.add_subcommand("generate", Messages::Tr("生成字库文件"));
    generate->add_option("--font", gen.font, Messages::Tr("字体名称或字体文件"))->required();
    generate->add_option("--size", gen.size, Messages::Tr("点阵大小 宽x高，如 16x16"))->required();
    CLI::Option_group* source =
        generate->add_option_group(Messages::Tr("字符"), Messages::Tr("字符来源，四选一"));
    source->add_option("--text", gen.source.text, Messages::Tr("这些字符（UTF-8）"));
    source->add_option("--range", gen.source.range,
                       Messages::Tr("GBK 编码范围，如 20-7E 或 B0A1-D7F9"));
    source->add_flag("--gb2312", gen.gb2312, Messages::Tr("GB2312 全部 8178 个位置，按编码顺序"));
    source->add_option("--project", gen.source.project, Messages::Tr("工程 .zkp 的页面用到的字符"));
    source->require_option(1);
    generate->add_option("-o", gen.output, Messages::Tr("输出的字库文件"))->required();

    ViewOptions viewOptions;
    CLI::App* view = app.add_subcommand("view", Messages::Tr("把字库文件画成 PNG"));
    view->add_option("FONT.bin", viewOptions.file, Messages::Tr("字库文件"))->required();
    view->add_option("--size", viewOptions.size, Messages::Tr("点阵大小 宽x高"))->required();
    CLI::Option* index = view->add_option("--index", viewOptions.index,
                                          Messages::Tr("只画第 N 个字形（从 0 数起）"));
    view->add_option("-o", viewOptions.output, Messages::Tr("输出的 PNG 文件"))->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::string text = e.what();
        for (char& c : text)
            if (c == '\n') c = ' ';
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) &&
            text.find("received") != std::string::npos)
            return Fail("选项 " + text.substr(0, text.find(':')) + " 只能给一次");
        return Fail(text);
    }
    for (const CLI::App* command : {&app, generate, static_cast<CLI::App*>(source), view})
        for (const CLI::Option* o : command->get_options())
            if (o->count() > 1) return Fail("选项 " + o->get_name() + " 只能给一次");
    viewOptions.one = index->count() > 0;
    if (generate->parsed()) {
        if (source->get_option("--range")->count()) gen.source.kind = SourceKind::Range;
        if (source->get_option("--project")->count()) gen.source.kind = SourceKind::Project;
        return Generate(gen);
    }
    if (view->parsed()) return View(viewOptions);
    return Dialog(argc, argv, dialog);
}
