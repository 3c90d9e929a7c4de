#include "images/CImageObject.h"

#include <strings.h>

#include "images/CImageImplBMP.h"
#include "images/CImageImplGIF.h"
#include "images/CImageImplJPG.h"
#include "images/CImageImplPNG.h"

namespace {

// Sorted by name for the halving search.
constexpr CImageObject::Extension kExtensions[] = {
    {"BMP", CImageObject::kTypeBmp, true},   {"GIF", CImageObject::kTypeGif, true},
    {"JPEG", CImageObject::kTypeJpg, false}, {"JPG", CImageObject::kTypeJpg, true},
    {"PNG", CImageObject::kTypePng, true},   {"XPM", CImageObject::kTypeXpm, true}};

const CImageObject::Extension* Find(const std::string& ext) {
    int lo = 0, hi = static_cast<int>(std::size(kExtensions)) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = strcasecmp(ext.c_str(), kExtensions[mid].name);
        if (c == 0) return &kExtensions[mid];
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return nullptr;
}

}  // namespace

std::span<const CImageObject::Extension> CImageObject::Extensions() {
    return kExtensions;
}

CImageObject::CImageObject(const std::string& path, int type) : m_strFile(path) {
    m_nType = type == -1 ? TypeFromPath(path) : type;
    m_pImpl = MakeImpl(m_nType);
    if (m_pImpl) m_pImpl->Read(path);
}

int CImageObject::TypeFromPath(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot + 1 == path.size()) return -1;
    const Extension* e = Find(path.substr(dot + 1));
    return e && e->imageLayer ? e->type : -1;
}

int CImageObject::PictureTypeFromPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return -1;
    const Extension* e = Find(name.substr(dot + 1));
    return e && MakeImpl(e->type) ? e->type : -1;
}

std::unique_ptr<CImageImpl> CImageObject::MakeImpl(int type) {
    switch (type) {
        case kTypeBmp:
            return std::make_unique<CImageImplBMP>();
        case kTypeJpg:
            return std::make_unique<CImageImplJPG>();
        case kTypeGif:
            return std::make_unique<CImageImplGIF>();
        case kTypePng:
            return std::make_unique<CImageImplPNG>();
        default:
            return nullptr;
    }
}

bool CImageObject::SaveAs(const std::string& path, int type) {
    if (!m_pImpl) return false;
    if (type != m_nType) {
        std::unique_ptr<CImageImpl> impl = MakeImpl(type);
        if (!impl) return false;
        impl->TakeOver(*m_pImpl);
        m_pImpl = std::move(impl);
        m_nType = type;
    }
    if (!m_pImpl->Write(path)) return false;
    m_strFile = path;
    return true;
}
