#include "core/DisplayModule.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/ColourCode.h"
#include "base/GbkCodec.h"
#include "base/StringFormat.h"
#include "items/CTextChar.h"
#include "items/DotFont.h"
#include "link/Crc16Xmodem.h"
#include "project/BackgroundIds.h"

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kNoPage = 0xFF;
constexpr int kFontUnit = 8192;
constexpr int64_t kMaxFirmware = int64_t{16} << 20;
// Slideshow steps taken in one Advance at most: a cycle of short delays cannot hold it.
constexpr int kMaxSteps = 100000;
constexpr double kDelayUnit = 0.25;

int64_t Word(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}

int64_t Big16(const uint8_t* p) {
    return (p[0] << 8) | p[1];
}

// Pixels of a..b (either order) inside 0..size - 1.
int64_t Span(int64_t a, int64_t b, int64_t size) {
    const int64_t lo = std::max<int64_t>(std::min(a, b), 0);
    const int64_t hi = std::min<int64_t>(std::max(a, b), size - 1);
    return hi >= lo ? hi - lo + 1 : 0;
}

// Commands a stored page record may hold: its background, trailer and drawing commands.
bool AllowedInBody(uint8_t op) {
    switch (op) {
        case 0x42:
        case 0x19:
        case 0x53:
        case 0x50:
        case 0x46:
        case 0x41:
        case 0x5A:
        case 0x4E:
        case 0x13:
        case 0x59:
        case 0x16:
        case 0x17:
        case 0x2A:
        case 0x48:
        case 0x43:
        case 0x4D:
        case 0x23:
        case 0x24:
        case 0x29:
        case 0x18:
            return true;
        default:
            return false;
    }
}

bool IsDrawing(uint8_t op) {
    return AllowedInBody(op) && op != 0x53 && op != 0x50;
}

const char* FormName(Framing f) {
    switch (f) {
        case Framing::Checksum:
            return " [校验和]";
        case Framing::Long:
            return " [长]";
        default:
            return " [短]";
    }
}

}  // namespace

std::string ModuleEvent::Format() const {
    if (where == Where::PageArea)
        return StringFormat("页面区 0x%04llX  %s", static_cast<long long>(offset), text.c_str());
    return StringFormat("0x%06llX  %s", static_cast<long long>(offset), text.c_str());
}

struct DisplayModule::Command {
    uint8_t op = 0;
    uint8_t sub = 0;  // 1B 20: 0 full-screen bitmap, 1 standard font, 2 custom font
    Framing form = Framing::Short;
    const uint8_t* raw = nullptr;  // the command's first byte (ESC)
    const uint8_t* prm = nullptr;  // its first parameter byte
    const uint8_t* data = nullptr;
    size_t dataLen = 0;
};

struct DisplayModule::Parsed {
    enum Status { Done, NeedMore, Bad } status = Done;
    size_t length = 0;  // Done: bytes of the command; Bad: bytes to drop before resuming
    std::string why;
};

struct DisplayModule::Run {
    int text = 0;  // characters follow: 1 ASCII (1B 24), 2 GB2312 (1B 23)
    int64_t textAt = 0;
    int64_t textX = 0, textY = 0;
    std::string chars;  // GBK, for the log
    bool haveLead = false;
    uint8_t lead = 0;
    bool skipping = false;  // dropping bytes up to the next ESC
    bool ended = false;     // a stored page's trailer (or erased flash) was reached
    ModuleEvent::Where where = ModuleEvent::Where::Stream;
};

DisplayModule::DisplayModule(const ModuleConfig& config)
    : m_config(config),
      m_screen(config.width, config.height, config.CodeColour(0)),
      m_flash(std::make_unique<ModuleFlash>(config.FlashPageSize())),
      m_framing(config.framing),
      m_run(std::make_unique<Run>()) {}

DisplayModule::~DisplayModule() = default;

// ---- the transfer --------------------------------------------------------------------

void DisplayModule::Feed(std::span<const uint8_t> bytes) {
    m_buf.insert(m_buf.end(), bytes.begin(), bytes.end());
    for (;;) {
        if (m_fontSink) {
            // The standard font runs to the end of the transfer.
            const size_t room = kMaxStandardFont - m_flash->standardFont.size();
            const size_t n = std::min(room, m_buf.size() - m_pos);
            m_flash->standardFont.insert(m_flash->standardFont.end(), m_buf.begin() + m_pos,
                                         m_buf.begin() + m_pos + n);
            if (n < m_buf.size() - m_pos && !m_fontFull) {
                m_fontFull = true;
                Warn(ModuleEvent::Where::Stream, m_base + m_pos + n,
                     "标准字库超过 4 MB，其余字节丢弃");
            }
            m_pos = m_buf.size();
            break;
        }
        m_pos += Pump(m_buf.data() + m_pos, m_buf.size() - m_pos, false, Context::Stream,
                      m_base + m_pos, *m_run);
        if (!m_fontSink) break;
    }
    if (m_pos == m_buf.size()) {
        m_base += static_cast<int64_t>(m_buf.size());
        m_buf.clear();
        m_pos = 0;
    } else if (m_pos > (size_t{1} << 20)) {
        m_buf.erase(m_buf.begin(), m_buf.begin() + static_cast<int64_t>(m_pos));
        m_base += static_cast<int64_t>(m_pos);
        m_pos = 0;
    }
}

void DisplayModule::Finish() {
    if (!m_fontSink) {
        m_pos += Pump(m_buf.data() + m_pos, m_buf.size() - m_pos, true, Context::Stream,
                      m_base + m_pos, *m_run);
    }
    EndText(*m_run);
    if (m_fontSink)
        Log(ModuleEvent::Where::Stream, m_fontAt,
            StringFormat("写标准字库 %zu 字节", m_flash->standardFont.size()));
    m_fontSink = m_fontFull = false;
    m_buf.clear();
    m_pos = 0;
    m_base = 0;
    m_run = std::make_unique<Run>();
    m_toldFont = false;
    if (m_dirty) Frame(-1);
    m_work = 0;
}

