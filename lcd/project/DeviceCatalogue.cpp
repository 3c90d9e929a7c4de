#include "project/DeviceCatalogue.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "base/AppPaths.h"
#include "base/Archive.h"
#include "base/AtomicFile.h"
#include "base/ClassRegistry.h"
#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

const char kFileName[] = "device.dll";
const char kCaption[] = "提示";
const char kCannotOpen[] = "找不到配置文件";

// The smallest record after its tag: a one-byte empty name, four int32 and two doubles.
constexpr size_t kMinRecordBytes = 2 + 1 + 4 * 4 + 2 * 8;
// Longest device name in GBK bytes: the pickers of the dialogs show it on one line.
constexpr size_t kMaxNameBytes = 64;

const ClassRegistry& DeviceClasses() {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        r.Register<CDeviceObj>(1);
        return r;
    }();
    return registry;
}

// Damaged files already told in this process, by path and content, so that every dialog
// loading the catalogue does not tell it again.
std::set<std::pair<std::string, size_t>>& ToldDamage() {
    static std::set<std::pair<std::string, size_t>> told;
    return told;
}

size_t ContentKey(std::span<const uint8_t> bytes) {
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

DeviceCatalogue::DeviceCatalogue(Messenger& messenger)
    : m_path(DefaultPath()), m_pMessenger(&messenger), m_bInSettingsDir(true) {}

DeviceCatalogue::DeviceCatalogue(std::string path, Messenger& messenger)
    : m_path(std::move(path)), m_pMessenger(&messenger) {}

void DeviceCatalogue::Tell(const std::string& text) const {
    m_pMessenger->Tell(text, kCaption);
}

std::string DeviceCatalogue::DefaultPath() {
    const std::string dir = AppPaths::SettingsDir();
    if (!dir.empty() && dir.back() == '/') return dir + kFileName;
    return dir + "/" + kFileName;
}

bool DeviceCatalogue::PrepareDir() {
    std::string error;
    return !m_bInSettingsDir || AppPaths::MakeSettingsDir(error);
}

bool DeviceCatalogue::Load(bool create) {
    m_devices.clear();
    m_bDamaged = false;
    std::string error;
    struct stat st {};
    if (create && !PrepareDir()) {
        Tell(kCannotOpen);
        return false;
    }
    if (stat(m_path.c_str(), &st) != 0) {
        if (errno == ENOENT && !create) return true;
        if (errno != ENOENT || !AtomicFile::Write(m_path, {}, error)) {
            Tell(kCannotOpen);
            return false;
        }
        return true;
    }
    std::vector<uint8_t> bytes;
    if (!AtomicFile::Read(m_path, bytes, error, kMaxFileBytes)) {
        Tell(st.st_size > static_cast<off_t>(kMaxFileBytes) ? error : kCannotOpen);
        return false;
    }
    if (bytes.empty()) return true;
    if (!Read(bytes, error)) {
        m_bDamaged = true;
        if (ToldDamage().emplace(m_path, ContentKey(bytes)).second) {
            Tell(
                StringFormat("设备配置文件 %s 已损坏（%s），暂按空的设备表使用；"
                             "保存设备表之前不会改动该文件",
                             m_path.c_str(), error.c_str()));
        }
        return false;
    }
    return true;
}

bool DeviceCatalogue::Save() {
    std::string error;
    if (!PrepareDir() || !AtomicFile::Write(m_path, Write(), error)) {
        Tell(kCannotOpen);
        return false;
    }
    m_bDamaged = false;
    // The file is sound again: should it break once more, the user hears of it.
    auto& told = ToldDamage();
    for (auto it = told.begin(); it != told.end();)
        it = it->first == m_path ? told.erase(it) : std::next(it);
    return true;
}

bool DeviceCatalogue::Read(std::span<const uint8_t> bytes, std::string& error) {
    Archive ar(bytes, DeviceClasses());
    std::vector<CDeviceObj> devices = ar.ReadObjects<CDeviceObj>(kMinRecordBytes, "设备记录");
    if (!ar.Ok()) {
        error = ar.Error().Describe();
        return false;
    }
    m_devices = std::move(devices);
    return true;
}

CByteArray DeviceCatalogue::Write() const {
    Archive ar;
    uint32_t count = static_cast<uint32_t>(m_devices.size());
    ar.Count(count, 0);
    for (const CDeviceObj& device : m_devices)
        ar.WriteObject(&device);
    return ar.TakeBytes();
}

std::string DeviceCatalogue::GetName(int index) const {
    if (index < 0 || index >= GetCount()) return "";
    return m_devices[static_cast<size_t>(index)].m_strName;
}

int DeviceCatalogue::Find(const std::string& name) const {
    for (size_t i = 0; i < m_devices.size(); ++i) {
        if (m_devices[i].m_strName == name) return static_cast<int>(i);
    }
    return -1;
}

bool DeviceCatalogue::Lookup(const std::string& name, ScreenParams& screen,
                             int32_t& bitmapSupport) const {
    const int index = Find(name);
    if (index < 0) return false;
    const CDeviceObj& device = m_devices[static_cast<size_t>(index)];
    screen = device.GetScreenParams();
    bitmapSupport = device.m_nBitmapSupport;
    return true;
}

bool DeviceCatalogue::GetAt(int index, CDeviceObj& out) const {
    if (index < 0 || index >= GetCount()) return false;
    out = m_devices[static_cast<size_t>(index)];
    return true;
}

void DeviceCatalogue::Put(const CDeviceObj& device) {
    const int index = Find(device.m_strName);
    if (index < 0) {
        m_devices.push_back(device);
    } else {
        m_devices[static_cast<size_t>(index)] = device;
    }
}

bool DeviceCatalogue::Remove(const std::string& name) {
    RemoveAt(Find(name));
    return Save();
}

void DeviceCatalogue::RemoveAt(int index) {
    if (index < 0 || index >= GetCount()) return;
    m_devices.erase(m_devices.begin() + index);
}

std::string DeviceCatalogue::CheckDevice(const CDeviceObj& device) {
    const std::string& name = device.m_strName;
    if (name.empty()) return "请填写设备名称";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "设备名称不能含有控制字符";
    }
    std::string gbk;
    if (!GbkCodec::FromUtf8(name, gbk)) return "设备名称含有 GBK 编码无法表示的字符";
    if (gbk.size() > kMaxNameBytes) {
        return StringFormat("设备名称过长（最多 %zu 字节，汉字每字 2 字节）", kMaxNameBytes);
    }
    if (std::string why = CheckLogicalSize(device.m_nLogWidth, device.m_nLogHeight); !why.empty())
        return why;
    const auto mmOk = [](double v) { return std::isfinite(v) && v > 0; };
    if (!mmOk(device.m_dPhysWidth) || !mmOk(device.m_dPhysHeight)) {
        return "物理尺寸的宽和高必须是大于 0 的毫米数";
    }
    if (device.m_nColours == 0) return "请选择设备支持颜色数目";
    if (ColourChoiceIndex(device.m_nColours) < 0) return "设备支持颜色数目只能是 8、16、64 或 256";
    if (device.m_nBitmapSupport != 0 && device.m_nBitmapSupport != 1) {
        return "位图支持只能是 1（支持）或 0（不支持）";
    }
    return "";
}

