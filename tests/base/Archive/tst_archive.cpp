#include <gtest/gtest.h>

#include <string>

#include "base/Archive.h"
#include "base/ClassRegistry.h"

namespace {

// Two small classes named like page items, so the framing matches the page file layout.
class TestLine : public CObject {
public:
    int32_t value = 0;
    const char* ClassName() const override { return "CItemLine"; }
    void Serialize(Archive& ar) override { ar.Int32(value); }
};

class TestRect : public CObject {
public:
    uint8_t value = 0;
    const char* ClassName() const override { return "CItemRectangle"; }
    void Serialize(Archive& ar) override { ar.Byte(value); }
};

// An object that owns another through a nested reference, as a bitmap item owns its bitmap.
class TestOwner : public CObject {
public:
    std::unique_ptr<CObject> child;
    const char* ClassName() const override { return "COwner"; }
    void Serialize(Archive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteObject(child.get());
        } else {
            child = ar.ReadObject();
        }
    }
};

ClassRegistry Registry() {
    ClassRegistry r;
    r.Register<TestLine>();
    r.Register<TestRect>();
    r.Register<TestOwner>();
    return r;
}

CByteArray Hex(const std::string& text) {
    CByteArray out;
    EXPECT_TRUE(FromHex(text, out)) << text;
    return out;
}

std::string NameHex(const std::string& name) {
    CByteArray b(name.begin(), name.end());
    return ToHex(b);
}

// --- strings -------------------------------------------------------------------------

struct StringRow {
    const char* name;
    size_t length;
    const char* prefix;  // hex of the length prefix
};

void PrintTo(const StringRow& row, std::ostream* os) {
    *os << row.name;
}

class ArchiveString : public testing::TestWithParam<StringRow> {};