bool DisplayModule::Pending() const {
    return m_pos < m_buf.size();
}

size_t DisplayModule::Pump(const uint8_t* data, size_t n, bool final, Context ctx, int64_t base,
                           Run& run) {
    run.where = WhereOf(ctx);
    size_t i = 0;
    while (i < n && !run.ended) {
        const uint8_t b = data[i];
        if (b != kEsc) {
            if (ctx == Context::Body && b == ModuleFlash::kErased) {
                // Erased flash: the record ends.
                EndText(run);
                run.ended = true;
                break;
            }
            if (run.text == 1) {
                TextChar(b, 0, false, base + int64_t(i), run);
            } else if (run.text == 2 && !run.haveLead) {
                run.haveLead = true;
                run.lead = b;
            } else if (run.text == 2) {
                run.haveLead = false;
                TextChar(run.lead, b, true, base + int64_t(i), run);
            } else if (!run.skipping) {
                Warn(run.where, base + int64_t(i),
                     StringFormat("字节 %02X 不是命令，跳到下一个 ESC", b));
                run.skipping = true;
            }
            ++i;
            continue;
        }
        EndText(run);
        run.skipping = false;
        Command cmd;
        const Parsed r = Parse(data + i, n - i, final, ctx, cmd);
        if (r.status == Parsed::NeedMore && !final) break;
        if (r.status != Parsed::Done) {
            const std::string why =
                r.status == Parsed::Bad
                    ? r.why
                    : (n - i < 2 ? std::string("ESC 之后数据结束")
                                 : StringFormat("命令 1B %02X 在数据结束前没有结束", data[i + 1]));
            Warn(run.where, base + int64_t(i), why);
            run.skipping = true;
            i += std::max<size_t>(r.status == Parsed::Bad ? r.length : 1, 1);
            continue;
        }
        cmd.raw = data + i;
        Exec(cmd, ctx, base + int64_t(i), run);
        i += r.length;
        if (m_fontSink) break;
    }
    return i;
}

// ---- reading commands ----------------------------------------------------------------

DisplayModule::Parsed DisplayModule::Head(const uint8_t* p, size_t n, bool final, int count,
                                          bool flashWrite, bool checksum, Command& cmd) const {
    const uint8_t* a = p + 2;
    const size_t avail = n - 2;
    const auto fits = [&](size_t end) {
        return end <= n ? Parsed{Parsed::Done, end, {}} : Parsed{Parsed::NeedMore, 0, {}};
    };
    const Framing f = m_framing;
    if (flashWrite && (f == Framing::Auto || f == Framing::Long)) {
        if (avail < 3 && !final) return {Parsed::NeedMore, 0, {}};
        if (avail >= 3 && a[0] == 0x0A && a[1] == 0xA0 && a[2] == 0x0A) {
            cmd.form = Framing::Long;
            cmd.prm = p + 5;
            return fits(5 + size_t(count));
        }
        if (f == Framing::Long)
            return {Parsed::Bad, 2, StringFormat("长指令模式：1B %02X 之后没有 0A A0 0A", p[1])};
    }
    if (checksum && (f == Framing::Auto || f == Framing::Checksum)) {
        const size_t need = 1 + size_t(count) + 2;
        if (avail < need && !final) return {Parsed::NeedMore, 0, {}};
        if (avail >= need) {
            unsigned sum = kEsc + p[1] + a[0];
            for (int k = 0; k < count; ++k)
                sum += a[1 + k];
            const uint8_t hi = a[1 + count], lo = a[2 + count];
            // The block record's head sum is checked on its low byte only.
            const bool sumOk =
                p[1] == 0x20 ? lo == (sum & 0xFF) : Big16(a + 1 + count) == (sum & 0xFFFF);
            if (a[0] == count && sumOk) {
                cmd.form = Framing::Checksum;
                cmd.prm = p + 3;
                return {Parsed::Done, 2 + need, {}};
            }
            if (f == Framing::Checksum) {
                if (a[0] != count)
                    return {Parsed::Bad, 2,
                            StringFormat("校验和模式：1B %02X 的参数个数 %d 应为 %d", p[1], a[0],
                                         count)};
                return {Parsed::Bad, 2 + need,
                        StringFormat("校验和错误：1B %02X 收到 %02X%02X，应为 %04X", p[1], hi, lo,
                                     sum & 0xFFFF)};
            }
        } else if (f == Framing::Checksum) {
            return {Parsed::NeedMore, 0, {}};
        }
    }
    cmd.form = Framing::Short;
    cmd.prm = p + 2;
    return fits(2 + size_t(count));
}

