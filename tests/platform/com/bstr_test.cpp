#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/utf.h"

namespace {

TEST(Bstr, CarriesByteLengthPrefixAndTerminator) {
    BSTR text = SysAllocString(u"Tape 1");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 6u);
    EXPECT_EQ(SysStringByteLen(text), 12u);
    EXPECT_EQ(text[6], u'\0');
    // Embedded zeros count towards the length.
    BSTR embedded = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(SysStringLen(embedded), 3u);
    EXPECT_TRUE(SysReAllocString(&embedded, u"longer text"));
    EXPECT_EQ(SysStringLen(embedded), 11u);
    SysFreeString(embedded);
    SysFreeString(text);
    // The null BSTR is the empty string.
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Bstr, HolderCopiesShareOneStringAndConvertUtf8) {
    bstr_t folder("/home/ana/Vidéos");
    EXPECT_EQ(folder.utf8(), "/home/ana/Vidéos");
    EXPECT_EQ(folder.length(), 16u);
    bstr_t shared = folder;
    EXPECT_EQ(shared.c_str(), folder.c_str());
    EXPECT_EQ(folder.use_count(), 2);

    BSTR detached = shared.Detach();  // still shared with folder: a copy
    EXPECT_NE(detached, folder.c_str());
    EXPECT_EQ(std::u16string_view(detached), folder.view());
    SysFreeString(detached);

    bstr_t empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.c_str()[0], u'\0');
    EXPECT_EQ(bstr_t(""), empty);
}

TEST(Bstr, HolderIsSafeToCopyAcrossThreads) {
    bstr_t name("2026-12-08 14.30.00.avi");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([name] {
            for (int i = 0; i < 10000; ++i) {
                bstr_t copy = name;
                ASSERT_EQ(copy.length(), 23u);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(name.use_count(), 1);
}

TEST(Utf, MalformedInputBecomesReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");    // lone surrogate
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("🎥 tape")), "🎥 tape");
}

}  // namespace
