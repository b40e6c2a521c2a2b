#include "message/message.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Message, ItemsKeepInsertionOrderAndIndexFromZero) {
    BMessage m('TEST');
    for (int32 i = 0; i < 5; i++) ASSERT_EQ(m.AddInt32("values", i * 10), B_OK);
    ASSERT_EQ(m.AddString("names", "first"), B_OK);
    ASSERT_EQ(m.AddString("names", std::string("second")), B_OK);

    int32 v = -1;
    EXPECT_EQ(m.FindInt32("values", &v), B_OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(m.FindInt32("values", 4, &v), B_OK);
    EXPECT_EQ(v, 40);
    std::string text;
    EXPECT_EQ(m.FindString("names", 1, &text), B_OK);
    EXPECT_EQ(text, "second");

    const char* name = nullptr;
    type_code type = 0;
    int32 count = 0;
    ASSERT_EQ(m.GetInfo(B_ANY_TYPE, 1, &name, &type, &count), B_OK);
    EXPECT_STREQ(name, "names");
    EXPECT_EQ(type, B_STRING_TYPE);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(m.GetInfo(B_INT32_TYPE, 0, &name, &type, &count), B_OK);
    EXPECT_STREQ(name, "values");
    EXPECT_EQ(m.GetInfo(B_ANY_TYPE, 2, &name, &type), B_BAD_INDEX);
    EXPECT_EQ(m.CountNames(), 2);
    EXPECT_EQ(m.CountNames(B_STRING_TYPE), 1);
}

TEST(Message, FailedFindsLeaveTheDestinationUnchanged) {
    BMessage m;
    m.AddInt32("count", 3);
    m.AddData("notes", B_INT32_TYPE, "\1\0\0\0\2\0\0\0", 8);

    int32 v = 77;
    EXPECT_EQ(m.FindInt32("missing", &v), B_NAME_NOT_FOUND);
    EXPECT_EQ(m.FindInt32("count", 1, &v), B_BAD_INDEX);
    EXPECT_EQ(m.FindInt32("count", -1, &v), B_BAD_INDEX);
    // An array item is no single integer.
    EXPECT_EQ(m.FindInt32("notes", &v), B_BAD_DATA);
    EXPECT_EQ(v, 77);
    float f = 2.5f;
    EXPECT_EQ(m.FindFloat("count", &f), B_BAD_TYPE);
    EXPECT_EQ(f, 2.5f);
    std::string text = "keep";
    EXPECT_EQ(m.FindString("count", &text), B_BAD_TYPE);
    EXPECT_EQ(text, "keep");
    BMessage nested('KEEP');
    nested.AddBool("b", true);
    EXPECT_EQ(m.FindMessage("count", &nested), B_BAD_TYPE);
    EXPECT_EQ(nested.what, uint32('KEEP'));
    EXPECT_FALSE(nested.IsEmpty());
    EXPECT_FALSE(m.HasFloat("count"));
}

