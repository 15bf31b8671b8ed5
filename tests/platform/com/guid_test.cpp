#include <gtest/gtest.h>

#include "platform/com/guid.h"
#include "platform/com/unknown.h"

namespace {

constexpr GUID kSink = MakeGuid("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5}");

TEST(Guid, LiteralHasWindowsLayoutAndPrintsBack) {
    EXPECT_EQ(kSink.Data1, 0x36A5F880u);
    EXPECT_EQ(kSink.Data2, 0xFE5Cu);
    EXPECT_EQ(kSink.Data3, 0x11CEu);
    EXPECT_EQ(kSink.Data4[0], 0xA8);
    EXPECT_EQ(kSink.Data4[7], 0xB5);
    EXPECT_EQ(GuidToString(kSink), "{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5}");
    EXPECT_EQ(GuidToString(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
}

TEST(Guid, ParsesEitherCaseWithOrWithoutBracesAndRejectsMalformed) {
    EXPECT_EQ(GuidFromString("36a5f880-fe5c-11ce-a8ed-00aa002feab5"), kSink);
    EXPECT_EQ(GuidFromString("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5}"), kSink);
    EXPECT_FALSE(GuidFromString("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5"));
    EXPECT_FALSE(GuidFromString("36A5F880FE5C-11CE-A8ED-00AA002FEAB5-"));
    EXPECT_FALSE(GuidFromString("{36A5F880-FE5C-11CE-A8ED-00AA002FEABG}"));
    EXPECT_FALSE(GuidFromString(""));
}

TEST(Guid, OrderingIsStrictAndNullIsZero) {
    const GUID other = MakeGuid("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB6}");
    EXPECT_TRUE(kSink < other);
    EXPECT_FALSE(other < kSink);
    EXPECT_FALSE(kSink < kSink);
    EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

}  // namespace
