#pragma once
// Helpers shared by the library's tests: hex strings and a scoped environment variable.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvxtest {

using Bytes = std::vector<uint8_t>;

// "CD 01 01": upper-case pairs separated by spaces.
std::string Hex(const uint8_t* data, size_t length);
inline std::string Hex(const Bytes& bytes) {
    return Hex(bytes.data(), bytes.size());
}
// Parses pairs of hex digits, spaces ignored.
Bytes FromHex(const std::string& text);
// n times " 00", to append to a hex string.
std::string Zeros(size_t n);

// Sets an environment variable for one scope and restores the old value.
class ScopedEnv {
public:
    ScopedEnv(const std::string& name, const std::string& value);
    ~ScopedEnv();

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

}  // namespace kvxtest
