#pragma once
// Every lcdtool command, in the order `lcdtool help` lists them.

#include <vector>

#include "CommandLine.h"

const std::vector<CommandSpec>& CommandTable();
