#pragma once
// Helpers the item tests share: stored records, hand-built records, clone comparison.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Archive.h"
#include "base/ByteArray.h"
#include "base/ClassRegistry.h"
#include "items/CItemBase.h"

namespace itemchecks {

// The bytes an archive writes for the item as the first object of a file.
inline CByteArray Stored(const CObject& item) {
    Archive ar;
    ar.WriteObject(&item);
    return ar.Bytes();
}

// Reads one T back from `bytes`; null when the archive fails (its error in `error`).
template <class T>
std::unique_ptr<T> Load(const CByteArray& bytes, std::string* error = nullptr) {
    ClassRegistry registry;
    registry.Register<T>();
    Archive in(bytes, registry);
    std::unique_ptr<T> item = in.ReadObjectAs<T>("item");
    if (error) *error = in.Ok() ? std::string() : in.Error().message;
    return in.Ok() ? std::move(item) : nullptr;
}

// A record written out by hand, field by field, as the file format describes it.
class Record {
public:
    // The tag of a class's first appearance: new-class marker, schema 1, name.
    explicit Record(const std::string& className) {
        Word(0xFFFF), Word(1), Word(static_cast<uint16_t>(className.size()));
        m_bytes.insert(m_bytes.end(), className.begin(), className.end());
    }
    Record& Word(uint16_t v) {
        m_bytes.push_back(static_cast<uint8_t>(v)), m_bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Record& Int(int64_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    Record& Byte(uint8_t v) {
        m_bytes.push_back(v);
        return *this;
    }
    const CByteArray& Bytes() const { return m_bytes; }

private:
    CByteArray m_bytes;
};

inline std::string EncodedHex(CItemBase& item) {
    CByteArray bytes;
    item.Encode(1, bytes);
    return ToHex(bytes);
}

// The description line the item adds under a parent.
inline std::string Description(CItemBase& item, bool* checked = nullptr) {
    TreeNode root;
    item.AddToTree(root, 0);
    EXPECT_EQ(root.children.size(), 1u);
    if (root.children.empty()) return {};
    if (checked) *checked = root.children[0].checked;
    return root.children[0].text;
}

// Every stored field (through the record) and every state member a copy must share.
inline void ExpectSameItem(const CItemBase& a, const CItemBase& b) {
    EXPECT_EQ(ToHex(Stored(a)), ToHex(Stored(b)));
    EXPECT_EQ(a.m_nType, b.m_nType);
    EXPECT_EQ(a.m_x1, b.m_x1);
    EXPECT_EQ(a.m_y1, b.m_y1);
    EXPECT_EQ(a.m_x2, b.m_x2);
    EXPECT_EQ(a.m_y2, b.m_y2);
    EXPECT_EQ(a.m_crColor, b.m_crColor);
    EXPECT_EQ(a.m_crFill, b.m_crFill);
    EXPECT_EQ(a.m_codeHi, b.m_codeHi);
    EXPECT_EQ(a.m_codeLo, b.m_codeLo);
    EXPECT_EQ(a.m_bSolid, b.m_bSolid);
    EXPECT_EQ(a.m_bSelected, b.m_bSelected);
    EXPECT_EQ(a.m_bDragging, b.m_bDragging);
    EXPECT_EQ(a.m_bCreating, b.m_bCreating);
    EXPECT_EQ(a.m_bModified, b.m_bModified);
    EXPECT_EQ(a.m_nHandle, b.m_nHandle);
    EXPECT_EQ(a.m_nPenWidth, b.m_nPenWidth);
}

// Sets every base field to a value no constructor gives, so a copy that drops one shows.
inline void Scatter(CItemBase& item) {
    item.m_x1 = 11, item.m_y1 = 22, item.m_x2 = 133, item.m_y2 = 144;
    item.m_crColor = 0x00123456;
    item.m_crFill = 0x00654321;
    item.m_codeHi = 0xA, item.m_codeLo = 0x5;
    item.m_bSolid = 1;
    item.m_bSelected = 1, item.m_bDragging = 1, item.m_bCreating = 1, item.m_bModified = 1;
    item.m_nHandle = 2;
    item.m_nPenWidth = 3;
}

}  // namespace itemchecks
