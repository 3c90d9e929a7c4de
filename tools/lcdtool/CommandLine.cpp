#include "CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <deque>

#include "Output.h"

namespace {

constexpr size_t kSynopsisWidth = 92;

std::vector<std::string> Split(const std::string& name) {
    std::vector<std::string> words;
    size_t from = 0;
    while (from < name.size()) {
        const size_t space = std::min(name.find(' ', from), name.size());
        words.push_back(name.substr(from, space - from));
        from = space + 1;
    }
    return words;
}

std::string Usage(const CommandSpec& spec) {
    return "（用法：" + CommandLine::Synopsis(spec) + "）";
}

void PrintCommand(const CommandSpec& spec, std::FILE* out) {
    std::fprintf(out, "%s\n    %s\n", CommandLine::Synopsis(spec).c_str(), spec.help);
}

void PrintHelp(const CommandSpec& spec) {
    PrintCommand(spec, stdout);
    for (const OptionSpec& o : spec.options) {
        const std::string left = std::string(o.name) + (o.value ? std::string(" ") + o.value : "");
        std::printf("  %-24s %s\n", left.c_str(), o.help);
    }
}

void PrintAll(const std::vector<CommandSpec>& table, std::FILE* out) {
    std::fputs("usage: lcdtool COMMAND ...    (lcdtool help COMMAND: its options)\n\n", out);
    for (const CommandSpec& spec : table)
        PrintCommand(spec, out);
    std::fputs("\nlcdtool --version, lcdtool help [COMMAND]\n", out);
}

// "lcdtool help NAME": one command with its options, or the commands of a group.
int Help(const std::vector<CommandSpec>& table, const std::string& name) {
    bool found = false;
    for (const CommandSpec& spec : table) {
        const std::string s = spec.name;
        if (s == name) PrintHelp(spec);
        if (s.starts_with(name + " ")) PrintCommand(spec, stdout);
        found = found || s == name || s.starts_with(name + " ");
    }
    return found ? 0 : Output::Fail("未知的命令 " + name + "（lcdtool help 列出全部命令）");
}

// What CLI11 refuses, said in the words of the other messages.
std::string Translate(const CLI::ParseError& e) {
    const std::string what = e.what();
    const std::string name = what.substr(0, what.find(':'));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        if (what.find("flag override") != std::string::npos)
            return "选项 --" + what.substr(0, what.find(' ')) + " 不带参数";
        if (what.find("missing") != std::string::npos) return "选项 " + name + " 缺少参数";
        return "选项 " + name + " 只能给一次";
    }
    return "命令行有误：" + what;
}

// One command's CLI11 subcommand and the places its values are parsed into.
struct Parsed {
    const CommandSpec* spec = nullptr;
    CLI::App* app = nullptr;
    CLI::Option* help = nullptr;
    std::vector<std::string> words;
    std::deque<std::string> values;
    std::vector<CLI::Option*> options;  // in spec order
};

// The checks CLI11 leaves to us, then the command itself. `extras` are the words no
// option or positional took.
int RunParsed(Parsed& p, const std::vector<std::string>& extras) {
    const CommandSpec& spec = *p.spec;
    if (p.help->count() > 0) {
        PrintHelp(spec);
        return 0;
    }
    for (const std::string& extra : extras) {
        if (extra.size() > 1 && extra[0] == '-')
            return Output::Fail(std::string(spec.name) + " 没有选项 " + extra + "（lcdtool help " +
                                spec.name + " 列出它的选项）");
        return Output::Fail(std::string(spec.name) + " 多余的参数 " + extra + Usage(spec));
    }
    for (size_t i = 0; i < spec.words.size(); ++i) {
        if (p.app->get_option("w" + std::to_string(i))->count() == 0)
            return Output::Fail(std::string("缺少 ") + spec.words[i] + Usage(spec));
    }
    std::map<std::string, std::string> options;
    for (size_t i = 0; i < spec.options.size(); ++i) {
        const OptionSpec& o = spec.options[i];
        if (p.options[i]->count() > 0) {
            options[o.name] = o.value ? p.options[i]->as<std::string>() : "";
        } else if (o.required) {
            return Output::Fail(std::string("缺少选项 ") + o.name + " " + o.value + Usage(spec));
        }
    }
    for (const OptionSpec& o : spec.options) {
        if (o.needs && options.count(o.name) && !options.count(o.needs))
            return Output::Fail(std::string(o.name) + " 只能与 " + o.needs + " 一起使用");
    }
    // The words name inputs, except an output word ("OUT.pg" of resave).
    for (size_t i = 0; i < spec.words.size(); ++i)
        if (!std::string_view(spec.words[i]).starts_with("OUT")) Output::AddInput(p.words[i]);
    return spec.run(CommandLine(spec, p.words, std::move(options)));
}

}  // namespace

