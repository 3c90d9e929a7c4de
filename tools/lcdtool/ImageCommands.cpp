#include "ImageCommands.h"

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Output.h"
#include "base/Messenger.h"
#include "images/BmpArrayConverter.h"

namespace {

// Keeps what the conversion reports so the command can say it on one line.
class Collector final : public Messenger {
public:
    void Tell(const std::string& text, const std::string&) override {
        if (!m_text.empty()) m_text += " ";
        m_text += text;
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        Tell(text, caption);
        return Answer::No;
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

bool ParseSize(const std::string& text, int& width, int& height) {
    static const struct {
        const char* name;
        int width, height;
    } kSizes[] = {{"320x234", 320, 234}, {"320x240", 320, 240}, {"640x480", 640, 480},
                  {"800x480", 800, 480}, {"800x600", 800, 600}, {"orig", -1, -1}};
    for (const auto& s : kSizes) {
        if (text == s.name) {
            width = s.width;
            height = s.height;
            return true;
        }
    }
    return false;
}

int ParseControl(const std::string& text) {
    if (text == "or") return BmpArrayConverter::kOr;
    if (text == "and") return BmpArrayConverter::kAnd;
    if (text == "xor") return BmpArrayConverter::kXor;
    if (text == "cover") return BmpArrayConverter::kCover;
    return -2;
}

}  // namespace

int ImageCommands::Bmp2c(const CommandLine& args) {
    BmpArrayConverter::Options options;
    if (!ParseSize(args.Value("--size"), options.width, options.height))
        return Output::Fail("--size 须为 320x234、320x240、640x480、800x480、800x600 或 orig");
    if (!ParseDecimal(args.Value("--colours"), 8, 256, options.colours) ||
        !BmpArrayConverter::IsColourChoice(options.colours))
        return Output::Fail("--colours 须为 8、64、256、16（16 位色）或 14（14 位色）");
    if (args.Has("--control")) {
        options.control = ParseControl(args.Value("--control"));
        if (options.control < 0) return Output::Fail("--control 须为 or、and、xor 或 cover");
        if (options.colours != 64) return Output::Fail("--control 只用于 64 色");
    }
    if (!args.IntValue("--board", 0, 0, 3, options.boardType))
        return Output::Fail("--board 须为 0 到 3");

    const std::string& image = args.Positional()[0];
    Collector collector;
    CByteArray pixels;
    const int n = BmpArrayConverter::Convert(image, options, pixels, collector);
    if (n < 0) {
        const std::string& why = collector.Text();
        return Output::Fail(
            image + "：" +
            (why.empty() ? "不是可以读取的图像文件（bmp、gif、jpg、jpeg、png）" : why));
    }
    // Seven bytes of text per pixel byte: written as it is made, never held whole.
    OutputFile out;
    if (!out.Open(args.Value("-o"))) return 1;
    const bool written = BmpArrayConverter::FormatText(
        pixels, [&](std::string_view piece) { return out.Write(piece); });
    return written && out.Close() ? 0 : 1;
}
