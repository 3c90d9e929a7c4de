#pragma once
// How lcdtool reports and writes.
//
// Reports: every line on stderr starts with "lcdtool: " and is one line, whatever the
// message holds (line breaks fold into spaces, other control characters and NUL show
// escaped). Reports, listings and progress lines are in the person's language
// (Messages::Tr); what a command writes as its output (files, JSON, bytes) never is. What the core
// tells during a command is held until the command ends: it is printed as a failure when the
// command fails and labelled "警告：" when it succeeds.
//
// Outputs: "-" is standard output; "" and directories are refused, and so is a file that
// is one of the command's inputs (it would be destroyed); files are written whole or not
// at all (base/AtomicFile).

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"

class Output {
public:
    // Prints what the core told so far, then "lcdtool: <message>"; returns exit status 1.
    static int Fail(const std::string& message);
    // Prints "lcdtool: 警告：<message>" at once; the command goes on.
    static void Warn(const std::string& message);
    // A message the core told; labelled when the command ends.
    static void Note(const std::string& message);
    // The end of a command: prints the held messages (as warnings after success) and
    // checks that standard output took everything. Returns the final exit status.
    static int Finish(int status);
    // Writes `text` as it is, but in the person's language: a listing's or progress line.
    static void Show(std::FILE* to, const std::string& text);

    // The message on one line: CR, LF and tab runs become one space, other control
    // characters show as \xNN.
    static std::string OneLine(std::string_view text);
    // A name or text printed in a listing: control characters show as \r, \n, \t or
    // \xNN, so that every entry stays on its own line.
    static std::string Escape(std::string_view text);

    // Refuses (with its message) an output name that is empty, names a directory or
    // ends in "/"; `option` names where it came from ("-o").
    static bool CheckName(const std::string& path, const std::string& option = "-o");
    // A file the command reads: no output may be it.
    static void AddInput(const std::string& path);
    // Refuses (with its message) an output that is the same file as an input, through
    // links too. OutputFile::Open asks it; outputs written by the core ask it themselves,
    // with the name the file will have.
    static bool NotAnInput(const std::string& path, const std::string& option = "-o");
    // Writes `bytes` to `path` through a temporary file, or to stdout for "-".
    static bool WriteBytes(const std::string& path, std::span<const uint8_t> bytes);
};

// One output written piece by piece: a file (replaced only on Close) or standard output.
// Each method prints its failure and returns false.
class OutputFile {
public:
    bool Open(const std::string& path, const std::string& option = "-o");
    bool Write(std::span<const uint8_t> bytes);
    bool Write(std::string_view text);
    bool Close();
    // The sink of PngWriter::Encode and the like: failures go to `error`, not stderr.
    bool Append(std::span<const uint8_t> bytes, std::string& error);

private:
    bool m_stdout = false;
    AtomicFile::Writer m_file;
};