CommandLine::CommandLine(const CommandSpec& spec, std::vector<std::string> words,
                         std::map<std::string, std::string> options)
    : m_spec(spec), m_words(std::move(words)), m_options(std::move(options)) {}

std::string CommandLine::Word() const {
    return Split(m_spec.name).back();
}

std::string CommandLine::Value(const std::string& name, const std::string& fallback) const {
    const auto it = m_options.find(name);
    return it == m_options.end() ? fallback : it->second;
}

bool CommandLine::IntValue(const std::string& name, int fallback, int lo, int hi, int& out) const {
    const auto it = m_options.find(name);
    if (it == m_options.end()) {
        out = fallback;
        return true;
    }
    return ParseDecimal(it->second, lo, hi, out);
}

bool ParseDecimal(std::string_view text, int lo, int hi, int& out) {
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v, 10);
    if (text.empty() || ec != std::errc() || ptr != end || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

std::string CommandLine::Synopsis(const CommandSpec& spec) {
    std::vector<std::string> parts = {"lcdtool", spec.name};
    for (const char* w : spec.words)
        parts.push_back(w);
    for (const OptionSpec& o : spec.options) {
        const std::string text = std::string(o.name) + (o.value ? std::string(" ") + o.value : "");
        parts.push_back(o.required ? text : "[" + text + "]");
    }
    // Long synopses go on over indented lines.
    std::string all, line;
    for (const std::string& part : parts) {
        if (!line.empty() && line.size() + 1 + part.size() > kSynopsisWidth) {
            all += line + "\n";
            line = "       ";
        }
        line += (line.empty() || line.back() == ' ' ? "" : " ") + part;
    }
    return all + line;
}

int CommandLine::Run(int argc, char** argv, const std::vector<CommandSpec>& table) {
    if (argc < 2) {
        PrintAll(table, stderr);
        return 1;
    }
    const std::string first = argv[1];
    if (first == "--version") {
        std::printf("lcdtool %s\n", LCD_VERSION);
        return 0;
    }
    if (first == "--help" || first == "-h" || (first == "help" && argc == 2)) {
        PrintAll(table, stdout);
        return 0;
    }
    if (first == "help") {
        std::string name;
        for (int i = 2; i < argc; ++i)
            name += (i > 2 ? " " : "") + std::string(argv[i]);
        return Help(table, name);
    }

    CLI::App app("lcdtool");
    app.set_help_flag();
    app.allow_extras();
    // One command: a later word that names another one ("devices show") is not taken as it.
    app.require_subcommand(0, 1);
    std::map<std::string, CLI::App*> groups;
    std::deque<Parsed> parsed;
    bool known = false;
    for (const CommandSpec& spec : table) {
        const std::vector<std::string> names = Split(spec.name);
        known = known || names[0] == first;
        CLI::App* parent = &app;
        if (names.size() == 2) {
            CLI::App*& group = groups[names[0]];
            if (!group) {
                group = app.add_subcommand(names[0]);
                group->set_help_flag();
                group->allow_extras();
                group->require_subcommand(0, 1);
            }
            parent = group;
        }
        Parsed& p = parsed.emplace_back();
        p.spec = &spec;
        p.app = parent->add_subcommand(names.back());
        p.app->set_help_flag();
        p.app->allow_extras();
        p.help = p.app->add_flag("-h,--help");
        p.words.resize(spec.words.size());
        for (size_t i = 0; i < spec.words.size(); ++i)
            p.app->add_option("w" + std::to_string(i), p.words[i]);
        for (const OptionSpec& o : spec.options) {
            p.options.push_back(o.value ? p.app->add_option(o.name, p.values.emplace_back())
                                        : p.app->add_flag(o.name)->disable_flag_override());
        }
    }
    if (!known) return Output::Fail("未知的命令 " + first + "（lcdtool help 列出全部命令）");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return Output::Fail(Translate(e));
    }
    for (Parsed& p : parsed) {
        if (!p.app->parsed()) continue;
        std::vector<std::string> extras = p.app->remaining();
        for (const std::string& e : app.remaining())
            extras.push_back(e);
        return RunParsed(p, extras);
    }
    // A group without one of its commands.
    const CLI::App* group = groups[first];
    const std::vector<std::string> extra = group->remaining();
    if (!extra.empty() && (extra[0] == "--help" || extra[0] == "-h")) return Help(table, first);
    std::string names;
    for (const CLI::App* sub : group->get_subcommands({}))
        names += (names.empty() ? "" : "、") + sub->get_name();
    if (!extra.empty())
        return Output::Fail(first + " 没有子命令 " + extra[0] + "（可用：" + names + "）");
    return Output::Fail(first + " 需要子命令：" + names + "（lcdtool help " + first + "）");
}
