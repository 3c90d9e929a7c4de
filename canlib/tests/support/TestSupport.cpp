#include "support/TestSupport.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace kvxtest {

std::string Hex(const uint8_t* data, size_t length) {
    std::string text;
    char pair[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, i ? " %02X" : "%02X", data[i]);
        text += pair;
    }
    return text;
}

Bytes FromHex(const std::string& text) {
    Bytes bytes;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Zeros(size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += " 00";
    return text;
}

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name.c_str())) m_old = old;
    setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_old)
        setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

}  // namespace kvxtest