std::string DeviceCatalogue::CheckLogicalSize(int64_t width, int64_t height) {
    const auto sideOk = [](int64_t v) { return v >= 1 && v <= Surface::kMaxSide; };
    if (!sideOk(width) || !sideOk(height))
        return StringFormat("逻辑尺寸的宽和高必须在 1 到 %d 点之间", Surface::kMaxSide);
    if (width * height > Surface::kMaxPixels) {
        return StringFormat("逻辑尺寸过大（宽×高最多 %lld 点）",
                            static_cast<long long>(Surface::kMaxPixels));
    }
    return "";
}

bool DeviceCatalogue::AddDevice(const CDeviceObj& device) {
    const std::string refusal = CheckDevice(device);
    if (!refusal.empty()) {
        Tell(refusal);
        return false;
    }
    if (Find(device.m_strName) >= 0) {
        Tell("设备“" + device.m_strName + "”已存在；要修改它，请先删除再重新添加");
        return false;
    }
    m_devices.push_back(device);
    if (!Save()) {
        m_devices.pop_back();
        return false;
    }
    return true;
}

const std::vector<int>& DeviceCatalogue::ColourChoices() {
    // 8, 64 and 256 at the indexes the dialog has always used; 16 comes after them.
    static const std::vector<int> choices = {8, 64, 256, 16};
    return choices;
}

int DeviceCatalogue::ColourChoiceIndex(int colours) {
    const std::vector<int>& choices = ColourChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == colours) return static_cast<int>(i);
    }
    return -1;
}

int DeviceCatalogue::ColoursOfChoice(int index) {
    const std::vector<int>& choices = ColourChoices();
    if (index < 0 || index >= static_cast<int>(choices.size())) return 0;
    return choices[static_cast<size_t>(index)];
}

std::string DeviceCatalogue::BitmapSupportText(int32_t bitmapSupport) {
    return bitmapSupport == 1 ? "支持" : "不支持";
}