DisplayModule::Parsed DisplayModule::Parse(const uint8_t* p, size_t n, bool final, Context ctx,
                                           Command& cmd) const {
    if (n < 2) return {Parsed::NeedMore, 0, {}};
    const uint8_t op = p[1];
    cmd.op = op;
    cmd.prm = p + 2;
    const auto fixed = [&](size_t params) {
        return 2 + params <= n ? Parsed{Parsed::Done, 2 + params, {}}
                               : Parsed{Parsed::NeedMore, 0, {}};
    };
    // A head followed by `dataLen` bytes of data.
    const auto withData = [&](const Parsed& head, size_t at, int64_t dataLen) -> Parsed {
        if (head.status != Parsed::Done) return head;
        if (dataLen > kMaxCommandBytes)
            return {Parsed::Bad, 2,
                    StringFormat("命令 1B %02X 的数据 %lld 字节超过上限", op,
                                 static_cast<long long>(dataLen))};
        cmd.data = p + at;
        cmd.dataLen = static_cast<size_t>(dataLen);
        return at + cmd.dataLen <= n ? Parsed{Parsed::Done, at + cmd.dataLen, {}}
                                     : Parsed{Parsed::NeedMore, 0, {}};
    };
    if (ctx == Context::Body && !AllowedInBody(op))
        return {Parsed::Bad, 2, StringFormat("页面记录中的命令 1B %02X 不能执行", op)};
    const bool packed = m_config.Packed();
    switch (op) {
        case 0x56: {
            const Parsed h = Head(p, n, final, 2, true, true, cmd);
            if (h.status != Parsed::Done) return h;
            return withData(h, h.length, int64_t{cmd.prm[1]} * ModuleFlash::kPageBytes);
        }
        case 0x28: {
            const Parsed h = Head(p, n, final, 3, true, true, cmd);
            if (h.status != Parsed::Done) return h;
            const int pages = cmd.prm[2] ? cmd.prm[2] : ModuleFlash::kBlockPages;
            return withData(h, h.length, int64_t{pages} * m_config.FlashPageSize());
        }
        case 0x20: {
            const Parsed h = Head(p, n, final, 1, true, true, cmd);
            if (h.status != Parsed::Done) return h;
            const uint8_t a = cmd.prm[0];
            const size_t at = h.length;
            if (at + 1 > n) return {Parsed::NeedMore, 0, {}};
            if (a == 0x0A) {
                cmd.sub = 1;
                if (p[at] != 0x20) return {Parsed::Bad, 2, "标准字库记录的块头之后应为 20"};
                return {Parsed::Done, at + 1, {}};
            }
            if (a == 0x08) {
                cmd.sub = 2;
                if (at + 2 > n) return {Parsed::NeedMore, 0, {}};
                return withData(h, at + 2, int64_t{p[at]} * kFontUnit);
            }
            if (p[at] != 0x00)
                return {Parsed::Bad, 2, StringFormat("全屏位图 %d 的块头之后应为 00", a)};
            const int64_t unit = m_config.FlashPageSize();
            return withData(h, at + 1, (m_config.FullScreenBytes() + unit - 1) / unit * unit);
        }
        case 0x3D: {
            if (n < 6) return {Parsed::NeedMore, 0, {}};
            const int64_t r = (int64_t{p[2]} << 24) | (p[3] << 16) | (p[4] << 8) | p[5];
            if (r > kMaxFirmware)
                return {Parsed::Bad, 2,
                        StringFormat("CPU程序长度 %lld 超过 16 MB", static_cast<long long>(r))};
            const Parsed h{Parsed::Done, 6, {}};
            return withData(h, 6, r + 2);
        }
        case 0x3F: {
            const Parsed h = Head(p, n, final, 1, true, true, cmd);
            if (h.status != Parsed::Done) return h;
            cmd.sub = cmd.prm[0];
            if (cmd.sub == 0x01) return h;
            if (cmd.sub != 0x00)
                return {Parsed::Bad, 2, StringFormat("未知的校验命令 1B 3F %02X", cmd.sub)};
            if (h.length + 2 > n) return {Parsed::NeedMore, 0, {}};
            return withData(h, h.length + 2, Big16(p + h.length));
        }
        case 0x50:
            if (ctx == Context::Body) return fixed(1);
            return Head(p, n, final, 1, false, true, cmd);
        case 0x1D:
            return Head(p, n, final, 1, false, true, cmd);
        case 0x5D: {
            if (n < 3) return {Parsed::NeedMore, 0, {}};
            cmd.sub = p[2];
            if (p[2] == 0x00) return fixed(1);
            if (p[2] == 0x01) {
                cmd.prm = p + 3;
                return fixed(3);
            }
            // The checksum form is taken in every mode: the mode option announcing checksum
            // framing arrives in it while the module still reads short heads.
            if (p[2] == 0x03) {
                if (n < 8) return {Parsed::NeedMore, 0, {}};
                const unsigned sum = kEsc + 0x5D + 0x03 + p[3] + p[4] + p[5];
                if (Big16(p + 6) != sum)
                    return {Parsed::Bad, 8,
                            StringFormat("校验和错误：1B 5D 收到 %02X%02X，应为 %04X", p[6], p[7],
                                         sum)};
                cmd.form = Framing::Checksum;
                cmd.sub = 0x01;
                cmd.prm = p + 4;
                return {Parsed::Done, 8, {}};
            }
            return {Parsed::Bad, 2, StringFormat("未知的选项命令 1B 5D %02X", p[2])};
        }
        case 0x5E:
            if (n < 3) return {Parsed::NeedMore, 0, {}};
            if (p[2] != 0x00) return {Parsed::Bad, 2, StringFormat("未知的命令 1B 5E %02X", p[2])};
            return fixed(1);
        case 0x42:
        case 0x19:
        case 0x43:
        case 0x53:
            return fixed(1);
        case 0x46:
        case 0x41:
        case 0x5A:
            return fixed(9);
        case 0x4E:
            return fixed(2);
        case 0x13:
        case 0x59:
            return fixed(7);
        case 0x16:
        case 0x17:
            return fixed(11);
        case 0x2A:
            return fixed(6);
        case 0x48:
            return fixed(4);
        case 0x4D:
            if (n < 3) return {Parsed::NeedMore, 0, {}};
            if (p[2] >= 0x51 && p[2] <= 0x54) return fixed(1);
            if (p[2] == 0x55) return fixed(3);
            return {Parsed::Bad, 2, StringFormat("未知的放大命令 1B 4D %02X", p[2])};
        case 0x23:
        case 0x24:
            return fixed(0);
        case 0x29:
            return fixed(packed ? 8 : 10);
        case 0x18: {
            const size_t params = packed ? 6 : 8;
            if (n < 2 + params) return {Parsed::NeedMore, 0, {}};
            const uint8_t* q = p + 2;
            const int64_t w = packed ? int64_t{q[4]} * 2 : Word(q + 4);
            const int64_t h = packed ? q[5] : Word(q + 6);
            return withData(Parsed{Parsed::Done, 2 + params, {}}, 2 + params,
                            m_config.PixelBytes(w, h));
        }
        default:
            return {Parsed::Bad, 2, StringFormat("未知命令 1B %02X", op)};
    }
}

