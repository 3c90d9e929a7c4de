#include "link/CanLink.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/AppPaths.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "link/LinkTiming.h"

// Set by the build: where the library is installed and where the build tree made it.
#ifndef LCD_INSTALL_LIB_DIR
#define LCD_INSTALL_LIB_DIR "/usr/local/lib"
#endif
#ifndef LCD_KVX_CAN_BUILD_PATH
#define LCD_KVX_CAN_BUILD_PATH ""
#endif

namespace {

constexpr const char* kLibraryName = "libKVX_CAN.so";
// Room for the adapter search: far more adapters than a machine can hold.
constexpr int kMaxAdapters = 1024;

struct Loaded {
    CanApi api;
    std::string error;
    bool ok = false;
};

Loaded LoadLibrary() {
    Loaded out;
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("LCDSCREEN_KVX_CAN"); env && *env) candidates.push_back(env);
    const std::string program = AppPaths::ProgramDir();
    candidates.push_back(program + "/" + kLibraryName);
    candidates.push_back(program + "/../lib/" + kLibraryName);
    // The tree this program was built in comes before the install location, so that a
    // build (a sanitized one too) runs with its own library.
    if (*LCD_KVX_CAN_BUILD_PATH) candidates.push_back(LCD_KVX_CAN_BUILD_PATH);
    candidates.push_back(std::string(LCD_INSTALL_LIB_DIR) + "/" + kLibraryName);
    candidates.push_back(kLibraryName);
    void* handle = nullptr;
    for (const std::string& path : candidates)
        if ((handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))) break;
    if (!handle) {
        out.error = std::string("找不到 CAN 适配器库 ") + kLibraryName +
                    "，USB-CAN 连接不能使用（可用环境变量 LCDSCREEN_KVX_CAN 指明它的位置）";
        return out;
    }
    // The library stays loaded for the rest of the run.
    const auto bind = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        if (!fn) out.error = std::string("CAN 适配器库缺少函数 ") + name;
        return fn != nullptr;
    };
    out.ok = bind(out.api.openDevice, "KVX_OpenDevice") &&
             bind(out.api.closeDevice, "KVX_CloseDevice") &&
             bind(out.api.startCan, "KVX_StartCAN") && bind(out.api.transmit, "KVX_Transmit") &&
             bind(out.api.findUsbDevices, "KVX_FindQzUsbDevice");
    return out;
}

}  // namespace

const CanApi* CanApi::Load(std::string& error) {
    static const Loaded loaded = LoadLibrary();
    error = loaded.error;
    return loaded.ok ? &loaded.api : nullptr;
}

std::string CanLink::UdpPortProblem(uint32_t address, uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(port);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    const int err = errno;
    if (fd >= 0) ::close(fd);
    if (bound) return "";
    if (err == EADDRINUSE) return StringFormat("UDP 端口 %u 已被另一个程序占用", port);
    return StringFormat("无法使用 UDP 端口 %u：%s", port, std::strerror(err));
}

std::vector<std::string> CanLink::ListAdapters(const CanApi& api) {
    std::vector<uint8_t> buffer(KVX_FIND_BUFFER_BYTES(kMaxAdapters));
    const int32_t n = api.findUsbDevices(reinterpret_cast<BoardInfo*>(buffer.data()));
    std::vector<std::string> names;
    for (int32_t k = 0; k < std::min(n, kMaxAdapters); ++k) {
        std::string name = "USBCAN-";
        for (int i = 0; i < 4; ++i) {
            const uint8_t c = buffer[sizeof(BoardInfo) + 4 * k + i];
            name += StringFormat("%c", c ? c : '?');
        }
        names.push_back(name);
    }
    return names;
}

std::unique_ptr<Link> CanLink::Open(const LinkSettings& settings, Messenger& messenger,
                                    const LinkEnvironment& env) {
    std::string error;
    const CanApi* api = env.can ? env.can : CanApi::Load(error);
    if (!api) {
        messenger.Tell(error, "提示");
        return nullptr;
    }
    const CanTarget target = settings.CanAdapter();
    if (target.deviceType == 1) setenv("KVX_CAN_COM1", target.serialPath.c_str(), 1);
    if (target.deviceType == 4 && target.udpPort)
        setenv("KVX_CAN_UDP_ADAPTER_PORT", std::to_string(target.udpPort).c_str(), 1);
    if (target.deviceType == 4) {
        // The library answers a taken port with a failed open and a line of its own; said
        // here first, in words that name the port. Its local port: KVX_CAN_UDP_LOCAL_PORT,
        // else 5000 (0 takes any free one).
        const char* env = std::getenv("KVX_CAN_UDP_LOCAL_PORT");
        const long local = env && *env ? std::strtol(env, nullptr, 10) : 5000;
        if (local > 0 && local <= 65535)
            if (const std::string why = UdpPortProblem(INADDR_ANY, static_cast<uint16_t>(local));
                !why.empty()) {
                messenger.Tell(why +
                                   "，无法与 CAN 适配器通信（可用环境变量 "
                                   "KVX_CAN_UDP_LOCAL_PORT 换一个本机端口）",
                               "提示");
                return nullptr;
            }
    }
    if ((target.deviceType == 2 || target.deviceType == 3) && ListAdapters(*api).empty()) {
        messenger.Tell("没找到USB-CAN液晶屏设备", "提示");
        return nullptr;
    }
    // A serial adapter index n is COM n + 1: the path set above is COM1.
    CanTarget adapter = target;
    if (adapter.deviceType == 1) adapter.deviceIndex = 0;
    return std::make_unique<CanLink>(*api, adapter, settings.baudRate, settings.canPaceMicros);
}

SendResult CanLink::Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                         const std::atomic<bool>& stop) {
    const uint32_t type = m_target.deviceType, index = m_target.deviceIndex;
    const uint32_t reserved = type == 1 ? static_cast<uint32_t>(m_nBaudRate) : 0;
    if (m_api.openDevice(type, index, reserved) != 1) {
        sink.OnProgress(kProgressAdapterOpen, 0);
        return SendResult::Fail("USB-CAN 适配器打开失败，请检查适配器是否已连接");
    }
    const auto finish = [&](SendResult r) {
        m_api.closeDevice(type, index);
        return r;
    };
    if (m_api.startCan(type, index, 0) != 1) {
        sink.OnProgress(kProgressAdapterStart, 0);
        return finish(SendResult::Fail("USB-CAN 适配器的 CAN 通道启动失败"));
    }
    const auto start = std::chrono::steady_clock::now();
    auto due = start;
    for (size_t at = 0; at < bytes.size(); at += 8) {
        const auto sent = static_cast<int64_t>(at);
        if (stop.load()) return finish({SendStatus::Stopped, sent, ""});
        CanFrame frame{};
        frame.length = static_cast<uint8_t>(std::min<size_t>(8, bytes.size() - at));
        std::memcpy(frame.data, &bytes[at], frame.length);
        if (m_api.transmit(type, index, 0, &frame) != 1)
            return finish(SendResult::Fail(
                StringFormat("USB-CAN 适配器没有接收第 %lld 字节起的数据帧", (long long)at), sent));
        const bool full = frame.length == 8;
        sink.OnProgress(kProgressSent, sent + frame.length - (full ? 0 : 1));
        due += m_nPaceMicros >= 0 ? std::chrono::microseconds(m_nPaceMicros)
                                  : std::chrono::milliseconds(full ? kFrameMs : kLastFrameMs);
        WaitUntil(due);
    }
    return finish({SendStatus::Done, static_cast<int64_t>(bytes.size()), ""});
}
