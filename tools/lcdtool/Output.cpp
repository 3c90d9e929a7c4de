#include "Output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Messages.h"

namespace {

std::vector<std::string>& Held() {
    static std::vector<std::string> held;
    return held;
}

std::vector<std::string>& Inputs() {
    static std::vector<std::string> inputs;
    return inputs;
}

void Print(const std::string& line) {
    const std::string text = "lcdtool: " + Output::OneLine(Messages::Tr(line)) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void PrintHeld(const char* label) {
    for (const std::string& m : Held())
        Print(label + m);
    Held().clear();
}

std::string Hex(unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", c);
    return buf;
}

std::string StdoutFailure() {
    return std::string("写标准输出失败：") + std::strerror(errno);
}

bool Refuse(const std::string& message) {
    Output::Fail(message);
    return false;
}

}  // namespace

int Output::Fail(const std::string& message) {
    PrintHeld("");
    Print(message);
    return 1;
}

void Output::Warn(const std::string& message) {
    Print("警告：" + message);
}

void Output::Note(const std::string& message) {
    Held().push_back(message);
}

int Output::Finish(int status) {
    PrintHeld(status == 0 ? "警告：" : "");
    // A failed command has said what failed, standard output included.
    if (status == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        Print(StdoutFailure());
        return 1;
    }
    return status;
}

void Output::Show(std::FILE* to, const std::string& text) {
    const std::string shown = Messages::Tr(text);
    std::fwrite(shown.data(), 1, shown.size(), to);
}

std::string Output::OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\t') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else if (u < 0x20 || u == 0x7F) {
            line += Hex(u);
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string Output::Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            out += Hex(u);
        } else {
            out += c;
        }
    }
    return out;
}

bool Output::CheckName(const std::string& path, const std::string& option) {
    if (path.empty()) return Refuse(option + " 的文件名不能为空（- 表示标准输出）");
    struct stat st {};
    if (path.back() == '/' || (path != "-" && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
        return Refuse(option + " 须为文件名，" + path + " 是一个目录");
    return true;
}

void Output::AddInput(const std::string& path) {
    Inputs().push_back(path);
}

bool Output::NotAnInput(const std::string& path, const std::string& option) {
    if (path == "-") return true;
    for (const std::string& input : Inputs())
        if (AtomicFile::SameFile(path, input))
            return Refuse(
                option + " " + path +
                (path == input ? " 是输入文件本身" : " 与输入文件 " + input + " 是同一个文件") +
                "，写入会毁掉它；请换一个输出文件");
    return true;
}

bool Output::WriteBytes(const std::string& path, std::span<const uint8_t> bytes) {
    OutputFile out;
    return out.Open(path) && out.Write(bytes) && out.Close();
}

bool OutputFile::Open(const std::string& path, const std::string& option) {
    if (!Output::CheckName(path, option) || !Output::NotAnInput(path, option)) return false;
    m_stdout = path == "-";
    std::string error;
    if (!m_stdout && !m_file.Open(path, error)) return Refuse(error);
    return true;
}

bool OutputFile::Append(std::span<const uint8_t> bytes, std::string& error) {
    if (!m_stdout) return m_file.Append(bytes, error);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size()) return true;
    error = StdoutFailure();
    return false;
}

bool OutputFile::Write(std::span<const uint8_t> bytes) {
    std::string error;
    return Append(bytes, error) || Refuse(error);
}

bool OutputFile::Write(std::string_view text) {
    return Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool OutputFile::Close() {
    std::string error;
    if (m_stdout) {
        return std::fflush(stdout) == 0 || Refuse(StdoutFailure());
    }
    return m_file.Commit(error) || Refuse(error);
}