// ---- executing -----------------------------------------------------------------------

void DisplayModule::Log(ModuleEvent::Where where, int64_t at, std::string text) {
    if (m_listener) m_listener->OnCommand(ModuleEvent{where, at, std::move(text)});
}

void DisplayModule::Warn(ModuleEvent::Where where, int64_t at, std::string text) {
    ++m_warnings;
    if (m_listener) m_listener->OnWarning(ModuleEvent{where, at, std::move(text)});
}

bool DisplayModule::Spend(int64_t pixels, ModuleEvent::Where where, int64_t at) {
    const int64_t budget = m_config.drawWork;
    if (m_work <= budget - pixels) {
        m_work += pixels;
        return true;
    }
    if (m_work <= budget) Warn(where, at, "绘图工作量超过一次传输的上限，其后的绘图命令不再执行");
    m_work = budget + 1;  // spent: every later command is skipped silently
    return false;
}

void DisplayModule::Frame(int page) {
    m_dirty = false;
    if (m_listener) m_listener->OnFrame(m_screen, page);
}

bool DisplayModule::OnScreen(std::initializer_list<int64_t> xs,
                             std::initializer_list<int64_t> ys) const {
    // A right or bottom edge may sit just past the last pixel.
    for (const int64_t x : xs)
        if (x > m_config.width) return false;
    for (const int64_t y : ys)
        if (y > m_config.height) return false;
    return true;
}

void DisplayModule::Exec(const Command& cmd, Context ctx, int64_t at, Run& run) {
    const uint8_t* q = cmd.prm;
    const auto where = WhereOf(ctx);
    const bool log = m_listener != nullptr;
    if (ctx == Context::Stream && IsDrawing(cmd.op)) {
        // A direct drawing takes the screen from the slideshow.
        m_slideNext = -1;
        m_shownPage = -1;
        m_dirty = true;
    }
    switch (cmd.op) {
        case 0x23:
        case 0x24:
            run.text = cmd.op == 0x24 ? 1 : 2;
            run.textAt = at;
            run.textX = m_textX, run.textY = m_textY;
            return;
        case 0x50:
            if (ctx == Context::Body) {
                m_trailerNext = q[0];
                if (log)
                    Log(where, at,
                        q[0] == kNoPage ? "下一页面 无" : StringFormat("下一页面 %d", q[0]));
                run.ended = true;
            } else {
                if (log) Log(where, at, StringFormat("显示页面 %d%s", q[0], FormName(cmd.form)));
                RunPage(q[0]);
            }
            return;
        case 0x53:
            if (ctx == Context::Body) m_trailerDelay = q[0];
            if (log) Log(where, at, StringFormat("延时 %d*0.25秒", q[0]));
            return;
        case 0x5D:
            if (cmd.sub == 0x00) {
                Log(where, at, "读取配置信息");
                ShowInfo({StringFormat("%dx%d %d colours", m_config.width, m_config.height,
                                       m_config.colours),
                          StringFormat("board %d, flash page %d", m_config.board,
                                       m_config.FlashPageSize()),
                          StringFormat("framing %s", ModuleConfig::FramingName(m_framing))});
                return;
            }
            if (q[0] == 0x00) {
                m_framing = q[1] ? Framing::Auto : Framing::Short;
                if (log)
                    Log(where, at,
                        std::string(q[1] ? "指令模式：校验和或长" : "指令模式：短") +
                            FormName(cmd.form));
            } else if (log) {
                const char* name = q[0] == 0x01   ? "字符开关"
                                   : q[0] == 0x02 ? "局部位图页大小/并口开关"
                                                  : "选项";
                Log(where, at,
                    StringFormat("%s %02X = %d%s", name, q[0], q[1], FormName(cmd.form)));
            }
            return;
        case 0x1D: {
            static const int kBauds[] = {4800, 9600, 19200, 38400, 115200};
            if (q[0] > 4) {
                Warn(where, at, StringFormat("波特率序号 %d 超出 0..4", q[0]));
            } else if (log) {
                Log(where, at, StringFormat("波特率 %d%s", kBauds[q[0]], FormName(cmd.form)));
            }
            return;
        }
        case 0x5E:
            Log(where, at, "读取系统版本");
            ShowInfo({"lcdsim 1.0"});
            return;
        case 0x56:
        case 0x28:
        case 0x20:
        case 0x3D:
        case 0x3F:
            ExecFlash(cmd, at);
            return;
        default:
            ExecDraw(cmd, ctx, at);
    }
}

