#include "platform/kernel/image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kAddOn = KERNEL_TEST_ADDON;

using AddFunc = int32 (*)(int32, int32);

int32* ValueOf(image_id image) {
    void* value = nullptr;
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_value", B_SYMBOL_TYPE_DATA, &value), B_OK);
    return static_cast<int32*>(value);
}

}  // namespace

TEST(AddOnImage, FindsAndUsesBothSymbols) {
    image_id image = load_add_on(kAddOn);
    ASSERT_GT(image, 0) << add_on_error();
    EXPECT_STREQ(add_on_error(), "");
    void* add = nullptr;
    ASSERT_EQ(get_image_symbol(image, "kernel_test_addon_add", B_SYMBOL_TYPE_TEXT, &add), B_OK);
    EXPECT_EQ(reinterpret_cast<AddFunc>(add)(2, 3), 5);
    ASSERT_NE(ValueOf(image), nullptr);
    EXPECT_EQ(*ValueOf(image), 42);
    void* any = nullptr;
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_add", B_SYMBOL_TYPE_ANY, &any), B_OK);
    EXPECT_EQ(any, add);
    EXPECT_EQ(unload_add_on(image), B_OK);
}

TEST(AddOnImage, TwoLoadsShareOneImageUntilBothAreUnloaded) {
    image_id first = load_add_on(kAddOn);
    image_id second = load_add_on(kAddOn);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    *ValueOf(first) = 7;
    EXPECT_EQ(ValueOf(second), ValueOf(first));
    EXPECT_EQ(unload_add_on(first), B_OK);
    EXPECT_EQ(*ValueOf(second), 7);
    EXPECT_EQ(unload_add_on(second), B_OK);
    // Really gone: a new load starts from the file's own value again.
    image_id third = load_add_on(kAddOn);
    ASSERT_GT(third, 0);
    EXPECT_EQ(*ValueOf(third), 42);
    EXPECT_EQ(unload_add_on(third), B_OK);
}

TEST(AddOnImage, MissingSymbolFailsWithTheLoadersWords) {
    image_id image = load_add_on(kAddOn);
    ASSERT_GT(image, 0);
    void* location = &image;
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_missing", B_SYMBOL_TYPE_ANY, &location),
              B_NAME_NOT_FOUND);
    EXPECT_EQ(location, &image);
    EXPECT_NE(std::string(add_on_error()).find("kernel_test_addon_missing"), std::string::npos)
        << add_on_error();
    EXPECT_EQ(unload_add_on(image), B_OK);
}

TEST(AddOnImage, BadArgumentsAreRejectedWithAReason) {
    image_id image = load_add_on(kAddOn);
    ASSERT_GT(image, 0);
    void* location = nullptr;
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_add", 3, &location), B_BAD_VALUE);
    EXPECT_STRNE(add_on_error(), "");
    EXPECT_EQ(get_image_symbol(image, nullptr, B_SYMBOL_TYPE_ANY, &location), B_BAD_VALUE);
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_add", B_SYMBOL_TYPE_ANY, nullptr),
              B_BAD_VALUE);
    EXPECT_EQ(load_add_on(nullptr), B_BAD_VALUE);
    EXPECT_EQ(load_add_on(""), B_BAD_VALUE);
    EXPECT_STRNE(add_on_error(), "");
    EXPECT_EQ(unload_add_on(image), B_OK);
}

TEST(AddOnImage, MissingFileFailsWithTheLoadersWords) {
    const char* path = "/nonexistent-velloran-dir/missing.so";
    EXPECT_EQ(load_add_on(path), B_ENTRY_NOT_FOUND);
    EXPECT_NE(std::string(add_on_error()).find(path), std::string::npos) << add_on_error();
}

TEST(AddOnImage, FileThatIsNoAddOnFails) {
    char path[] = "/tmp/velloran-not-an-add-on-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "plain text, not a library\n", 26), 26);
    close(fd);
    EXPECT_EQ(load_add_on(path), B_ERROR);
    EXPECT_STRNE(add_on_error(), "");
    unlink(path);
}

TEST(AddOnImage, UnloadedAndUnknownIdsAreBad) {
    image_id image = load_add_on(kAddOn);
    ASSERT_GT(image, 0);
    ASSERT_EQ(unload_add_on(image), B_OK);
    void* location = nullptr;
    EXPECT_EQ(get_image_symbol(image, "kernel_test_addon_add", B_SYMBOL_TYPE_ANY, &location),
              B_BAD_IMAGE_ID);
    EXPECT_EQ(unload_add_on(image), B_BAD_IMAGE_ID);
    EXPECT_STRNE(add_on_error(), "");
    for (image_id unknown : {0, -1, INT32_MAX}) EXPECT_EQ(unload_add_on(unknown), B_BAD_IMAGE_ID);
}

TEST(AddOnImage, ErrorTextBelongsToTheFailingThreadUntilItSucceeds) {
    EXPECT_EQ(unload_add_on(-1), B_BAD_IMAGE_ID);
    EXPECT_STRNE(add_on_error(), "");
    std::thread other([] { EXPECT_STREQ(add_on_error(), ""); });
    other.join();
    image_id image = load_add_on(kAddOn);
    ASSERT_GT(image, 0);
    EXPECT_STREQ(add_on_error(), "");
    EXPECT_EQ(unload_add_on(image), B_OK);
}

TEST(AddOnImage, LoadsAndUnloadsFromManyThreadsAtOnce) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 100;
    std::vector<std::vector<image_id>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; t++) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; i++) {
                image_id image = load_add_on(kAddOn);
                ASSERT_GT(image, 0) << add_on_error();
                ids[t].push_back(image);
                void* add = nullptr;
                ASSERT_EQ(
                    get_image_symbol(image, "kernel_test_addon_add", B_SYMBOL_TYPE_TEXT, &add),
                    B_OK);
                EXPECT_EQ(reinterpret_cast<AddFunc>(add)(i, t), i + t);
                ASSERT_EQ(unload_add_on(image), B_OK);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    std::set<image_id> unique;
    for (const auto& list : ids) unique.insert(list.begin(), list.end());
    EXPECT_EQ(unique.size(), size_t(kThreads * kRounds));
}
