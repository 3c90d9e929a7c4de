#pragma once
// The binary object serialization of page, project, catalogue and settings files.
//
// All integers are little-endian. One Archive either stores (into its own buffer) or
// loads (from a caller's bytes); Serialize methods call the same transfer functions in
// both directions.
//
// String:  len < 0xFF               -> u8 len, bytes
//          len < 0xFFFE             -> u8 0xFF, u16 len, bytes
//          otherwise                -> u8 0xFF, u16 0xFFFF, u32 len, bytes
//          (GBK text, no terminator; a reader accepts every form)
// Count:   n < 0xFFFF -> u16 n;  otherwise u16 0xFFFF, u32 n
// Object reference (one running index per archive, shared by classes and objects,
// starting at 1; 0 is null):
//          null                     -> u16 0x0000
//          object written before    -> u16 index           (index >= 0x7FFF: u16 0x7FFF, u32 index)
//          new class                -> u16 0xFFFF, u16 schema, u16 name length, ASCII name;
//                                      the class takes the next index, then its object
//          known class              -> u16 0x8000 | index   (index >= 0x7FFF: u16 0x7FFF,
//                                      u32 0x80000000 | index)
//          a class tag is followed by the object's own Serialize output.
//
// Loading never reads past the end of the input and never allocates more than the rest
// of the input could describe. The first malformation stops the load: every later read
// yields zeros, and Error() tells the offset and what was wrong.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ArchiveError.h"
#include "base/ByteArray.h"
#include "base/CObject.h"

class ClassRegistry;

class Archive {
public:
    // A storing archive writing into its own buffer.
    Archive();
    // A loading archive over `data` (not copied; must outlive the archive), creating
    // classes through `registry`.
    Archive(std::span<const uint8_t> data, const ClassRegistry& registry);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    // Symmetric transfers: write the value when storing, read it when loading.
    void Byte(uint8_t& v);
    void UInt16(uint16_t& v);
    void Int32(int32_t& v);
    void UInt32(uint32_t& v);
    void Double(double& v);
    void Point(int32_t& x, int32_t& y);
    // A string as its bytes on disk (GBK).
    void RawString(std::string& bytes);
    // A string that is UTF-8 in memory and GBK on disk. A text GBK cannot hold, or bytes
    // that are not GBK, fail the archive.
    void Text(std::string& utf8);
    // The count of an object array. Loading checks that `minBytesEach` bytes per element
    // are still available before the caller allocates anything.
    void Count(uint32_t& n, size_t minBytesEach);

    // Object references. Storing writes `obj` (nullptr allowed) with its class tag, or its
    // index when it was written before.
    void WriteObject(const CObject* obj);
    // Loading reads one reference. A new object is returned owned by the caller; null
    // gives nullptr. A reference to an object read before fails: every object in these
    // files has exactly one owner.
    std::unique_ptr<CObject> ReadObject();
    // ReadObject, failing with `what` in the message unless the object is a T.
    template <class T>
    std::unique_ptr<T> ReadObjectAs(const char* what) {
        std::unique_ptr<CObject> obj = ReadObject();
        if (!obj) return nullptr;
        if (auto* typed = dynamic_cast<T*>(obj.get())) {
            obj.release();
            return std::unique_ptr<T>(typed);
        }
        Fail(std::string("对象不是") + what);
        return nullptr;
    }
    // Loading a whole object array of T: its count (at least `minBytesEach` bytes left
    // per element), then one reference each, read into values. A null element, or one of
    // another class, fails the archive naming `what`; the elements read before are kept.
    template <class T>
    std::vector<T> ReadObjects(size_t minBytesEach, const char* what) {
        uint32_t count = 0;
        Count(count, minBytesEach);
        std::vector<T> read;
        read.reserve(count);
        for (uint32_t i = 0; i < count && Ok(); ++i) {
            std::unique_ptr<T> element = ReadObjectAs<T>(what);
            if (!Ok()) break;
            if (!element) {
                Fail(std::string(what) + "为空");
                break;
            }
            read.push_back(std::move(*element));
        }
        return read;
    }

    // Error state. Storing fails only on a text GBK cannot hold; the bytes are then unusable.
    bool Ok() const { return m_error.message.empty(); }
    const ArchiveError& Error() const { return m_error; }
    // Records a failure at the current offset; only the first one is kept.
    void Fail(const std::string& message);

    // Loading: bytes consumed so far and left.
    size_t Offset() const { return m_pos; }
    size_t Remaining() const { return m_data.size() - m_pos; }

    // Storing: the bytes written so far.
    const CByteArray& Bytes() const { return m_out; }
    CByteArray TakeBytes() { return std::move(m_out); }

private:
    bool Need(size_t n);
    void Put(const void* p, size_t n);
    void Get(void* p, size_t n);
    uint32_t NextIndex();

    bool m_storing;
    CByteArray m_out;
    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    const ClassRegistry* m_registry = nullptr;
    ArchiveError m_error;

    // Storing: indexes given to classes and objects.
    std::map<std::string, uint32_t> m_classIndex;
    std::map<const CObject*, uint32_t> m_objectIndex;
    // Loading: what each index stands for (class name, or an object already read).
    struct Loaded {
        bool isClass = false;
        std::string className;
    };
    std::vector<Loaded> m_loaded;  // m_loaded[i] is index i + 1
    uint32_t m_nextIndex = 1;
};
