#pragma once
// The catalogue of the module types the user owns, kept in "device.dll" in the settings
// directory. Nobody holds it between uses: each dialog or command loads it, uses it and
// drops it.
//
// File: the archive object array of CDeviceObj records, in catalogue order: a count, then
// one object reference per record (the first with the class tag of "CDeviceObj", later
// ones with its back reference 0x8001). An empty file is an empty catalogue.
//
// A file that cannot be parsed is told once and read as an empty catalogue; it is replaced
// only when the catalogue is saved.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "project/CDeviceObj.h"
#include "project/ScreenParams.h"

class Messenger;

class DeviceCatalogue {
public:
    // The catalogue of the settings directory; Load and Save create that directory. What
    // goes wrong is told through `messenger` (not owned).
    explicit DeviceCatalogue(Messenger& messenger);
    // The catalogue in the file `path`.
    DeviceCatalogue(std::string path, Messenger& messenger);

    // "device.dll" in the settings directory.
    static std::string DefaultPath();
    const std::string& Path() const { return m_path; }

    // The longest catalogue file read; a record takes under 100 bytes.
    static constexpr uint64_t kMaxFileBytes = uint64_t{16} << 20;

    // Reads the file, creating it empty when it is missing (unless `create` is false: a
    // missing file is then an empty catalogue and nothing is made). False with the
    // catalogue empty when the file cannot be opened ("找不到配置文件") or parsed (told
    // once per content).
    bool Load(bool create = true);
    // Replaces the file with the records; when it cannot be written the user is told
    // "找不到配置文件" and the old file stays as it was.
    bool Save();
    // Load met a file it could not parse, and no Save has replaced it yet.
    bool IsDamaged() const { return m_bDamaged; }

    // The file's contents. Read keeps the catalogue as it was and sets `error` (one UTF-8
    // line with the offset) when the bytes are not a catalogue.
    bool Read(std::span<const uint8_t> bytes, std::string& error);
    CByteArray Write() const;

    int GetCount() const { return static_cast<int>(m_devices.size()); }
    // "" for an index outside the catalogue.
    std::string GetName(int index) const;
    // Index of the first record with exactly this name, or -1.
    int Find(const std::string& name) const;
    // The values of the first record named `name`; false, outputs untouched, when none.
    bool Lookup(const std::string& name, ScreenParams& screen, int32_t& bitmapSupport) const;
    // A copy of the record at `index`; false for an index outside the catalogue.
    bool GetAt(int index, CDeviceObj& out) const;
    // Replaces the values of the record with the device's name, or appends the device.
    void Put(const CDeviceObj& device);
    // Deletes the first record named `name`, if any, then saves; false when saving fails.
    bool Remove(const std::string& name);
    // Deletes the record at `index`; nothing for an index outside the catalogue.
    void RemoveAt(int index);
    void Clear() { m_devices.clear(); }

    // Why the device-edit dialog refuses these fields ("" when it accepts them).
    static std::string CheckDevice(const CDeviceObj& device);
    // Why no module can have this logical size ("" when one can): each side 1..65535
    // (module coordinates are 16-bit) and the pixels within the drawing surface's limit.
    static std::string CheckLogicalSize(int64_t width, int64_t height);
    // The device-edit dialog's "保存": appends a new device and saves the catalogue. A
    // device the checks refuse or whose name is taken is told and changes nothing (a type
    // is changed by deleting and adding it again).
    bool AddDevice(const CDeviceObj& device);

    // The colour counts the device-edit dialog offers, in picker order.
    static const std::vector<int>& ColourChoices();
    // The picker entry of a colour count; -1 (picker left as it was) for any other value.
    static int ColourChoiceIndex(int colours);
    // The colour count of a picker entry; 0 when nothing is chosen.
    static int ColoursOfChoice(int index);
    // "支持" or "不支持", as the dialogs show bitmap support.
    static std::string BitmapSupportText(int32_t bitmapSupport);

private:
    bool PrepareDir();

    void Tell(const std::string& text) const;

    std::string m_path;
    Messenger* m_pMessenger;
    bool m_bInSettingsDir = false;
    bool m_bDamaged = false;
    std::vector<CDeviceObj> m_devices;
};
