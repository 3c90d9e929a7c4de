// lcdsim: a virtual display module that executes the module byte stream.

#include <clocale>

#include "LcdSim.h"
#include "base/Messages.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    Messages::Use(Messages::FromEnvironment());
    return LcdSimMain(argc, argv);
}
