// mkfonts: writes the dot-matrix fonts ASC16 and hzk16 from GNU Unifont.
//   mkfonts <unifont.hex> <output directory>

#include <cstdio>
#include <fstream>

#include "FontBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <unifont.hex> <output directory>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "mkfonts: cannot read %s\n", argv[1]);
        return 1;
    }
    FontBuilder builder;
    std::string error;
    if (!builder.ParseHex(in, error)) {
        std::fprintf(stderr, "mkfonts: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::vector<uint8_t> hzk16;
    if (!builder.BuildHzk16(hzk16, error)) {
        std::fprintf(stderr, "mkfonts: %s\n", error.c_str());
        return 1;
    }
    const std::string dir = argv[2];
    if (!FontBuilder::WriteFile(dir + "/ASC16", builder.BuildAsc16(), error) ||
        !FontBuilder::WriteFile(dir + "/hzk16", hzk16, error)) {
        std::fprintf(stderr, "mkfonts: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