void DisplayModule::ExecFlash(const Command& cmd, int64_t at) {
    const auto where = ModuleEvent::Where::Stream;
    const uint8_t* q = cmd.prm;
    const char* form = FormName(cmd.form);
    std::span<const uint8_t> data(cmd.data, cmd.dataLen);
    switch (cmd.op) {
        case 0x56:
            if (!m_flash->WritePages(q[0], data)) {
                Warn(where, at, StringFormat("页面记录越界：起始页 %d,页数 %d", q[0], q[1]));
            } else {
                Log(where, at, StringFormat("写页面记录：起始页 %d,页数 %d%s", q[0], q[1], form));
                // A new download replaces the stored pages: the slideshow of the old ones
                // ends, and the next one starts from what is stored now.
                m_slideNext = -1;
                m_shownPage = -1;
            }
            return;
        case 0x28: {
            const int pages = q[2] ? q[2] : ModuleFlash::kBlockPages;
            if (!m_flash->WriteBitmap(q[0], q[1], data)) {
                Warn(where, at,
                     StringFormat("局部位图记录越界：块 %d,起始页 %d,页数 %d", q[0], q[1], pages));
            } else {
                Log(where, at,
                    StringFormat("写局部位图：块 %d,起始页 %d,页数 %d%s", q[0], q[1], pages, form));
            }
            return;
        }
        case 0x20:
            if (cmd.sub == 1) {
                m_fontSink = true;
                m_fontAt = at;
                m_flash->standardFont.clear();
                return;
            }
            if (cmd.sub == 2) {
                const uint8_t kind = cmd.data[-1];
                if (kind >= ModuleFlash::kCustomFontKinds) {
                    Warn(where, at, StringFormat("自定义字库种类 %d 超出 0..9", kind));
                    return;
                }
                m_flash->customFonts[kind].assign(data.begin(), data.end());
                Log(where, at,
                    StringFormat("写自定义字库：种类 %d,%zu 字节%s", kind, data.size(), form));
                return;
            }
            // Only the ids a module has: the flash stays the size of a module's.
            if (BackgroundIds::IndexOfId(q[0]) < 0) {
                Warn(where, at,
                     StringFormat("全屏位图编号 %d 超出模块的 0..64（8、10 除外），不写入", q[0]));
                return;
            }
            m_flash->WriteFullScreen(q[0], std::vector<uint8_t>(data.begin(), data.end()));
            Log(where, at, StringFormat("写全屏位图 %d%s", q[0], form));
            return;
        case 0x3D: {
            const size_t r = data.size() - 2;
            unsigned sum = 0;
            for (const uint8_t* b = cmd.raw; b < cmd.data + r; ++b)
                sum += *b;
            const unsigned sent = static_cast<unsigned>(Big16(cmd.data + r));
            if ((sum & 0xFFFF) != sent) {
                Warn(where, at,
                     StringFormat("CPU程序校验和错误：收到 %04X，应为 %04X", sent, sum & 0xFFFF));
                return;
            }
            m_flash->firmware.assign(cmd.data, cmd.data + r);
            Log(where, at, StringFormat("写CPU程序 %zu 字节", r));
            if (m_listener) m_listener->OnReport(StringFormat("CPU程序校验和正确 (%04X)", sent));
            return;
        }
        default:  // 0x3F
            if (cmd.sub == 0x01) {
                Log(where, at, std::string("开始校验") + form);
                StartCheck(at);
                return;
            }
            m_flash->crcTable.assign(data.begin(), data.end());
            Log(where, at, StringFormat("写CRC校验表 %zu 字节%s", data.size(), form));
    }
}

void DisplayModule::StartCheck(int64_t at) {
    const auto& t = m_flash->crcTable;
    const auto where = ModuleEvent::Where::Stream;
    if (t.empty()) {
        Warn(where, at, "没有CRC校验表");
        return;
    }
    const int64_t unit = m_config.FlashPageSize();
    int good = 0, bad = 0;
    size_t i = 0;
    while (i < t.size()) {
        const size_t fields = i + 1 < t.size() ? (t[i + 1] == 0x56   ? 2
                                                  : t[i + 1] == 0x28 ? 3
                                                  : t[i + 1] == 0x20 ? 1
                                                                     : 0)
                                               : 0;
        if (t[i] != kEsc || fields == 0 || i + 2 + fields + 2 > t.size()) {
            Warn(where, at, StringFormat("CRC校验表第 %zu 字节起已损坏", i));
            return;
        }
        const uint8_t* f = t.data() + i + 2;
        const unsigned expected = static_cast<unsigned>(Big16(f + fields));
        std::vector<uint8_t> area;
        std::string what;
        bool inside = true;
        if (t[i + 1] == 0x56) {
            what = StringFormat("页面记录 起始页 %d,页数 %d", f[0], f[1]);
            const auto pages = m_flash->PageArea();
            inside = f[0] + f[1] <= ModuleFlash::kPages;
            if (inside)
                area.assign(pages.begin() + f[0] * ModuleFlash::kPageBytes,
                            pages.begin() + (f[0] + f[1]) * ModuleFlash::kPageBytes);
        } else if (t[i + 1] == 0x28) {
            const int pages = f[2] ? f[2] : ModuleFlash::kBlockPages;
            what = StringFormat("局部位图 块 %d,起始页 %d,页数 %d", f[0], f[1], pages);
            bool unwritten = false;
            inside = m_flash->ReadBitmap(f[0], f[1], size_t(pages * unit), area, unwritten);
        } else {
            what = StringFormat("全屏位图 %d", f[0]);
            const size_t bytes = size_t((m_config.FullScreenBytes() + unit - 1) / unit * unit);
            const auto* stored = m_flash->FullScreen(f[0]);
            area.assign(bytes, ModuleFlash::kErased);
            if (stored) std::copy_n(stored->begin(), std::min(bytes, stored->size()), area.begin());
        }
        const unsigned actual = Crc16Xmodem(area);
        if (inside && actual == expected) {
            ++good;
            if (m_listener)
                m_listener->OnReport(StringFormat("校验正确：%s (%04X)", what.c_str(), actual));
        } else {
            ++bad;
            Warn(where, at,
                 inside ? StringFormat("校验错误：%s 应为 %04X，实为 %04X", what.c_str(), expected,
                                       actual)
                        : StringFormat("校验错误：%s 超出存储区", what.c_str()));
        }
        i += 2 + fields + 2;
    }
    if (m_listener) m_listener->OnReport(StringFormat("校验结束：%d 项正确，%d 项错误", good, bad));
}

