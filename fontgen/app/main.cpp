// Glyphkiln: the dot-matrix font generator and viewer.

#include "Cli.h"

int main(int argc, char** argv) {
    return Cli::Main(argc, argv);
}
