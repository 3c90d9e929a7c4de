#include "GlyphRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>

// The fitting rule. A character is measured with the base font (character height H,
// average character width W); it is then drawn with the width changed to W * W / w, w its
// advance at the base font, so that every character, narrow or wide, fills about W
// pixels. For an outline face the character height is the em: an ideograph's design
// square becomes H pixels high and, once fitted, W pixels wide, so at W = H it is drawn at
// a square size and the face's own bitmaps for that size, if it has them, are used.
//
// The baseline: the glyph is drawn at (0, 0) as a text whose cell top-left corner is the
// origin, the face's cell (ascender above the baseline, descender below it) shrunk to H
// pixels, so the baseline lies round(H * ascender / (ascender + descender)) pixels below
// the top row. Ink outside the W x H cell is cut off.
//
// Bitmap faces (BDF, PCF) keep their pixels: the strike nearest H from below (else the
// smallest) is chosen and its cell (average width x ascender + descender) is stretched by
// nearest neighbour onto the cell with the same rule, so at the strike's own size the
// glyph is the font's bits exactly.

namespace {

// Load flags of every glyph: one-bit rendering hinted by FreeType's auto-hinter for every
// outline face. Most Chinese faces carry no hinting of their own, and unhinted thin
// strokes break up at small sizes; one hinter for all faces is also one set of rules.
// A face's own bitmaps for the size asked are used as they are.
constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT;

int FittedWidth(int width, int64_t advance) {
    if (advance <= 0 || advance == width) return width;
    return static_cast<int>(std::max<int64_t>(1, int64_t{width} * width / advance));
}

int64_t RoundDiv(int64_t a, int64_t b) {
    return (2 * a + b) / (2 * b);
}

bool BitmapInk(const FT_Bitmap& b, int x, int y) {
    if (x < 0 || y < 0 || x >= static_cast<int>(b.width) || y >= static_cast<int>(b.rows))
        return false;
    const int pitch = b.pitch;
    const unsigned char* row =
        pitch >= 0 ? b.buffer + y * pitch : b.buffer + (static_cast<int>(b.rows) - 1 - y) * -pitch;
    if (b.pixel_mode == FT_PIXEL_MODE_MONO) return row[x / 8] & (0x80 >> (x % 8));
    if (b.pixel_mode == FT_PIXEL_MODE_GRAY) return row[x] != 0;  // not white is ink
    return false;
}

struct Alias {
    const char* name;
    const char* generic;
};
// Windows names of Chinese faces, for the style of face they stand for.
constexpr Alias kAliases[] = {
    {"宋体", "serif"},        {"新宋体", "serif"},        {"SimSun", "serif"},
    {"NSimSun", "serif"},     {"仿宋", "serif"},          {"FangSong", "serif"},
    {"楷体", "serif"},        {"KaiTi", "serif"},         {"黑体", "sans-serif"},
    {"SimHei", "sans-serif"}, {"微软雅黑", "sans-serif"}, {"Microsoft YaHei", "sans-serif"},
};

// Generic families: any face fontconfig picks for them is what was asked for.
constexpr const char* kGeneric[] = {"serif", "sans-serif", "sans", "monospace", "mono"};

// A compressed font unpacks to no more than this (GNU Unifont: 5 MB).
constexpr size_t kMaxUnpackedFont = size_t{64} << 20;

std::string FcText(FcPattern* p, const char* object, int index = 0) {
    FcChar8* value = nullptr;
    return FcPatternGetString(p, object, index, &value) == FcResultMatch
               ? reinterpret_cast<const char*>(value)
               : "";
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool LooksLikeFontFile(const std::string& name) {
    const std::string lower = Lower(name);
    for (const char* ext : {".ttf", ".otf", ".ttc", ".otc", ".pcf", ".bdf", ".pfa", ".pfb", ".woff",
                            ".woff2", ".pcf.gz", ".bdf.gz"})
        if (lower.ends_with(ext)) return true;
    return false;
}

// The whole file when it is gzip-compressed; false (and `bytes` empty) otherwise or when it
// cannot be unpacked within the limit.
bool Unpack(const std::string& path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    gzFile in = gzopen(path.c_str(), "rb");
    if (!in) return false;
    const bool compressed = gzdirect(in) == 0;
    unsigned char chunk[65536];
    int n = 0;
    while (compressed && bytes.size() <= kMaxUnpackedFont &&
           (n = gzread(in, chunk, sizeof chunk)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    gzclose(in);
    if (!compressed || n < 0 || bytes.size() > kMaxUnpackedFont) bytes.clear();
    return !bytes.empty();
}

}  // namespace

struct GlyphRenderer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<unsigned char> memory;  // an unpacked compressed font the face reads

    ~Impl() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    bool Scalable() const { return FT_IS_SCALABLE(face); }
    bool RenderOutline(FT_UInt glyph, int width, int height, Cell& cell);
    bool RenderStrike(FT_UInt glyph, int width, int height, Cell& cell);
};

GlyphRenderer::GlyphRenderer() : m_impl(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&m_impl->library) != 0) {
        m_impl->library = nullptr;
        return;
    }
    // FT_Init_FreeType reads FREETYPE_PROPERTIES from the environment; the auto-hinter's
    // choices are fixed here instead. A property this FreeType lacks is refused, which
    // changes nothing.
    FT_Bool noDarkening = 1, noWarping = 0;
    FT_UInt defaultScript = FT_AUTOHINTER_SCRIPT_LATIN, fallbackScript = FT_AUTOHINTER_SCRIPT_NONE;
    FT_Property_Set(m_impl->library, "autofitter", "no-stem-darkening", &noDarkening);
    FT_Property_Set(m_impl->library, "autofitter", "warping", &noWarping);
    FT_Property_Set(m_impl->library, "autofitter", "default-script", &defaultScript);
    FT_Property_Set(m_impl->library, "autofitter", "fallback-script", &fallbackScript);
}

