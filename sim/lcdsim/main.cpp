// lcdsim: a virtual display module that executes the module byte stream.

#include <clocale>

#include "LcdSim.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    return LcdSimMain(argc, argv);
}
