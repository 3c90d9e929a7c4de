#pragma once
// A virtual display module: it executes the module byte stream as a module's firmware
// would, keeps a flash (ModuleFlash) and draws on a screen of module pixels with the same
// raster primitives the canvas uses.
//
// Bytes arrive as transfers (a file, or what a link delivers until it goes quiet):
// Feed() takes them in chunks of any size, Finish() ends the transfer. Stored pages run
// when a show-page command names them; the trailer's delay and next page make a
// slideshow that moves on in virtual time (Advance).
//
// A damaged or hostile stream never stops the module: an unknown command, a bad sum, a
// record past the end of its area, a length that runs past the transfer or coordinates
// off the screen each give one warning with its byte offset, and execution resumes at
// the next ESC (a drawing command with a point off the screen still draws its visible
// part). Nor does it hold the module: the drawing of one transfer (or of one Advance)
// may touch kMaxDrawWork pixels, after which its drawing commands are skipped with one
// warning (ModuleConfig::drawWork); the flash holds no more than a module has (full-screen
// bitmaps 0..64).
//
// The module's reading where a command carries less than the item it came from:
//   ellipse      1B 4E a b, then 1B 13/59 c x y r: r is the vertical radius and the
//                horizontal one is r * a / b (the percentages round the proportion, so
//                an ellipse whose sides are not in a whole-percent ratio comes out wider)
//   arc, pie     whole-degree angles and a truncated radius; the pie is an outline
//   text         characters follow each other from the last position (1B 48), 8 or 16
//                pixels times the horizontal magnification wide; a text whose first row
//                is at y = 0 gets no position and starts where the last text ended
//   line         always one pixel wide: the pen width is not sent
//   coordinates  unsigned 16-bit: a negative coordinate is far off the screen; a point
//                beyond the screen's width or height is told, and the part of the shape
//                on the screen is drawn
//   bitmaps      the pixel format's colours (module palettes, or RGB565)
//   widgets      a line over the widget's box, which is all they send
//   aux. page    draws over what the screen shows (no clear)
//   delay 0      the next page follows after the shortest step, 0.25 s

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/ModuleConfig.h"
#include "core/ModuleFlash.h"
#include "gfx/Surface.h"

struct ModuleEvent {
    enum class Where { Stream, PageArea };
    Where where = Where::Stream;
    int64_t offset = 0;  // in the transfer, or in the page area
    std::string text;    // UTF-8, in the wording of the instruction tree where it has one
    // "0x00001F  text" for the transfer, "页面区 0x0180  text" for a stored page.
    std::string Format() const;
};

class ModuleListener {
public:
    virtual ~ModuleListener() = default;
    // One command executed.
    virtual void OnCommand(const ModuleEvent& event) { (void)event; }
    // A command refused or a fault found; execution goes on at the next ESC.
    virtual void OnWarning(const ModuleEvent& event) { (void)event; }
    // A result the module reports (start check, CPU program sum).
    virtual void OnReport(const std::string& text) { (void)text; }
    // A finished screen: a stored page shown (page >= 0), or a direct drawing at the end
    // of its transfer (page -1).
    virtual void OnFrame(const Surface& screen, int page) {
        (void)screen;
        (void)page;
    }
};

class DisplayModule {
public:
    // Commands carrying more bytes than this are refused (memory stays bounded).
    static constexpr int64_t kMaxCommandBytes = int64_t{64} << 20;
    static constexpr size_t kMaxStandardFont = size_t{4} << 20;

    // The config must pass ModuleConfig::Check().
    explicit DisplayModule(const ModuleConfig& config);
    ~DisplayModule();
    DisplayModule(const DisplayModule&) = delete;
    DisplayModule& operator=(const DisplayModule&) = delete;

    const ModuleConfig& Config() const { return m_config; }
    // Not owned; null for none.
    void SetListener(ModuleListener* listener) { m_listener = listener; }

    void Feed(std::span<const uint8_t> bytes);
    // The transfer ends: a command still waiting for bytes is reported and the bytes after
    // it are executed from its next ESC; a standard font record ends here.
    void Finish();
    // One whole transfer.
    void Execute(std::span<const uint8_t> bytes) {
        Feed(bytes);
        Finish();
    }
    // True while a command waits for more bytes of the transfer.
    bool Pending() const;