GlyphRenderer::~GlyphRenderer() = default;

bool GlyphRenderer::Find(const std::string& name, FaceChoice& face, std::string& error) {
    if (name.empty()) {
        error = "请填写字体名称或字体文件";
        return false;
    }
    std::error_code ec;
    const auto status = std::filesystem::status(name, ec);
    if (std::filesystem::exists(status) || name.find('/') != std::string::npos ||
        LooksLikeFontFile(name)) {
        if (std::filesystem::is_directory(status)) {
            error = "字体 " + name + " 是一个目录，不是字体文件";
        } else if (!std::filesystem::exists(status)) {
            error = "找不到字体文件 " + name;
        } else if (!std::filesystem::is_regular_file(status)) {
            error = "字体 " + name + " 不是普通文件";
        } else {
            face = FaceChoice{name, 0, std::filesystem::path(name).filename().string()};
            return true;
        }
        return false;
    }
    if (!FcInit()) {
        error = "无法读取字体配置（fontconfig）";
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    bool alias = false;
    for (const Alias& a : kAliases)
        if (name == a.name) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(a.generic));
            alias = true;
        }
    // The module's texts are Chinese: where the name is not installed, prefer a face that
    // covers Chinese.
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    const std::string file = match ? FcText(match, FC_FILE) : "";
    if (file.empty()) {
        if (match) FcPatternDestroy(match);
        error = "找不到字体“" + name + "”";
        return false;
    }
    // Fontconfig always finds some face: it counts only when it is the one asked for.
    bool found = std::ranges::find(kGeneric, Lower(name)) != std::end(kGeneric);
    for (int i = 0; !found && !FcText(match, FC_FAMILY, i).empty(); ++i)
        found = Lower(FcText(match, FC_FAMILY, i)) == Lower(name);
    FcLangSet* langs = nullptr;
    if (alias && FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch)
        found = FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("zh-cn")) !=
                FcLangDifferentLang;
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    face = FaceChoice{file, index, FcText(match, FC_FAMILY)};
    FcPatternDestroy(match);
    if (!found)
        error = alias ? "没有安装可代替“" + name + "”的中文字体（fontconfig 找到的是“" +
                            face.family + "”）"
                      : "没有安装名为“" + name + "”的字体（fontconfig 找到的是“" + face.family +
                            "”）；请写已安装的字体名称，或字体文件的路径";
    return found;
}

bool GlyphRenderer::Open(const FaceChoice& face, std::string& error) {
    if (!m_impl->library) {
        error = "无法初始化 FreeType";
        return false;
    }
    FT_Face opened = nullptr;
    // FreeType reads a compressed font through a stream it unpacks again from the start on
    // every backward seek, i.e. for nearly every glyph: unpacked once here instead.
    std::vector<unsigned char> memory;
    const int failed =
        Unpack(face.file, memory)
            ? FT_New_Memory_Face(m_impl->library, memory.data(),
                                 static_cast<FT_Long>(memory.size()), face.index, &opened)
            : FT_New_Face(m_impl->library, face.file.c_str(), face.index, &opened);
    if (failed != 0) {
        error = "无法打开字体文件 " + face.file +
                "：不是可以读取的字体（TrueType、OpenType、BDF、PCF）";
        return false;
    }
    if (!FT_IS_SCALABLE(opened) && opened->num_fixed_sizes == 0) {
        FT_Done_Face(opened);
        error = "字体文件 " + face.file + " 中没有可用的字形";
        return false;
    }
    // Characters are looked up by Unicode; a face without a Unicode map keeps its own.
    FT_Select_Charmap(opened, FT_ENCODING_UNICODE);
    if (m_impl->face) FT_Done_Face(m_impl->face);
    m_impl->face = opened;
    m_impl->memory = std::move(memory);  // the vector's buffer moves with it
    m_face = face;
    if (opened->family_name) m_face.family = opened->family_name;
    return true;
}