void DisplayModule::ExecDraw(const Command& cmd, Context ctx, int64_t at) {
    const uint8_t* q = cmd.prm;
    const auto where = WhereOf(ctx);
    const bool log = m_listener != nullptr;
    // A point off the screen is told; the command still draws what falls on the screen,
    // as the canvas does.
    const auto offScreen = [&](const char* what) {
        Warn(where, at,
             StringFormat("%s：坐标超出屏幕 %dx%d", what, m_config.width, m_config.height));
    };
    const auto colour = [&](uint8_t code) { return m_config.CodeColour(code); };
    // What a shape costs: its visible box, or the box's edges for an outline.
    const int64_t W = m_config.width, H = m_config.height;
    const auto area = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        return Spend(Span(x1, x2, W) * Span(y1, y2, H), where, at);
    };
    const auto edges = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        return Spend(2 * (Span(x1, x2, W) + Span(y1, y2, H)), where, at);
    };
    const auto pen = [&](uint8_t code) {
        m_screen.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, colour(code)});
    };
    const auto brush = [&](bool solid, uint8_t code) {
        m_screen.SetBrush(solid ? Surface::Brush{Surface::BrushStyle::Solid, colour(code)}
                                : Surface::Brush{Surface::BrushStyle::None, 0});
    };
    const int hi = q[0] >> 4, lo = q[0] & 15;
    switch (cmd.op) {
        case 0x42:
            if (log) Log(where, at, StringFormat("清屏    颜色代码：%X%X", hi, lo));
            if (!Spend(W * H, where, at)) return;
            m_screen.Clear(colour(q[0]));
            m_textX = m_textY = 0;
            return;
        case 0x46:
        case 0x41:
        case 0x5A: {
            const int64_t x1 = Word(q + 1), y1 = Word(q + 3), x2 = Word(q + 5), y2 = Word(q + 7);
            const char* what = cmd.op == 0x46 ? "直线" : cmd.op == 0x41 ? "实心矩形" : "空心矩形";
            if (!OnScreen({x1, x2}, {y1, y2})) offScreen(what);
            if (log)
                Log(where, at,
                    cmd.op == 0x46
                        ? StringFormat("直线：起点(%lld,%lld),终点(%lld,%lld) 颜色代码 %X%X",
                                       (long long)x1, (long long)y1, (long long)x2, (long long)y2,
                                       hi, lo)
                        : StringFormat("%s：左上角(%lld,%lld),右下角(%lld,%lld),颜色代码 %X%X",
                                       what, (long long)x1, (long long)y1, (long long)x2,
                                       (long long)y2, hi, lo));
            const bool spent = cmd.op == 0x46 ? Spend(Span(x1, x2, W) + Span(y1, y2, H), where, at)
                               : cmd.op == 0x41 ? area(x1, y1, x2, y2)
                                                : edges(x1, y1, x2, y2);
            if (!spent) return;
            pen(q[0]);
            if (cmd.op == 0x46) {
                m_screen.Line(int(x1), int(y1), int(x2), int(y2));
            } else {
                brush(cmd.op == 0x41, q[0]);
                m_screen.Rectangle(int(x1), int(y1), int(x2), int(y2));
            }
            return;
        }
        case 0x4E:
            m_scaleA = q[0], m_scaleB = q[1];
            if (log) Log(where, at, StringFormat("比例：横向 %d%% 纵向 %d%%", q[0], q[1]));
            return;
        case 0x13:
        case 0x59: {
            const int64_t x = Word(q + 1), y = Word(q + 3), r = Word(q + 5);
            const bool solid = cmd.op == 0x13;
            if (m_scaleA == 0 || m_scaleB == 0) {
                Warn(where, at, StringFormat("椭圆比例 %d%%:%d%% 不能为 0", m_scaleA, m_scaleB));
                return;
            }
            if (!OnScreen({x}, {y})) offScreen(solid ? "实心圆" : "空心圆");
            const int64_t rx = r * m_scaleA / m_scaleB;
            if (log) {
                const char* fill = solid ? "实心" : "空心";
                Log(where, at,
                    rx == r
                        ? StringFormat("%s圆：圆心(%lld,%lld),半径:%lld,颜色代码 %X%X", fill,
                                       (long long)x, (long long)y, (long long)r, hi, lo)
                        : StringFormat("%s椭圆：左上角(%lld,%lld),右下角(%lld,%lld),颜色代码 %X%X",
                                       fill, (long long)(x - rx), (long long)(y - r),
                                       (long long)(x + rx), (long long)(y + r), hi, lo));
            }
            if (!(solid ? area(x - rx, y - r, x + rx, y + r) : edges(x - rx, y - r, x + rx, y + r)))
                return;
            pen(q[0]);
            brush(solid, q[0]);
            m_screen.Ellipse(int(x - rx), int(y - r), int(x + rx), int(y + r));
            return;
        }
        case 0x16:
        case 0x17: {
            const int64_t x = Word(q + 1), y = Word(q + 3), r = Word(q + 5);
            const int64_t s = Word(q + 7), e = Word(q + 9);
            const char* what = cmd.op == 0x16 ? "圆弧" : "扇形";
            if (!OnScreen({x}, {y})) offScreen(what);
            if (log)
                Log(where, at,
                    StringFormat(
                        "%s：圆心坐标(%lld,%lld),半径 %lld,起始角:%lld 终止角:%lld 颜色代码:%X%X",
                        what, (long long)x, (long long)y, (long long)r, (long long)s, (long long)e,
                        hi, lo));
            if (!edges(x - r, y - r, x + r, y + r)) return;
            pen(q[0]);
            brush(false, 0);
            const int l = int(x - r), t = int(y - r), rr = int(x + r), b = int(y + r);
            if (cmd.op == 0x16) {
                m_screen.Arc(l, t, rr, b, double(s), double(e));
            } else {
                m_screen.Pie(l, t, rr, b, double(s), double(e));
            }
            return;
        }
        case 0x2A: {
            const int64_t x = Word(q), y = Word(q + 2);
            const uint8_t fill = q[4], border = q[5];
            if (!OnScreen({x + 1}, {y + 1})) offScreen("填充");
            if (log)
                Log(where, at,
                    StringFormat("填充：填充点(%lld,%lld)填充色代码 %X%X ,边界颜色代码 %X%X",
                                 (long long)x, (long long)y, fill >> 4, fill & 15, border >> 4,
                                 border & 15));
            if (!Spend(W * H, where, at)) return;
            brush(true, fill);
            m_screen.FloodFill(int(x), int(y), colour(border));
            return;
        }
        case 0x48: {
            const int64_t x = Word(q), y = Word(q + 2);
            if (!OnScreen({x}, {y})) offScreen("文字位置");
            m_textX = x, m_textY = y;
            if (log)
                Log(where, at, StringFormat("文字位置(%lld,%lld)", (long long)x, (long long)y));
            return;
        }
        case 0x43:
            m_textCode = q[0];
            if (log) Log(where, at, StringFormat("文字颜色代码:%X%X", hi, lo));
            return;
        case 0x4D:
            if (q[0] == 0x55) {
                m_hMag = q[1], m_vMag = q[2];
            } else {
                m_hMag = (q[0] == 0x52 || q[0] == 0x54) ? 2 : 1;
                m_vMag = (q[0] == 0x53 || q[0] == 0x54) ? 2 : 1;
            }
            if (log) Log(where, at, StringFormat("文字放大：横向 %d 纵向 %d", m_hMag, m_vMag));
            return;
        case 0x29:
        case 0x18: {
            const bool stored = cmd.op == 0x29;
            const uint8_t* b = stored ? q + 2 : q;
            const bool packed = m_config.Packed();
            const int64_t x = Word(b), y = Word(b + 2);
            const int64_t w = packed ? int64_t{b[4]} * 2 : Word(b + 4);
            const int64_t h = packed ? b[5] : Word(b + 6);
            if (!OnScreen({x + w}, {y + h})) offScreen("位图");
            if (log)
                Log(where, at,
                    stored
                        ? StringFormat("位图：左上角(%lld,%lld)，右下角(%lld,%lld) 块 %d 页 %d",
                                       (long long)x, (long long)y, (long long)(x + w),
                                       (long long)(y + h), q[0], q[1])
                        : StringFormat("位图：左上角(%lld,%lld)，右下角(%lld,%lld)", (long long)x,
                                       (long long)y, (long long)(x + w), (long long)(y + h)));
            if (!area(x, y, x + w - 1, y + h - 1)) return;
            if (!stored) return DrawPixels(x, y, w, h, cmd.data);
            std::vector<uint8_t> pixels;
            bool unwritten = false;
            if (!m_flash->ReadBitmap(q[0], q[1], size_t(m_config.PixelBytes(w, h)), pixels,
                                     unwritten)) {
                Warn(where, at, StringFormat("局部位图超出存储区：块 %d 页 %d", q[0], q[1]));
                return;
            }
            if (unwritten)
                Warn(where, at, StringFormat("局部位图 块 %d 页 %d 起有未写入的页", q[0], q[1]));
            DrawPixels(x, y, w, h, pixels.data());
            return;
        }
        case 0x19: {
            if (log) Log(where, at, StringFormat("背景位图 %d", q[0]));
            const auto* data = m_flash->FullScreen(q[0]);
            if (!data) {
                Warn(where, at, StringFormat("全屏位图 %d 没有写入", q[0]));
                return;
            }
            if (!Spend(W * H, where, at)) return;
            DrawPixels(0, 0, m_config.width, m_config.height, data->data());
            return;
        }
        default:
            return;
    }
}

