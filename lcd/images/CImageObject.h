#pragma once
// A picture file as the editor sees it: its type (from the extension table or given),
// its path and the implementation that decoded it.
//
// The one table of picture extensions (case-insensitive, searched by halving over the
// names in this order): "BMP" 0, "GIF" 2, "JPEG" 1, "JPG" 1, "PNG" 4, "XPM" 3. The image
// layer's own table is the five without "JPEG"; XPM has no implementation, so the
// pictures the program reads (local and background bitmaps, bmp2c, the open-image
// dialog's filters) are BMP, GIF, JPEG and PNG.

#include <memory>
#include <span>
#include <string>

#include "images/CImageImpl.h"

class CImageObject {
public:
    static constexpr int kTypeBmp = 0;
    static constexpr int kTypeJpg = 1;
    static constexpr int kTypeGif = 2;
    static constexpr int kTypeXpm = 3;
    static constexpr int kTypePng = 4;

    struct Extension {
        const char* name;  // upper case
        int type;
        bool imageLayer;  // in the image layer's own table
    };
    static std::span<const Extension> Extensions();

    CImageObject() = default;
    // Opens and decodes `path`; type -1 takes the type from the extension. A type
    // without implementation leaves no implementation; a failed read leaves one without
    // picture (width and height 0).
    CImageObject(const std::string& path, int type);

    // The type code of the extension after the last "." of `path`; -1 when there is none
    // or it is not in the image layer's table.
    static int TypeFromPath(const std::string& path);
    // The type of a picture the program reads, by the extension of the file name (after
    // its last "."; a name starting with its only "." has none); -1 for any other.
    static int PictureTypeFromPath(const std::string& path);
    // A new, empty implementation for the type; null for types without one.
    static std::unique_ptr<CImageImpl> MakeImpl(int type);

    int GetWidth() const { return m_pImpl ? m_pImpl->GetWidth() : 0; }
    int GetHeight() const { return m_pImpl ? m_pImpl->GetHeight() : 0; }
    int GetBitCount() const { return m_pImpl ? m_pImpl->GetBitCount() : 0; }
    int GetType() const { return m_nType; }
    const std::string& GetFile() const { return m_strFile; }
    CImageImpl* Impl() { return m_pImpl.get(); }
    const CImageImpl* Impl() const { return m_pImpl.get(); }

    // Writes the picture as `type` (the editor always uses 0, BMP). A different type first
    // hands the picture to a new implementation of that type; a type without one fails
    // and keeps the old.
    bool SaveAs(const std::string& path, int type);

private:
    int m_nType = -1;
    std::string m_strFile;
    std::unique_ptr<CImageImpl> m_pImpl;
};
