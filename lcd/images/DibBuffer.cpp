#include "images/DibBuffer.h"

#include <cstring>

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

bool DibBuffer::CopyFrom(const DibBuffer& other) {
    if (this == &other) return true;
    if (!Allocate(other.m_size)) return false;
    if (m_size) std::memcpy(m_data.get(), other.m_data.get(), m_size);
    return true;
}
