#include "items/DotFont.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/AppPaths.h"

namespace {

// No font the module knows is larger than the GB2312 grid; anything bigger is not ours.
constexpr long kMaxFontBytes = 16L * 1024 * 1024;

}  // namespace

DotFont::DotFont(std::string fileName, size_t glyphBytes)
    : m_fileName(std::move(fileName)), m_glyphBytes(glyphBytes) {}

DotFont& DotFont::Ascii() {
    static DotFont font("ASC16", kAsciiGlyphBytes);
    return font;
}

DotFont& DotFont::Hanzi() {
    static DotFont font("hzk16", kHanziGlyphBytes);
    return font;
}

int64_t DotFont::HanziOffset(uint8_t first, uint8_t second) {
    // Bytes outside A1..FE would land on a neighbouring row's glyph or before the file.
    if (first < 0xA1 || first > 0xFE || second < 0xA1 || second > 0xFE) return -1;
    return (int64_t{first - 0xA1} * 94 + (second - 0xA1)) * 32;
}

bool DotFont::EnsureLoaded() {
    if (m_loaded) return true;
    const std::string path = m_path.empty() ? AppPaths::FindFont(m_fileName) : m_path;
    if (path.empty()) return false;
    return LoadFile(path);
}

bool DotFont::LoadFile(const std::string& path) {
    Unload();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && size <= kMaxFontBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!ok) return false;
    LoadBytes(std::move(bytes));
    return true;
}

void DotFont::LoadBytes(std::vector<uint8_t> bytes) {
    m_bytes = std::move(bytes);
    m_loaded = true;
}

void DotFont::Unload() {
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_loaded = false;
}

bool DotFont::CopyGlyph(int64_t offset, uint8_t* out) const {
    std::memset(out, 0, m_glyphBytes);
    const auto size = static_cast<int64_t>(m_bytes.size());
    if (offset < 0 || offset >= size) return false;
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(m_glyphBytes), size - offset);
    std::memcpy(out, m_bytes.data() + offset, static_cast<size_t>(n));
    return true;
}