bool GlyphRenderer::IsOpen() const {
    return m_impl->face != nullptr;
}

bool GlyphRenderer::Has(char32_t ch) const {
    if (ch != 0 && (ch < 0x20 || ch == 0x7F)) return true;  // control characters are blank
    return m_impl->face && ch != 0 && FT_Get_Char_Index(m_impl->face, ch) != 0;
}

bool GlyphRenderer::Render(char32_t ch, int width, int height, Cell& cell) {
    cell = Cell(width, height);
    if (!Has(ch)) return false;
    if (ch < 0x20 || ch == 0x7F) return true;
    const FT_UInt glyph = FT_Get_Char_Index(m_impl->face, ch);
    return m_impl->Scalable() ? m_impl->RenderOutline(glyph, width, height, cell)
                              : m_impl->RenderStrike(glyph, width, height, cell);
}

bool GlyphRenderer::Impl::RenderOutline(FT_UInt glyph, int width, int height, Cell& cell) {
    const int64_t em = face->units_per_EM;
    int64_t ascender = face->ascender;
    int64_t cellUnits = int64_t{face->ascender} - face->descender;
    if (cellUnits <= 0 || ascender <= 0 || ascender > cellUnits) cellUnits = ascender = em;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const int64_t average = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : em / 2;
    // Character sizes in 26.6 points at 72 dpi, i.e. pixels per em.
    const FT_F26Dot6 charHeight = height * 64;
    const auto charWidth = [&](int w) { return std::max<FT_F26Dot6>(1, w * 64 * em / average); };

    if (FT_Set_Char_Size(face, charWidth(width), charHeight, 72, 72) != 0 ||
        FT_Load_Glyph(face, glyph, kLoadFlags) != 0)
        return false;
    const int fitted = FittedWidth(width, (face->glyph->advance.x + 32) >> 6);
    if (FT_Set_Char_Size(face, charWidth(fitted), charHeight, 72, 72) != 0 ||
        FT_Load_Glyph(face, glyph, kLoadFlags | FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
        return false;
    const int baseline = static_cast<int>(RoundDiv(height * ascender, cellUnits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (BitmapInk(slot->bitmap, x - slot->bitmap_left, y - (baseline - slot->bitmap_top)))
                cell.Set(x, y);
    return true;
}

bool GlyphRenderer::Impl::RenderStrike(FT_UInt glyph, int width, int height, Cell& cell) {
    int strike = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const int h = face->available_sizes[i].height, best = face->available_sizes[strike].height;
        if ((h <= height && (best > height || h > best)) || (best > height && h < best)) strike = i;
    }
    if (FT_Select_Size(face, strike) != 0 ||
        FT_Load_Glyph(face, glyph, kLoadFlags | FT_LOAD_RENDER) != 0)
        return false;
    const FT_Bitmap_Size& size = face->available_sizes[strike];
    int64_t ascender = face->size->metrics.ascender >> 6;
    int64_t cellPixels = ascender - (face->size->metrics.descender >> 6);
    if (cellPixels <= 0 || ascender < 0 || ascender > cellPixels)
        cellPixels = ascender = size.height;
    const int64_t average = size.width > 0 ? size.width : std::max<int64_t>(1, cellPixels / 2);
    const FT_GlyphSlot slot = face->glyph;
    const int64_t advance = RoundDiv((slot->advance.x >> 6) * width, average);
    const int fitted = FittedWidth(width, advance);
    // Each cell pixel takes the strike pixel it falls on when the strike's cell (average
    // width x ascender + descender) is stretched to fitted x H.
    for (int y = 0; y < height; ++y) {
        const int64_t row = y * cellPixels / height - (ascender - slot->bitmap_top);
        for (int x = 0; x < width; ++x) {
            const int64_t column = x * average / fitted - slot->bitmap_left;
            if (BitmapInk(slot->bitmap, static_cast<int>(column), static_cast<int>(row)))
                cell.Set(x, y);
        }
    }
    return true;
}

GeneratedFont GenerateFont(GlyphRenderer& renderer, const std::vector<GbkCode>& codes, int width,
                           int height) {
    GeneratedFont font;
    font.bytes.reserve(codes.size() * GlyphFile::GlyphBytes(width, height));
    const std::vector<char32_t> points = GbkText::ToUnicode(codes);
    Cell cell;
    for (size_t i = 0; i < codes.size(); ++i) {
        // A code that is no character (an empty place of a range) is blank on purpose.
        if (!renderer.Render(points[i], width, height, cell) && points[i] != 0)
            font.missing.push_back(codes[i]);
        GlyphFile::Pack(cell, font.bytes);
    }
    return font;
}
