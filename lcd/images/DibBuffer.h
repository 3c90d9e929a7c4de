#pragma once
// Zero-filled pixel memory. Large pictures are taken from calloc so untouched pages cost
// nothing, and a failed allocation is an ordinary result, never an exception.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

class DibBuffer {
public:
    DibBuffer() = default;
    DibBuffer(DibBuffer&& other) noexcept { *this = std::move(other); }
    DibBuffer& operator=(DibBuffer&& other) noexcept {
        if (this != &other) {
            m_data = std::move(other.m_data);
            m_size = other.m_size;
            other.m_size = 0;
        }
        return *this;
    }
    // False (and empty) when the memory is not available.
    bool Allocate(size_t bytes);
    void Release();

    uint8_t* Data() { return m_data.get(); }
    const uint8_t* Data() const { return m_data.get(); }
    size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }

private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, Free> m_data;
    size_t m_size = 0;
};
