#pragma once
// Draws characters into one-bit cells from a real font file with FreeType: monochrome,
// always FreeType's auto-hinter, its properties set here rather than taken from the
// environment or the desktop, so the same font file, FreeType and cell size give the
// same bits on every machine. Faces are found by name through fontconfig.

#include <memory>
#include <string>
#include <vector>

#include "GbkText.h"
#include "GlyphFile.h"

// A face found for a name: the font file and the face's index inside it.
struct FaceChoice {
    std::string file;
    int index = 0;
    std::string family;  // as the face names itself
};

class GlyphRenderer {
public:
    GlyphRenderer();
    ~GlyphRenderer();
    GlyphRenderer(const GlyphRenderer&) = delete;
    GlyphRenderer& operator=(const GlyphRenderer&) = delete;

    // `name` is a font file or a family name. A name that exists as a file or folder, has
    // a slash or ends like a font file is a path, relative ones included, and must be that
    // file. Any other name must be a family fontconfig has installed (its match counts only
    // when one of the face's family names equals the request, case-insensitively); the
    // Windows names of the Chinese faces ("宋体", "黑体", ...) stand for the installed
    // Song/Ming or sans-serif face that covers Chinese, the generic names (serif,
    // sans-serif, monospace) for what fontconfig picks. Otherwise false, with `error`
    // naming the request.
    static bool Find(const std::string& name, FaceChoice& face, std::string& error);
    // Opens the face; false with `error` set (and the previous face kept) on failure. A
    // gzip-compressed font (as Debian ships its PCF fonts) is unpacked into memory once,
    // so that no glyph re-reads the compressed stream.
    bool Open(const FaceChoice& face, std::string& error);
    bool IsOpen() const;
    const FaceChoice& Face() const { return m_face; }
    // Draws `ch` into a blank W x H cell (see the .cpp for the fitting rule and the
    // baseline). False, with the cell blank, when the face has no glyph for `ch`; a
    // control character is blank and counts as drawn.
    bool Render(char32_t ch, int width, int height, Cell& cell);
    // Whether Render draws `ch` from the face (control characters count as drawn).
    bool Has(char32_t ch) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    FaceChoice m_face;
};

// The whole font file for `codes` at W x H: the bytes and the codes the face had no glyph
// for (their glyphs are blank).
struct GeneratedFont {
    std::vector<uint8_t> bytes;
    std::vector<GbkCode> missing;
};
GeneratedFont GenerateFont(GlyphRenderer& renderer, const std::vector<GbkCode>& codes, int width,
                           int height);
