// libKVX_CAN.so exports exactly the 17 functions, read from its dynamic symbol table.

#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

extern "C" int kvx_c_caller_round_trip(void);

namespace {

// Defined global symbols of an ELF64 file's .dynsym, with their addresses.
bool DynamicExports(const std::string& path, std::map<std::string, uint64_t>* out) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    if (image.size() < sizeof(Elf64_Ehdr)) return false;
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return false;
    auto section = [&](size_t i, Elf64_Shdr* s) {
        const size_t at = header.e_shoff + i * header.e_shentsize;
        if (at + sizeof *s > image.size()) return false;
        std::memcpy(s, image.data() + at, sizeof *s);
        return true;
    };
    for (size_t i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr symbols, strings;
        if (!section(i, &symbols) || symbols.sh_type != SHT_DYNSYM) continue;
        if (!section(symbols.sh_link, &strings)) return false;
        if (symbols.sh_offset + symbols.sh_size > image.size() ||
            strings.sh_offset + strings.sh_size > image.size())
            return false;
        for (size_t k = 0; k < symbols.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + symbols.sh_offset + k * sizeof symbol,
                        sizeof symbol);
            const int binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK))
                continue;
            if (symbol.st_name >= strings.sh_size) return false;
            (*out)[image.data() + strings.sh_offset + symbol.st_name] = symbol.st_value;
        }
        return true;
    }
    return false;
}

TEST(ExportsTest, ExactlyTheSeventeenFunctions) {
    std::map<std::string, uint64_t> exports;
    ASSERT_TRUE(DynamicExports(KVX_CAN_SO, &exports)) << KVX_CAN_SO;
    std::set<std::string> names;
    for (const auto& [name, address] : exports)
        names.insert(name);
    const std::set<std::string> expected = {
        "KVX_OpenDevice",     "KVX_CloseDevice",   "KVX_InitCAN",       "KVX_ResumeConfig",
        "KVX_WriteBoardInfo", "KVX_ReadBoardInfo", "KVX_ReadErrInfo",   "KVX_ReadCANStatus",
        "KVX_GetReference",   "KVX_SetReference",  "KVX_GetReceiveNum", "KVX_ClearBuffer",
        "KVX_StartCAN",       "KVX_ResetCAN",      "KVX_Transmit",      "KVX_Receive",
        "KVX_FindQzUsbDevice"};
    EXPECT_EQ(names, expected);
}

TEST(ExportsTest, ClearBufferIsTheEntryOfGetReceiveNum) {
    std::map<std::string, uint64_t> exports;
    ASSERT_TRUE(DynamicExports(KVX_CAN_SO, &exports));
    ASSERT_TRUE(exports.count("KVX_ClearBuffer"));
    EXPECT_EQ(exports["KVX_ClearBuffer"], exports["KVX_GetReceiveNum"]);
}

TEST(ExportsTest, CallableFromC) {
    EXPECT_EQ(kvx_c_caller_round_trip(), 1);
}

}  // namespace