TEST(Message, EveryTypeComesBackAsAdded) {
    BMessage m;
    int marker = 0;
    entry_ref ref("/tmp/some song.vel");
    ASSERT_EQ(m.AddInt16("i16", -1234), B_OK);
    ASSERT_EQ(m.AddInt64("when", -0x123456789abcLL), B_OK);
    ASSERT_EQ(m.AddFloat("f", 0.25f), B_OK);
    ASSERT_EQ(m.AddBool("b", true), B_OK);
    ASSERT_EQ(m.AddPoint("p", BPoint(1.5f, -2)), B_OK);
    ASSERT_EQ(m.AddRect("r", BRect(1, 2, 3, 4)), B_OK);
    ASSERT_EQ(m.AddColor("c", rgb_color{10, 20, 30, 40}), B_OK);
    ASSERT_EQ(m.AddPointer("ptr", &marker), B_OK);
    ASSERT_EQ(m.AddRef("refs", &ref), B_OK);

    int16 i16 = 0;
    float f = 0;
    bool b = false;
    BPoint p;
    BRect r;
    rgb_color c;
    void* ptr = nullptr;
    entry_ref foundRef;
    EXPECT_EQ(m.FindInt16("i16", &i16), B_OK);
    EXPECT_EQ(i16, -1234);
    int64 when = 0;
    EXPECT_EQ(m.FindInt64("when", &when), B_OK);
    EXPECT_EQ(when, -0x123456789abcLL);
    // Written little-endian, as every fixed item is.
    const void* raw = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(m.FindData("when", B_INT64_TYPE, &raw, &size), B_OK);
    ASSERT_EQ(size, 8);
    EXPECT_EQ(static_cast<const uint8*>(raw)[0], 0x44);
    EXPECT_EQ(static_cast<const uint8*>(raw)[7], 0xff);
    EXPECT_EQ(m.FindFloat("f", &f), B_OK);
    EXPECT_EQ(f, 0.25f);
    EXPECT_EQ(m.FindBool("b", &b), B_OK);
    EXPECT_TRUE(b);
    EXPECT_EQ(m.FindPoint("p", &p), B_OK);
    EXPECT_EQ(p, BPoint(1.5f, -2));
    EXPECT_EQ(m.FindRect("r", &r), B_OK);
    EXPECT_EQ(r, BRect(1, 2, 3, 4));
    EXPECT_EQ(m.FindColor("c", &c), B_OK);
    EXPECT_EQ(c, (rgb_color{10, 20, 30, 40}));
    EXPECT_EQ(m.FindPointer("ptr", &ptr), B_OK);
    EXPECT_EQ(ptr, &marker);
    EXPECT_EQ(m.FindRef("refs", &foundRef), B_OK);
    EXPECT_EQ(foundRef.path, ref.path);
    EXPECT_EQ(foundRef.Name(), "some song.vel");
    type_code type;
    int32 count;
    EXPECT_EQ(m.GetInfo("refs", &type, &count), B_OK);
    EXPECT_EQ(type, B_REF_TYPE);
    EXPECT_EQ(count, 1);
}

TEST(Message, AddKeepsOneTypeAndItemSizePerField) {
    BMessage m;
    ASSERT_EQ(m.AddInt32("x", 1), B_OK);
    EXPECT_EQ(m.AddFloat("x", 1), B_BAD_TYPE);
    EXPECT_EQ(m.AddData("x", B_INT32_TYPE, "12345678", 8), B_BAD_VALUE);
    EXPECT_EQ(m.AddData("x", B_INT32_TYPE, "1234", 4, false), B_BAD_VALUE);
    EXPECT_EQ(m.AddInt32("", 1), B_BAD_VALUE);
    EXPECT_EQ(m.AddInt32(std::string(256, 'n').c_str(), 1), B_BAD_VALUE);
    EXPECT_EQ(m.AddInt32(std::string(255, 'n').c_str(), 1), B_OK);
    EXPECT_EQ(m.AddString("s", nullptr), B_BAD_VALUE);
    // Texts must end in NUL and nested messages must be messages, whoever adds them.
    EXPECT_EQ(m.AddData("t", B_STRING_TYPE, "abc", 3, false), B_BAD_VALUE);
    EXPECT_EQ(m.AddData("t", B_STRING_TYPE, "abc", 4, true), B_BAD_VALUE);
    EXPECT_EQ(m.AddData("t", B_STRING_TYPE, "abc", 4, false), B_OK);
    EXPECT_EQ(m.AddData("m", B_MESSAGE_TYPE, "garbage", 8, false), B_BAD_VALUE);
    EXPECT_EQ(m.AddData("z", B_RAW_TYPE, "", 0, true), B_BAD_VALUE);
    EXPECT_EQ(m.CountNames(), 3);
}

