#include <gtest/gtest.h>

#include "platform/com/registry.h"
#include "platform/com/registry_format.h"

namespace {

using kvreg::ParseTree;
using kvreg::RegNode;
using kvreg::RegValue;
using kvreg::SerializeTree;

RegValue Value(DWORD type, std::vector<BYTE> data) { return RegValue{type, std::move(data)}; }

TEST(RegistryFormatTest, EveryNameAndValueSurvivesWritingAndReading) {
    RegNode root;
    RegNode& server = kvreg::CreateKey(root, {"CLSID", "{X}", "InprocServer32"});
    server.values[""] = Value(REG_SZ, {'/', 'a', ' ', '"', '\\', '\n', '\t', '\r', 0x01, 0x7F, 0xC3, 0xA9, 0});
    server.values["Name \"quoted\" \\ with\nbreak"] = Value(REG_DWORD, {0x78, 0x56, 0x34, 0x12});
    server.values["q"] = Value(REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0x80});
    server.values["short dword"] = Value(REG_DWORD, {1, 2});
    server.values["no terminator"] = Value(REG_SZ, {'a', 'b'});
    server.values["empty"] = Value(REG_BINARY, {});
    server.values["custom type"] = Value(0x12345, {0xFF, 0});
    kvreg::CreateKey(root, {"Empty key with ] and #"});

    const std::string text = SerializeTree(root);
    const auto parsed = ParseTree(text);
    ASSERT_TRUE(parsed) << text;
    const RegNode* readBack = kvreg::FindKey(*parsed, {"clsid", "{x}", "inprocserver32"});
    ASSERT_NE(readBack, nullptr);
    EXPECT_EQ(readBack->values, server.values);
    EXPECT_NE(kvreg::FindKey(*parsed, {"Empty key with ] and #"}), nullptr);
    EXPECT_EQ(SerializeTree(*parsed), text);
    // Numbers read as the numbers they hold.
    EXPECT_NE(text.find("=dword:12345678\n"), std::string::npos) << text;
}

TEST(RegistryFormatTest, HandEditsWithCommentsAndWindowsLineEndsAreRead) {
    const auto parsed = ParseTree(
        "# edited by hand\r\n"
        "korvanta-registry 1\r\n"
        "\r\n"
        "[Software\\Korvanta]\r\n"
        "@=sz:\"default\"\r\n"
        "\"Level\"=dword:0000000A\r\n");
    ASSERT_TRUE(parsed);
    const RegNode* key = kvreg::FindKey(*parsed, {"Software", "Korvanta"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.at("level"), Value(REG_DWORD, {10, 0, 0, 0}));
    EXPECT_EQ(key->values.at("").data.size(), 8u);
}

TEST(RegistryFormatTest, DamagedTextIsRefused) {
    const std::string header = "korvanta-registry 1\n";
    const char* damaged[] = {
        "",                                              // emptied file
        "[A]\n@=sz:\"x\"\n",                             // no header line
        "korvanta-registry 2\n",                         // a version this code does not know
        "korvanta-registry 1\n@=sz:\"x\"\n",             // a value outside any key
        "korvanta-registry 1\n[A\n",                     // unclosed key header
        "korvanta-registry 1\n[A\\\\B]\n",               // empty key name
        "korvanta-registry 1\n[A]\n@=sz:\"open\n",       // unterminated text
        "korvanta-registry 1\n[A]\n@=sz:\"\\q\"\n",      // unknown escape
        "korvanta-registry 1\n[A]\n@=sz:\"\\x4\"\n",     // short byte escape
        "korvanta-registry 1\n[A]\n@=dword:123\n",       // short number
        "korvanta-registry 1\n[A]\n@=dword:1234567890\n",// trailing digits
        "korvanta-registry 1\n[A]\n@=hex(3):1,2\n",      // one-digit bytes
        "korvanta-registry 1\n[A]\n@=hex(3):01,\n",      // dangling comma
        "korvanta-registry 1\n[A]\n@=float:1\n",         // unknown kind
        "korvanta-registry 1\n[A]\n\"v\"=dword:00000001\n\"V\"=dword:00000002\n",  // one name twice
        "korvanta-registry 1\n[A]\nname=sz:\"x\"\n",     // unquoted name
    };
    for (const char* text : damaged) EXPECT_FALSE(ParseTree(text)) << text;

    std::string deepPath = "K";
    for (int depth = 1; depth <= 100000; ++depth) deepPath += "\\K";
    EXPECT_FALSE(ParseTree(header + "[" + deepPath + "]\n"));  // deeper than any key may lie
    EXPECT_TRUE(ParseTree(header));
}

}  // namespace
