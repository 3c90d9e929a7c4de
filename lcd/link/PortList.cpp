#include "link/PortList.h"

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "base/StringFormat.h"
#include "link/CanLink.h"
#include "link/UsbLink.h"

namespace {

std::vector<std::string> SortedEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::ranges::sort(names);
    return names;
}

std::string FirstLine(const std::string& path) {
    std::ifstream f(path);
    std::string line;
    std::getline(f, line);
    return line;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

std::string ConsolePortWarning(const LinkSettings& settings, const std::string& root) {
    if (settings.Kind() != LinkKind::Serial) return "";
    const std::string device = settings.SerialDevice();
    char resolved[PATH_MAX];
    const std::string real =
        realpath((root + device).c_str(), resolved) ? std::string(resolved) : root + device;
    const std::string name = real.substr(real.rfind('/') + 1);
    std::ifstream active(root + "/sys/class/tty/console/active");
    for (std::string console; active >> console;) {
        if (console != name) continue;
        const std::string port = settings.serialPath.empty()
                                     ? StringFormat("COM%d（%s）", settings.comPort, device.c_str())
                                     : device;
        return "还没有选择连接：下载会发往 " + port + "，而它是本机的系统控制台";
    }
    return "";
}

std::vector<PortInfo> FindSerialPorts(const std::string& root) {
    std::vector<PortInfo> ports;
    const std::string sys = root + "/sys/class/tty/";
    for (const std::string& name : SortedEntries(sys)) {
        // 8250 ports exist for every possible UART; type 0 means none is fitted.
        const bool uart = StartsWith(name, "ttyS") && FirstLine(sys + name + "/type") != "0" &&
                          !FirstLine(sys + name + "/type").empty();
        const char* kind = uart                         ? "串口"
                           : StartsWith(name, "ttyUSB") ? "USB 转串口"
                           : StartsWith(name, "ttyACM") ? "USB 串口（ACM）"
                           : StartsWith(name, "ttyAMA") ? "串口"
                                                        : nullptr;
        if (kind) ports.push_back({"/dev/" + name, kind});
    }
    const std::string byId = root + "/dev/serial/by-id/";
    for (const std::string& name : SortedEntries(byId)) {
        char target[PATH_MAX];
        const ssize_t n = readlink((byId + name).c_str(), target, sizeof target - 1);
        const std::string to = n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
        ports.push_back(
            {"/dev/serial/by-id/" + name, "→ /dev/" + to.substr(to.find_last_of('/') + 1)});
    }
    return ports;
}

std::vector<PortInfo> FindParallelPorts(const std::string& root) {
    std::vector<PortInfo> ports;
    const std::string proc = root + "/proc/sys/dev/parport/";
    for (const std::string& name : SortedEntries(proc)) {
        if (!StartsWith(name, "parport")) continue;
        unsigned long base = 0;
        std::ifstream(proc + name + "/base-addr") >> base;
        ports.push_back({"/dev/" + name, StringFormat("地址 0x%lX", base)});
    }
    return ports;
}

PortList FindPorts(LinkSettings& settings, const LinkEnvironment& env, const std::string& root) {
    PortList list;
    list.serial = FindSerialPorts(root);
    list.parallel = FindParallelPorts(root);
    UsbLink::FindModules(settings, env.usb ? *env.usb : UsbBus::System());
    for (size_t i = 0; i < settings.usbDevices.size(); ++i)
        list.usb.push_back({settings.usbDevices[i], StringFormat("usb-lcd%zu", i + 1)});
    std::string error;
    if (const CanApi* api = env.can ? env.can : CanApi::Load(error))
        for (const std::string& name : CanLink::ListAdapters(*api))
            list.can.push_back({name, "USB-CAN 适配器"});
    return list;
}