TEST(Message, WholeArraysAreSingleFixedItems) {
    int32 notes[512];
    for (int32 i = 0; i < 512; i++) notes[i] = i * 3 - 100;
    float values[16] = {0.5f, 1, 2};
    BMessage page;
    ASSERT_EQ(page.AddData("notes", B_INT32_TYPE, notes, sizeof notes), B_OK);
    ASSERT_EQ(page.AddData("notes", B_INT32_TYPE, notes, sizeof notes), B_OK);
    ASSERT_EQ(page.AddData("val", B_FLOAT_TYPE, values, sizeof values), B_OK);

    std::vector<char> bytes(size_t(page.FlattenedSize()));
    ASSERT_EQ(page.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    BMessage back;
    ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(back.FindData("notes", B_INT32_TYPE, 1, &data, &size), B_OK);
    ASSERT_EQ(size, ssize_t(sizeof notes));
    EXPECT_EQ(std::memcmp(data, notes, sizeof notes), 0);
    EXPECT_EQ(back.FindData("notes", B_FLOAT_TYPE, 0, &data, &size), B_BAD_TYPE);
    EXPECT_EQ(back.FindData("notes", B_ANY_TYPE, 2, &data, &size), B_BAD_INDEX);
    ASSERT_EQ(back.FindData("val", B_FLOAT_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 64);
    EXPECT_EQ(static_cast<const float*>(data)[1], 1.0f);
    EXPECT_TRUE(back.HasFloat("val"));
    EXPECT_FALSE(back.HasFloat("val", 1));
    EXPECT_EQ(back, page);
}

TEST(Message, NestedMessagesAreCopiesFoundByContent) {
    BMessage inner('INNR');
    inner.AddString("deep", "down here");
    BMessage middle('MIDL');
    middle.AddMessage("inner", &inner);
    middle.AddInt32("level", 2);
    BMessage outer('OUTR');
    ASSERT_EQ(outer.AddMessage("middle", &middle), B_OK);
    // Changing the original afterwards does not reach the stored copy.
    middle.AddInt32("later", 1);

    BMessage foundMiddle, foundInner;
    ASSERT_EQ(outer.FindMessage("middle", &foundMiddle), B_OK);
    EXPECT_EQ(foundMiddle.what, uint32('MIDL'));
    EXPECT_EQ(foundMiddle.CountNames(), 2);
    ASSERT_EQ(foundMiddle.FindMessage("inner", &foundInner), B_OK);
    EXPECT_EQ(foundInner, inner);
    std::string deep;
    EXPECT_EQ(foundInner.FindString("deep", &deep), B_OK);
    EXPECT_EQ(deep, "down here");
}

TEST(Message, CopiesAreIndependentAndEmptyingClearsFields) {
    BMessage a('AAAA');
    a.AddInt32("x", 1);
    BMessage b = a;
    b.AddInt32("x", 2);
    int32 count = 0;
    a.GetInfo("x", nullptr, &count);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(a == b);
    BMessage moved = std::move(b);
    int32 v = 0;
    EXPECT_EQ(moved.FindInt32("x", 1, &v), B_OK);
    EXPECT_EQ(v, 2);

    EXPECT_EQ(moved.RemoveName("x"), B_OK);
    EXPECT_EQ(moved.FindInt32("x", &v), B_NAME_NOT_FOUND);
    EXPECT_EQ(moved.RemoveName("x"), B_NAME_NOT_FOUND);
    a.MakeEmpty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.AddFloat("x", 1), B_OK);
}

TEST(Message, ManyFieldsAreFoundByNameAfterAddsRemovesAndCopies) {
    BMessage m;
    for (int32 i = 0; i < 40; i++) {
        ASSERT_EQ(m.AddInt32(("field number " + std::to_string(i)).c_str(), i), B_OK);
    }
    ASSERT_EQ(m.RemoveName("field number 3"), B_OK);
    ASSERT_EQ(m.AddInt32("field number 3", 333), B_OK);
    BMessage copy = m;
    std::vector<char> bytes(size_t(m.FlattenedSize()));
    m.Flatten(bytes.data(), ssize_t(bytes.size()));
    BMessage read;
    ASSERT_EQ(read.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    for (const BMessage* each : {&m, &copy, &read}) {
        for (int32 i = 0; i < 40; i++) {
            int32 v = -1;
            ASSERT_EQ(each->FindInt32(("field number " + std::to_string(i)).c_str(), &v), B_OK);
            EXPECT_EQ(v, i == 3 ? 333 : i);
        }
        const char* last = nullptr;
        ASSERT_EQ(each->GetInfo(B_INT32_TYPE, 39, &last, nullptr), B_OK);
        EXPECT_STREQ(last, "field number 3");
    }
    EXPECT_EQ(read, m);
}
