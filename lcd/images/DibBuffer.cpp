#include "images/DibBuffer.h"

bool DibBuffer::Allocate(size_t bytes) {
    Release();
    if (bytes == 0) return true;
    auto* p = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!p) return false;
    m_data.reset(p);
    m_size = bytes;
    return true;
}

void DibBuffer::Release() {
    m_data.reset();
    m_size = 0;
}