void DisplayModule::DrawPixels(int64_t x, int64_t y, int64_t w, int64_t h, const uint8_t* bytes) {
    const ModuleConfig& c = m_config;
    const bool wide = c.Pixels16(), eight = !wide && c.colours == 8;
    const int64_t rowBytes = c.PixelBytes(w, 1);
    const int64_t shown = eight ? w / 2 * 2 : w;  // an odd 8-colour row's last pixel is not sent
    const int64_t x0 = std::max<int64_t>(0, -x), x1 = std::min<int64_t>(shown, c.width - x);
    const int64_t y0 = std::max<int64_t>(0, -y), y1 = std::min<int64_t>(h, c.height - y);
    for (int64_t r = y0; r < y1; ++r) {
        const uint8_t* row = bytes + r * rowBytes;
        uint32_t* out = m_screen.Pixels() + (y + r) * c.width + x;
        for (int64_t col = x0; col < x1; ++col) {
            uint32_t v;
            if (wide) {
                const uint8_t a = row[col * 2], b = row[col * 2 + 1];
                v = c.LowByteFirst() ? (b << 8 | a) : (a << 8 | b);
            } else if (eight) {
                v = (row[col / 2] >> ((col & 1) ? 4 : 0)) & 7;
            } else {
                v = row[col];
            }
            out[col] = Surface::ToPixel(c.PixelColour(v));
        }
    }
}

void DisplayModule::TextChar(uint8_t lead, uint8_t trail, bool hanzi, int64_t at, Run& run) {
    CTextChar ch;
    ch.m_lead = lead;
    ch.m_trail = trail;
    ch.m_bDouble = hanzi ? 1 : 0;
    ch.m_nHMag = m_hMag;
    ch.m_nVMag = m_vMag;
    ch.m_crColor = m_config.CodeColour(m_textCode);
    ch.m_x = static_cast<int32_t>(std::clamp<int64_t>(m_textX, INT32_MIN, INT32_MAX));
    ch.m_y = static_cast<int32_t>(std::clamp<int64_t>(m_textY, INT32_MIN, INT32_MAX));
    const DotFont* font = !m_config.fonts ? nullptr
                          : hanzi         ? m_config.fonts->Hanzi()
                                          : m_config.fonts->Ascii();
    if (font) {
        const int64_t cell = int64_t{hanzi ? 16 : 8} * m_hMag * 16 * m_vMag;
        if (!Spend(std::min(cell, int64_t{m_config.width} * m_config.height), run.where, at))
            return;
        if (hanzi) {
            font->CopyGlyph(DotFont::HanziOffset(lead, trail), ch.m_glyphHz);
        } else {
            font->CopyGlyph(DotFont::AsciiOffset(lead), ch.m_glyphAsc);
        }
        ch.m_bGlyphLoaded = 1;
        ch.DrawGlyph(m_screen, 16, 16);
    } else if (!m_toldFont) {
        m_toldFont = true;
        Warn(run.where, at, hanzi ? "找不到字库文件 hzk16" : "字库文件丢失 ASC16");
    }
    m_textX += ch.LayoutWidth(16);
    if (m_listener) {
        run.chars.push_back(static_cast<char>(lead));
        if (hanzi) run.chars.push_back(static_cast<char>(trail));
    }
}

