// The programs the tests run speak the locale's language, and the tests read their Chinese
// (with the C library's own messages, strerror, in English): LANGUAGE chooses Chinese for
// them, LC_MESSAGES=C keeps the C library from translating. Set before any test runs, in
// every test program, so that a run outside CTest sees the same.

#include <cstdlib>

namespace {

const bool kChinese = [] {
    unsetenv("LC_ALL");
    setenv("LC_MESSAGES", "C", 1);
    return setenv("LANGUAGE", "zh_CN", 1) == 0;
}();

}  // namespace
