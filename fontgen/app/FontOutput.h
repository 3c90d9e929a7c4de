#pragma once
// Where glyphkiln writes, shared by the dialog and the command line: files through the
// program's atomic save (a regular file replaced whole, a device or FIFO written directly,
// through a symbolic link its target), "-" to standard output, and never over a file the
// generation or the viewer reads.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// False with `error` set (one line) when the bytes could not all be written.
bool WriteOutput(const std::string& path, std::span<const uint8_t> bytes, std::string& error);
// "" or the refusal of an output that is the same file as one of `inputs` (through links
// too): writing it would destroy that input.
std::string OutputOntoInput(const std::string& path, const std::vector<std::string>& inputs);