void DisplayModule::EndText(Run& run) {
    if (run.haveLead) Warn(run.where, run.textAt, "汉字缺少第二个字节");
    if (run.text && m_listener) {
        std::string text;
        if (!GbkCodec::ToUtf8(run.chars, text)) text = "?";
        Log(run.where, run.textAt,
            StringFormat("文字：起始点(%lld,%lld) 横向放大:%d 纵向放大:%d 颜色代码:%X%X \"%s\"",
                         (long long)run.textX, (long long)run.textY, m_hMag, m_vMag,
                         m_textCode >> 4, m_textCode & 15, text.c_str()));
    }
    run.text = 0;
    run.haveLead = false;
    run.chars.clear();
}

void DisplayModule::ShowInfo(const std::vector<std::string>& lines) {
    m_screen.SetPen(Surface::Pen{Surface::PenStyle::None, 1, 0});
    m_screen.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, m_config.CodeColour(0)});
    m_screen.FillRect(0, 0, m_config.width, int(lines.size()) * 16);
    uint8_t hi = 0, lo = 7;
    ColourCode::DefaultDrawCode(m_config.colours, hi, lo);
    const int savedH = m_hMag, savedV = m_vMag;
    const uint8_t savedCode = m_textCode;
    m_hMag = m_vMag = 1;
    m_textCode = static_cast<uint8_t>(hi << 4 | lo);
    Run run;
    for (size_t k = 0; k < lines.size(); ++k) {
        m_textX = 0, m_textY = int64_t(k) * 16;
        for (const char c : lines[k])
            TextChar(static_cast<uint8_t>(c), 0, false, 0, run);
    }
    m_hMag = savedH, m_vMag = savedV, m_textCode = savedCode;
    m_shownPage = -1;
    m_slideNext = -1;
    Frame(-1);
}

// ---- stored pages and the slideshow --------------------------------------------------

void DisplayModule::ShowPage(int page) {
    m_work = 0;
    RunPage(page);
}

void DisplayModule::RunPage(int page) {
    if (page < 0 || page >= ModuleFlash::kPages) return;
    const int64_t from = int64_t{page} * ModuleFlash::kPageBytes;
    if (!m_flash->PageWritten(page))
        Warn(ModuleEvent::Where::PageArea, from, StringFormat("页面 %d 没有写入记录", page));
    m_trailerDelay = m_trailerNext = -1;
    Run run;
    const auto area = m_flash->PageArea();
    Pump(area.data() + from, area.size() - size_t(from), true, Context::Body, from, run);
    EndText(run);
    if (m_trailerNext < 0 && m_flash->PageWritten(page))
        Warn(ModuleEvent::Where::PageArea, from,
             StringFormat("页面 %d 的记录没有下一页面命令", page));
    m_shownPage = page;
    m_slideNext = (m_trailerNext >= 0 && m_trailerNext != kNoPage) ? m_trailerNext : -1;
    m_slideAt = m_now + std::max(m_trailerDelay, 1) * kDelayUnit;
    Frame(page);
}

void DisplayModule::Advance(double seconds) {
    if (!(seconds >= 0) || !std::isfinite(seconds)) return;
    m_work = 0;
    const double target = m_now + seconds;
    for (int steps = 0; m_slideNext >= 0 && m_slideAt <= target && steps < kMaxSteps; ++steps) {
        m_now = m_slideAt;
        RunPage(m_slideNext);
    }
    m_now = target;
}

static std::string FlashHeader(const ModuleConfig& c) {
    return StringFormat("LCDSIM-FLASH board=%d size=%dx%d colours=%d\n", c.board, c.width, c.height,
                        c.colours);
}

void DisplayModule::SaveFlash(const std::function<void(std::span<const uint8_t>)>& sink) const {
    const std::string head = FlashHeader(m_config);
    sink(std::span(reinterpret_cast<const uint8_t*>(head.data()), head.size()));
    m_flash->Save(sink);
}

void DisplayModule::SaveFlash(CByteArray& out) const {
    SaveFlash(
        [&](std::span<const uint8_t> piece) { out.insert(out.end(), piece.begin(), piece.end()); });
}

bool DisplayModule::RestoreFlash(std::span<const uint8_t> file, std::string& error) {
    const std::string head = FlashHeader(m_config);
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    const size_t eol = text.substr(0, 100).find('\n');
    const std::string_view line = text.substr(0, eol == std::string_view::npos ? 0 : eol + 1);
    if (!line.starts_with("LCDSIM-FLASH ")) {
        error = "不是 lcdsim 的存储区文件";
        return false;
    }
    if (line != head) {
        error = "存储区文件是为另一种模块保存的：" + std::string(line.substr(0, line.size() - 1));
        return false;
    }
    struct Check : ModuleListener {
        std::string first;
        bool drew = false;
        void OnWarning(const ModuleEvent& e) override {
            if (first.empty()) first = e.Format();
        }
        void OnFrame(const Surface&, int) override { drew = true; }
    } check;
    ModuleConfig config = m_config;
    config.framing = Framing::Short;
    DisplayModule loaded(config);
    loaded.SetListener(&check);
    loaded.Execute(file.subspan(line.size()));
    if (!check.first.empty() || check.drew) {
        error = "存储区文件已损坏：" +
                (check.first.empty() ? std::string("含有绘图命令") : check.first);
        return false;
    }
    m_flash = std::move(loaded.m_flash);
    return true;
}
