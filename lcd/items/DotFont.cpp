#include "items/DotFont.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "base/AppPaths.h"

namespace {

// No font the module knows is larger than the GB2312 grid; anything bigger is not ours.
constexpr long kMaxFontBytes = 16L * 1024 * 1024;

}  // namespace

DotFont::DotFont(std::vector<uint8_t> bytes, size_t glyphBytes)
    : m_bytes(std::move(bytes)), m_glyphBytes(glyphBytes) {}

std::shared_ptr<const DotFont> DotFont::ReadFile(const std::string& path, size_t glyphBytes) {
    FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && size <= kMaxFontBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!ok) return nullptr;
    return std::make_shared<const DotFont>(std::move(bytes), glyphBytes);
}

int64_t DotFont::HanziOffset(uint8_t first, uint8_t second) {
    // Bytes outside A1..FE would land on a neighbouring row's glyph or before the file.
    if (first < 0xA1 || first > 0xFE || second < 0xA1 || second > 0xFE) return -1;
    return (int64_t{first - 0xA1} * 94 + (second - 0xA1)) * 32;
}

bool DotFont::CopyGlyph(int64_t offset, uint8_t* out) const {
    std::memset(out, 0, m_glyphBytes);
    const auto size = static_cast<int64_t>(m_bytes.size());
    if (offset < 0 || offset >= size) return false;
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(m_glyphBytes), size - offset);
    std::memcpy(out, m_bytes.data() + offset, static_cast<size_t>(n));
    return true;
}

DotFonts::DotFonts(std::shared_ptr<const DotFont> ascii, std::shared_ptr<const DotFont> hanzi)
    : m_ascii(std::move(ascii)), m_hanzi(std::move(hanzi)) {}

std::shared_ptr<const DotFonts> DotFonts::Load(const std::string& asciiPath,
                                               const std::string& hanziPath) {
    return std::make_shared<const DotFonts>(
        DotFont::ReadFile(asciiPath, DotFont::kAsciiGlyphBytes),
        DotFont::ReadFile(hanziPath, DotFont::kHanziGlyphBytes));
}

std::shared_ptr<const DotFonts> DotFonts::Shared() {
    static std::mutex mutex;
    static std::shared_ptr<const DotFonts> fonts;
    const std::lock_guard<std::mutex> lock(mutex);
    if (fonts && fonts->Complete()) return fonts;
    // Only a font still missing is looked for again.
    auto ascii = fonts ? fonts->m_ascii : nullptr;
    auto hanzi = fonts ? fonts->m_hanzi : nullptr;
    if (!ascii) ascii = DotFont::ReadFile(AppPaths::FindFont("ASC16"), DotFont::kAsciiGlyphBytes);
    if (!hanzi) hanzi = DotFont::ReadFile(AppPaths::FindFont("hzk16"), DotFont::kHanziGlyphBytes);
    fonts = std::make_shared<const DotFonts>(std::move(ascii), std::move(hanzi));
    return fonts;
}
