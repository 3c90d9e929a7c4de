#include "GlyphFile.h"

#include <cstdio>
#include <memory>

std::string GlyphFile::CheckCellSize(int width, int height) {
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide)
        return "点阵宽度和高度须为 1 到 255 之间的整数（现为 " + std::to_string(width) + "x" +
               std::to_string(height) + "）";
    return "";
}

void GlyphFile::Pack(const Cell& cell, std::vector<uint8_t>& out) {
    const size_t rowBytes = static_cast<size_t>((cell.width + 7) / 8);
    for (int y = 0; y < cell.height; ++y) {
        const size_t row = out.size();
        out.resize(row + rowBytes, 0);
        for (int x = 0; x < cell.width; ++x)
            if (cell.At(x, y)) out[row + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
}

bool GlyphFile::Load(const std::string& path, int width, int height, std::string& error) {
    error = CheckCellSize(width, height);
    if (!error.empty()) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) {
        error = "打开字库文件失败：" + path;
        return false;
    }
    // Read in chunks up to one byte past the limit, so a device or a huge file costs no
    // more memory than a font may take.
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() > kMaxFileBytes) {
            error = "字库文件太大（超过 64 MB）：" + path;
            return false;
        }
    }
    if (std::ferror(f.get())) {
        error = "读取字库文件失败：" + path;
        return false;
    }
    SetBytes(std::move(bytes), width, height);
    return true;
}

void GlyphFile::SetBytes(std::vector<uint8_t> bytes, int width, int height) {
    m_bytes = std::move(bytes);
    m_width = width;
    m_height = height;
    m_count = m_bytes.size() / GlyphBytes(width, height);
}

std::string GlyphFile::Note() const {
    const size_t rest = m_bytes.size() - m_count * GlyphBytes(m_width, m_height);
    if (rest == 0) return "";
    return "文件长度 " + std::to_string(m_bytes.size()) + " 字节不是字形大小 " +
           std::to_string(GlyphBytes(m_width, m_height)) + " 字节的整数倍，末尾 " +
           std::to_string(rest) + " 字节不成一个字形";
}

bool GlyphFile::Glyph(size_t index, Cell& cell) const {
    if (index >= m_count) {
        cell = Cell();
        return false;
    }
    cell = Cell(m_width, m_height);
    const size_t rowBytes = static_cast<size_t>((m_width + 7) / 8);
    const uint8_t* glyph = m_bytes.data() + index * GlyphBytes(m_width, m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (glyph[y * rowBytes + x / 8] & (0x80 >> (x % 8))) cell.Set(x, y);
    return true;
}

std::string GlyphFile::Missing(size_t index) const {
    if (index < m_count) return "";
    const std::string none = "没有第 " + std::to_string(index) + " 个字形：";
    if (m_count == 0) return none + "文件中没有一个完整的字形";
    return none + "文件中共 " + std::to_string(m_count) + " 个（编号 0 到 " +
           std::to_string(m_count - 1) + "）";
}