TEST_P(ArchiveString, PrefixFormAndRoundTrip) {
    const StringRow& row = GetParam();
    std::string text(row.length, 'x');
    Archive out;
    out.RawString(text);
    const CByteArray& bytes = out.Bytes();
    const CByteArray prefix = Hex(row.prefix);
    ASSERT_EQ(bytes.size(), prefix.size() + row.length);
    EXPECT_EQ(ToHex(CByteArray(bytes.begin(), bytes.begin() + prefix.size())), ToHex(prefix));

    const ClassRegistry registry;
    Archive in(bytes, registry);
    std::string back;
    in.RawString(back);
    EXPECT_TRUE(in.Ok()) << in.Error().Describe();
    EXPECT_EQ(back, text);
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Forms, ArchiveString,
                         testing::Values(StringRow{"empty", 0, "00"}, StringRow{"short", 5, "05"},
                                         StringRow{"longest_byte_form", 254, "FE"},
                                         StringRow{"first_word_form", 255, "FF FF 00"},
                                         StringRow{"longest_word_form", 0xFFFD, "FF FD FF"},
                                         StringRow{"first_dword_form", 0xFFFE,
                                                   "FF FF FF FE FF 00 00"},
                                         StringRow{"large", 0x10001, "FF FF FF 01 00 01 00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveText, GbkOnDiskUtf8InMemory) {
    std::string text = "彩屏A";
    Archive out;
    out.Text(text);
    EXPECT_EQ(ToHex(out.Bytes()), "05 B2 CA C6 C1 41");
    const ClassRegistry registry;
    Archive in(out.Bytes(), registry);
    std::string back;
    in.Text(back);
    EXPECT_EQ(back, "彩屏A");
}

TEST(ArchiveText, InvalidGbkFailsAtTheString) {
    const CByteArray bytes = Hex("03 41 81 20");  // 0x81 0x20 is no GBK pair
    const ClassRegistry registry;
    Archive in(bytes, registry);
    std::string back;
    in.Text(back);
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.Error().offset, 0u);
}

// --- counts --------------------------------------------------------------------------

struct CountRow {
    const char* name;
    uint32_t count;
    const char* hex;
};

void PrintTo(const CountRow& row, std::ostream* os) {
    *os << row.name;
}

class ArchiveCount : public testing::TestWithParam<CountRow> {};

TEST_P(ArchiveCount, Forms) {
    const CountRow& row = GetParam();
    Archive out;
    uint32_t n = row.count;
    out.Count(n, 0);
    EXPECT_EQ(ToHex(out.Bytes()), row.hex);
    const ClassRegistry registry;
    Archive in(out.Bytes(), registry);
    uint32_t back = 1234;
    in.Count(back, 0);
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(back, row.count);
}

INSTANTIATE_TEST_SUITE_P(Forms, ArchiveCount,
                         testing::Values(CountRow{"zero", 0, "00 00"},
                                         CountRow{"three", 3, "03 00"},
                                         CountRow{"largest_word", 0xFFFE, "FE FF"},
                                         CountRow{"escape", 0xFFFF, "FF FF FF FF 00 00"},
                                         CountRow{"large", 0x12345, "FF FF 45 23 01 00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveCount, LargerThanTheRestOfTheFileFailsBeforeAllocating) {
    const CByteArray bytes = Hex("FF FF FF FF FF FF 00 00");
    const ClassRegistry registry;
    Archive in(bytes, registry);
    uint32_t n = 0;
    in.Count(n, 2);
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(in.Error().offset, 0u);
}

// --- object references ---------------------------------------------------------------

TEST(ArchiveObjects, TwoLinesAndARectangleShareOneRunningIndex) {
    TestLine a, b;
    a.value = 1, b.value = 2;
    TestRect r;
    r.value = 0x33;
    Archive out;
    out.WriteObject(&a);  // class 1, object 2
    out.WriteObject(&b);  // object 3
    out.WriteObject(&r);  // class 4, object 5
    out.WriteObject(&b);  // already written: its index
    out.WriteObject(nullptr);
    const std::string expected = "FF FF 01 00 09 00 " + NameHex("CItemLine") +
                                 " 01 00 00 00"
                                 " 01 80 02 00 00 00"
                                 " FF FF 01 00 0E 00 " +
                                 NameHex("CItemRectangle") +
                                 " 33"
                                 " 03 00"
                                 " 00 00";
    EXPECT_EQ(ToHex(out.Bytes()), expected);
}

TEST(ArchiveObjects, ReadBackGivesEqualObjects) {
    TestLine a, b;
    a.value = -7, b.value = 70000;
    TestRect r;
    r.value = 9;
    Archive out;
    out.WriteObject(&a);
    out.WriteObject(&r);
    out.WriteObject(&b);
    out.WriteObject(nullptr);
    const ClassRegistry registry = Registry();
    Archive in(out.Bytes(), registry);
    auto x = in.ReadObjectAs<TestLine>("line");
    auto y = in.ReadObjectAs<TestRect>("rect");
    auto z = in.ReadObjectAs<TestLine>("line");
    auto n = in.ReadObject();
    ASSERT_TRUE(in.Ok()) << in.Error().Describe();
    ASSERT_TRUE(x && y && z);
    EXPECT_EQ(x->value, -7);
    EXPECT_EQ(y->value, 9);
    EXPECT_EQ(z->value, 70000);
    EXPECT_EQ(n, nullptr);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ArchiveObjects, NestedObjectsTakeIndexesInOrderOfAppearance) {
    TestOwner owner;
    auto child = std::make_unique<TestLine>();
    child->value = 5;
    owner.child = std::move(child);
    TestLine after;
    Archive out;
    out.WriteObject(&owner);  // class 1, object 2, then class 3 and object 4 inside
    out.WriteObject(&after);  // class CItemLine is index 3
    const std::string expected = "FF FF 01 00 06 00 " + NameHex("COwner") + " FF FF 01 00 09 00 " +
                                 NameHex("CItemLine") + " 05 00 00 00 03 80 00 00 00 00";
    EXPECT_EQ(ToHex(out.Bytes()), expected);
    const ClassRegistry registry = Registry();
    Archive in(out.Bytes(), registry);
    auto o = in.ReadObjectAs<TestOwner>("owner");
    auto l = in.ReadObjectAs<TestLine>("line");
    ASSERT_TRUE(in.Ok()) << in.Error().Describe();
    ASSERT_TRUE(o && o->child && l);
    EXPECT_EQ(dynamic_cast<TestLine*>(o->child.get())->value, 5);
}

TEST(ArchiveObjects, IndexesFrom0x7FFFUseTheWideEscapes) {
    // Class CItemLine is index 1 and its objects take 2, 3, ...: after 0x7FFD objects the
    // next index is 0x7FFF, so the rectangle class gets 0x7FFF and its object 0x8000.
    std::vector<TestLine> lines(0x7FFD);
    TestRect first, second;
    Archive out;
    for (auto& l : lines)
        out.WriteObject(&l);
    const size_t before = out.Bytes().size();
    out.WriteObject(&first);
    out.WriteObject(&second);  // class index 0x7FFF: 7F FF + (0x80000000 | 0x7FFF)
    out.WriteObject(&first);   // object index 0x8000: 7F FF + 0x00008000
    const CByteArray tail(out.Bytes().begin() + static_cast<long>(before), out.Bytes().end());
    EXPECT_EQ(ToHex(tail), "FF FF 01 00 0E 00 " + NameHex("CItemRectangle") +
                               " 00"
                               " FF 7F FF 7F 00 80 00"
                               " FF 7F 00 80 00 00");

    // The reader follows the wide class escape; the wide object reference names an object
    // read before, which has an owner already.
    const ClassRegistry registry = Registry();
    Archive in(out.Bytes(), registry);
    for (size_t i = 0; i < lines.size() + 2; ++i)
        ASSERT_NE(in.ReadObject(), nullptr) << i;
    EXPECT_EQ(in.ReadObject(), nullptr);
    EXPECT_FALSE(in.Ok());
    EXPECT_NE(in.Error().message.find("两次"), std::string::npos);
}

// --- malformed input -----------------------------------------------------------------

struct BadRow {
    const char* name;
    std::string hex;
    size_t offset;  // where the error is reported
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class ArchiveMalformed : public testing::TestWithParam<BadRow> {};

TEST_P(ArchiveMalformed, OneErrorWithItsOffset) {
    const BadRow& row = GetParam();
    const CByteArray bytes = Hex(row.hex);
    const ClassRegistry registry = Registry();
    Archive in(bytes, registry);
    while (in.Ok() && in.Remaining() > 0)
        in.ReadObject();
    ASSERT_FALSE(in.Ok()) << row.name;
    EXPECT_EQ(in.Error().offset, row.offset);
    EXPECT_FALSE(in.Error().Describe().empty());
}

const std::string kLine = NameHex("CItemLine");

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveMalformed,
    testing::Values(BadRow{"unknown_class", "FF FF 01 00 05 00 " + NameHex("CFoo1"), 0},
                    BadRow{"schema_2", "FF FF 02 00 09 00 " + kLine + " 00 00 00 00", 0},
                    BadRow{"class_back_reference_to_nothing", "05 80 00 00 00 00", 0},
                    BadRow{"class_back_reference_to_an_object",
                           "FF FF 01 00 09 00 " + kLine + " 00 00 00 00 02 80", 19},
                    BadRow{"object_reference_to_nothing", "07 00", 0},
                    BadRow{"wide_reference_to_nothing", "FF 7F 00 00 00 90", 0},
                    BadRow{"object_referenced_twice",
                           "FF FF 01 00 09 00 " + kLine + " 00 00 00 00 02 00", 19},
                    BadRow{"name_longer_than_file", "FF FF 01 00 40 00 43 49", 6},
                    BadRow{"fields_cut_short", "FF FF 01 00 09 00 " + kLine + " 01 02", 15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveMalformed, TruncatedAtEveryOffsetFailsCleanly) {
    TestLine a, b;
    TestRect r;
    TestOwner owner;
    owner.child = std::make_unique<TestRect>();
    Archive out;
    uint32_t n = 4;
    out.Count(n, 2);
    out.WriteObject(&a);
    out.WriteObject(&r);
    out.WriteObject(&owner);
    out.WriteObject(&b);
    const CByteArray& full = out.Bytes();
    const ClassRegistry registry = Registry();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        const CByteArray part(full.begin(), full.begin() + static_cast<long>(cut));
        Archive in(part, registry);
        uint32_t count = 0;
        in.Count(count, 2);
        for (uint32_t i = 0; i < count && in.Ok(); ++i)
            in.ReadObject();
        EXPECT_FALSE(in.Ok()) << "cut at " << cut;
        EXPECT_LE(in.Error().offset, cut);
    }
}

TEST(ArchiveMalformed, ReadsAfterAnErrorYieldZeros) {
    const CByteArray bytes = Hex("01");
    const ClassRegistry registry;
    Archive in(bytes, registry);
    int32_t v = 99;
    in.Int32(v);
    EXPECT_EQ(v, 0);
    uint8_t b = 7;
    in.Byte(b);  // the byte is there, but the archive has already failed
    EXPECT_EQ(b, 0);
    EXPECT_EQ(in.Error().offset, 0u);
}

}  // namespace
