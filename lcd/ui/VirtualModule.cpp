#include "ui/VirtualModule.h"

#include <algorithm>

#include "base/Messages.h"
#include "core/ModuleFonts.h"

namespace {

constexpr const char* kKey = "virtual-module";

bool IsFlagLine(const std::string& line) {
    const size_t start = line.find_first_not_of(" \t");
    return start != std::string::npos &&
           line.compare(start, std::char_traits<char>::length(kKey), kKey) == 0;
}

QImage ToImage(const Surface& s) {
    return QImage(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                  QImage::Format_RGB32)
        .copy();
}

}  // namespace

bool UsesVirtualModule(const LinkSettings& settings) {
    return std::ranges::any_of(settings.otherLines, [](const std::string& line) {
        return IsFlagLine(line) && line.find("on") != std::string::npos;
    });
}

void SetVirtualModule(LinkSettings& settings, bool on) {
    std::erase_if(settings.otherLines, IsFlagLine);
    if (on) settings.otherLines.push_back(std::string(kKey) + " = on");
}

// Feeds the module in pieces, so that the bar moves and a stop lands between pieces, as
// on a port.
class VirtualModuleLink final : public Link {
public:
    static constexpr size_t kPiece = 256;
    explicit VirtualModuleLink(VirtualModule& module) : m_module(module) {}
    LinkKind Kind() const override { return LinkKind::None; }
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override {
        SendResult result;
        for (size_t at = 0; at < bytes.size(); at += kPiece) {
            if (stop.load()) {
                result.status = SendStatus::Stopped;
                break;
            }
            const size_t n = std::min(kPiece, bytes.size() - at);
            {
                std::lock_guard lock(m_module.m_mutex);
                m_module.m_module->Feed(bytes.subspan(at, n));
            }
            result.sent += static_cast<int64_t>(n);
            sink.OnProgress(kProgressSent, static_cast<int64_t>(at + n - 1));
        }
        std::lock_guard lock(m_module.m_mutex);
        m_module.m_module->Finish();
        return result;
    }
    SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>&) override {
        std::lock_guard lock(m_module.m_mutex);
        m_module.m_module->Execute(bytes);
        return {SendStatus::Done, static_cast<int64_t>(bytes.size()), {}};
    }

private:
    VirtualModule& m_module;
};

VirtualModule::VirtualModule(QObject* parent) : QObject(parent) {}

VirtualModule::~VirtualModule() = default;

void VirtualModule::configure(int width, int height, int colours, int board) {
    ModuleConfig config;
    config.width = width;
    config.height = height;
    config.colours = colours == 8 || colours == 16 || colours == 64 ? colours : 256;
    config.board = std::clamp(board, 0, 3);
    std::lock_guard lock(m_mutex);
    if (m_module) {
        const ModuleConfig& now = m_module->Config();
        if (now.width == config.width && now.height == config.height &&
            now.colours == config.colours && now.board == config.board)
            return;
    }
    // Without the fonts text is left out and the rest still draws; the dock says so.
    if (const std::string missing = ModuleFonts::Use(config); !missing.empty())
        emit warned(QString::fromStdString(Messages::Tr(missing)));
    ++m_generation;
    if (!config.Check().empty()) {
        m_module.reset();  // no module rather than one of another screen
        return;
    }
    m_module = std::make_unique<DisplayModule>(config);
    m_module->SetListener(this);
    m_screen = ToImage(m_module->Screen());
    emit screenChanged();
}

bool VirtualModule::configured() const {
    std::lock_guard lock(m_mutex);
    return m_module != nullptr;
}

std::string VirtualModule::memoryDir() {
    if (!m_memory) m_memory = std::make_unique<QTemporaryDir>();
    return m_memory->isValid() ? m_memory->path().toStdString() : std::string();
}

int VirtualModule::generation() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

std::unique_ptr<Link> VirtualModule::openLink() {
    if (!configured()) return nullptr;
    return std::make_unique<VirtualModuleLink>(*this);
}

QImage VirtualModule::screen() const {
    std::lock_guard lock(m_mutex);
    return m_screen;
}

int VirtualModule::shownPage() const {
    std::lock_guard lock(m_mutex);
    return m_module ? m_module->ShownPage() : -1;
}

int VirtualModule::nextPage() const {
    std::lock_guard lock(m_mutex);
    return m_module ? m_module->NextPage() : -1;
}

int VirtualModule::firstStoredPage() const {
    std::lock_guard lock(m_mutex);
    for (int page = 0; m_module && page < ModuleFlash::kPages; ++page)
        if (m_module->Flash().PageWritten(page)) return page;
    return -1;
}

CByteArray VirtualModule::flash() const {
    std::lock_guard lock(m_mutex);
    CByteArray out;
    if (m_module) m_module->SaveFlash(out);
    return out;
}

int VirtualModule::warnings() const {
    std::lock_guard lock(m_mutex);
    return m_module ? m_module->Warnings() : 0;
}

void VirtualModule::showPage(int page) {
    std::lock_guard lock(m_mutex);
    if (m_module) m_module->ShowPage(page);
}

void VirtualModule::advance(double seconds) {
    std::lock_guard lock(m_mutex);
    if (m_module) m_module->Advance(seconds);
}

// Both run under m_mutex, on whichever thread feeds the module.
void VirtualModule::OnWarning(const ModuleEvent& event) {
    emit warned(QString::fromStdString(Messages::Tr(event.Format())));
}

void VirtualModule::OnFrame(const Surface& screen, int) {
    m_screen = ToImage(screen);
    emit screenChanged();
}
