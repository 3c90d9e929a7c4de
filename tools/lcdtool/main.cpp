// lcdtool: everything the editor computes, without a window.

#include <clocale>
#include <new>
#include <stdexcept>

#include "CommandLine.h"
#include "CommandTable.h"
#include "Output.h"
#include "base/Messages.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    Messages::Use(Messages::FromEnvironment());
    int status = 1;
    try {
        status = CommandLine::Run(argc, argv, CommandTable());
    } catch (const std::bad_alloc&) {
        status = Output::Fail("内存不足，命令未完成");
    } catch (const std::length_error&) {
        status = Output::Fail("内存不足，命令未完成");
    }
    return Output::Finish(status);
}