    // Runs the page record stored at page `page`, as the show-page command does, with a
    // drawing budget of its own.
    void ShowPage(int page);
    // Lets `seconds` of virtual time pass; the slideshow moves on.
    void Advance(double seconds);
    double Now() const { return m_now; }
    // The page on the screen (-1: a direct drawing or nothing) and the slideshow's next.
    int ShownPage() const { return m_shownPage; }
    int NextPage() const { return m_slideNext; }

    const Surface& Screen() const { return m_screen; }
    const ModuleFlash& Flash() const { return *m_flash; }
    Framing CurrentFraming() const { return m_framing; }
    int Warnings() const { return m_warnings; }

    // The flash as a file: one line naming the module ("LCDSIM-FLASH board=0 size=320x240
    // colours=256"), then the short-framed stream of ModuleFlash::Save, piece by piece.
    void SaveFlash(const std::function<void(std::span<const uint8_t>)>& sink) const;
    void SaveFlash(CByteArray& out) const;
    // Replaces the flash with a saved one; false, flash untouched and `error` set, when the
    // bytes are not a flash file of this module.
    bool RestoreFlash(std::span<const uint8_t> file, std::string& error);

    struct Command;
    struct Run;

private:
    enum class Context { Stream, Body };
    struct Parsed;

    size_t Pump(const uint8_t* data, size_t n, bool final, Context ctx, int64_t base, Run& run);
    Parsed Parse(const uint8_t* p, size_t n, bool final, Context ctx, Command& cmd) const;
    Parsed Head(const uint8_t* p, size_t n, bool final, int count, bool flashWrite, bool checksum,
                Command& cmd) const;
    void Exec(const Command& cmd, Context ctx, int64_t at, Run& run);
    void ExecFlash(const Command& cmd, int64_t at);
    void ExecDraw(const Command& cmd, Context ctx, int64_t at);
    void StartCheck(int64_t at);
    void RunPage(int page);  // ShowPage within the budget of the transfer or Advance
    void TextChar(uint8_t lead, uint8_t trail, bool hanzi, int64_t at, Run& run);
    void EndText(Run& run);
    void DrawPixels(int64_t x, int64_t y, int64_t w, int64_t h, const uint8_t* bytes);
    void ShowInfo(const std::vector<std::string>& lines);
    bool OnScreen(std::initializer_list<int64_t> xs, std::initializer_list<int64_t> ys) const;
    // Counts `pixels` of drawing against the config's drawWork; false (told once) when it
    // is spent.
    bool Spend(int64_t pixels, ModuleEvent::Where where, int64_t at);

    void Log(ModuleEvent::Where where, int64_t at, std::string text);
    void Warn(ModuleEvent::Where where, int64_t at, std::string text);
    ModuleEvent::Where WhereOf(Context ctx) const {
        return ctx == Context::Body ? ModuleEvent::Where::PageArea : ModuleEvent::Where::Stream;
    }
    void Frame(int page);

    ModuleConfig m_config;
    ModuleListener* m_listener = nullptr;
    Surface m_screen;
    std::unique_ptr<ModuleFlash> m_flash;
    Framing m_framing;
    int m_warnings = 0;

    // The transfer.
    std::vector<uint8_t> m_buf;
    size_t m_pos = 0;    // first byte not yet executed
    int64_t m_base = 0;  // transfer offset of m_buf[0]
    bool m_fontSink = false;
    bool m_fontFull = false;
    int64_t m_fontAt = 0;  // where the standard font's record began
    std::unique_ptr<Run> m_run;
    bool m_dirty = false;
    int64_t m_work = 0;  // pixels drawn in this transfer or Advance

    // Drawing state.
    int m_scaleA = 100, m_scaleB = 100;
    int64_t m_textX = 0, m_textY = 0;
    uint8_t m_textCode = 0;
    int m_hMag = 1, m_vMag = 1;
    bool m_toldFont = false;

    // Page trailer of the page being run, and the slideshow.
    int m_trailerDelay = -1, m_trailerNext = -1;
    int m_shownPage = -1;
    int m_slideNext = -1;
    double m_slideAt = 0;
    double m_now = 0;
};
