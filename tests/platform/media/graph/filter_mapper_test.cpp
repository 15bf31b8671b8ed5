// Filter mapper: registration in the registry, the FilterData layout, and
// matching by types, wildcards and merit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/registry_key.h"
#include "platform/media/graph/filter_data.h"
#include "platform/media/uuids.h"

namespace {

constexpr GUID kTypeA = MakeGuid("{11111111-0000-4000-8000-0000000000A1}");
constexpr GUID kTypeB = MakeGuid("{11111111-0000-4000-8000-0000000000B2}");
constexpr GUID kCategory = MakeGuid("{11111111-0000-4000-8000-0000000000C3}");
constexpr CLSID kHigh = MakeGuid("{22222222-0000-4000-8000-000000000001}");
constexpr CLSID kLow = MakeGuid("{22222222-0000-4000-8000-000000000002}");
constexpr CLSID kAnyInput = MakeGuid("{22222222-0000-4000-8000-000000000003}");
constexpr CLSID kUnusable = MakeGuid("{22222222-0000-4000-8000-000000000004}");

// One input pin of `input` and one output pin of `output` (GUID_NULL subtypes).
struct TwoPinFilter {
    REGPINTYPES in{&MEDIATYPE_Video, nullptr};
    REGPINTYPES out{&MEDIATYPE_Video, nullptr};
    REGFILTERPINS2 pins[2]{};
    REGFILTER2 data{};

    TwoPinFilter(const GUID* input, const GUID* output, DWORD merit) {
        in.clsMinorType = input;
        out.clsMinorType = output;
        pins[0] = {0, 1, 1, &in, 0, nullptr, nullptr};
        pins[1] = {REG_PINFLAG_B_OUTPUT, 1, 1, &out, 0, nullptr, nullptr};
        data.dwVersion = 2;
        data.dwMerit = merit;
        data.cPins2 = 2;
        data.rgPins2 = pins;
    }
};

class FilterMapperTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                   mapper_.GetVoidAddress()),
                  S_OK);
    }
    void TearDown() override {
        for (const CLSID& clsid : {kHigh, kLow, kAnyInput, kUnusable}) mapper_->UnregisterFilter(nullptr, nullptr, clsid);
    }

    void Register(REFCLSID clsid, const char16_t* name, const REGFILTER2& data, const CLSID* category = nullptr) {
        ASSERT_EQ(mapper_->RegisterFilter(clsid, name, nullptr, category, nullptr, &data), S_OK);
    }

    // Friendly names of the filters taking video of `input` subtype, merit >= minMerit, in the mapper's order.
    std::vector<std::u16string> Matching(const GUID& input, DWORD minMerit = 0, BOOL exact = FALSE) {
        const GUID types[] = {MEDIATYPE_Video, input};
        ComPtr<IEnumMoniker> monikers;
        EXPECT_TRUE(SUCCEEDED(mapper_->EnumMatchingFilters(monikers.GetAddressOf(), 0, exact, minMerit, TRUE, 1, types,
                                                           nullptr, nullptr, FALSE, FALSE, 0, nullptr, nullptr,
                                                           nullptr)));
        std::vector<std::u16string> names;
        ComPtr<IMoniker> moniker;
        while (monikers && monikers->Next(1, moniker.GetAddressOf(), nullptr) == S_OK) {
            ComPtr<IPropertyBag> bag;
            EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.GetVoidAddress()), S_OK);
            VARIANT name;
            VariantInit(&name);
            EXPECT_EQ(bag->Read(u"FriendlyName", &name, nullptr), S_OK);
            names.emplace_back(name.bstrVal);
            VariantClear(&name);
        }
        return names;
    }

    ComPtr<IFilterMapper2> mapper_;
};

TEST_F(FilterMapperTest, MatchesByTypeAndOrdersByMerit) {
    Register(kLow, u"Low", TwoPinFilter(&kTypeA, &kTypeB, MERIT_UNLIKELY).data);
    Register(kHigh, u"High", TwoPinFilter(&kTypeA, &kTypeB, MERIT_NORMAL).data);
    Register(kAnyInput, u"Any", TwoPinFilter(nullptr, &kTypeB, MERIT_PREFERRED).data);

    // A registered GUID_NULL subtype takes every subtype, unless the match must be exact.
    EXPECT_EQ(Matching(kTypeA), (std::vector<std::u16string>{u"Any", u"High", u"Low"}));
    EXPECT_EQ(Matching(kTypeA, 0, TRUE), (std::vector<std::u16string>{u"High", u"Low"}));
    EXPECT_EQ(Matching(kTypeB), std::vector<std::u16string>{u"Any"});
    // A GUID_NULL on the caller's side matches every registered subtype.
    EXPECT_EQ(Matching(GUID_NULL), (std::vector<std::u16string>{u"Any", u"High", u"Low"}));
    EXPECT_EQ(Matching(kTypeA, MERIT_NORMAL), (std::vector<std::u16string>{u"Any", u"High"}));
}

TEST_F(FilterMapperTest, MatchesOutputTypesAndCategories) {
    Register(kHigh, u"High", TwoPinFilter(&kTypeA, &kTypeB, MERIT_NORMAL).data);
    Register(kLow, u"Low", TwoPinFilter(&kTypeA, &kTypeA, MERIT_NORMAL).data, &kCategory);

    const GUID wantB[] = {MEDIATYPE_Video, kTypeB};
    ComPtr<IEnumMoniker> monikers;
    ASSERT_EQ(mapper_->EnumMatchingFilters(monikers.GetAddressOf(), 0, FALSE, 0, FALSE, 0, nullptr, nullptr, nullptr,
                                           FALSE, TRUE, 1, wantB, nullptr, nullptr),
              S_OK);
    IMoniker* found[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(monikers->Next(3, found, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    for (ULONG i = 0; i < fetched; ++i) found[i]->Release();

    // The entry sits under its category's Instance key with readable values.
    RegKey key;
    const std::string path = "CLSID\\" + GuidToString(kCategory) + "\\Instance\\" + GuidToString(kLow);
    ASSERT_EQ(key.Open(HKEY_CLASSES_ROOT, path.c_str()), ERROR_SUCCESS);
    std::string text;
    DWORD merit = 0;
    EXPECT_EQ(key.QueryString("FriendlyName", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, "Low");
    EXPECT_EQ(key.QueryString("CLSID", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, GuidToString(kLow));
    EXPECT_EQ(key.QueryDword("Merit", &merit), ERROR_SUCCESS);
    EXPECT_EQ(merit, MERIT_NORMAL);
    key.Close();
    EXPECT_EQ(mapper_->UnregisterFilter(&kCategory, nullptr, kLow), S_OK);
    EXPECT_EQ(mapper_->UnregisterFilter(&kCategory, nullptr, kLow), VFW_E_NOT_FOUND);
}

TEST_F(FilterMapperTest, DamagedFilterDataIsSkippedNotFatal) {
    Register(kHigh, u"High", TwoPinFilter(&kTypeA, &kTypeB, MERIT_NORMAL).data);
    Register(kUnusable, u"Damaged", TwoPinFilter(&kTypeA, &kTypeB, MERIT_PREFERRED).data);
    RegKey key;
    const std::string path = "CLSID\\" + GuidToString(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + GuidToString(kUnusable);
    ASSERT_EQ(key.Open(HKEY_CLASSES_ROOT, path.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(key.SetBinary("FilterData", {2, 0, 0, 0, 0xFF}), ERROR_SUCCESS);

    EXPECT_EQ(Matching(kTypeA), std::vector<std::u16string>{u"High"});
}

TEST_F(FilterMapperTest, RejectsBadArguments) {
    ComPtr<IEnumMoniker> monikers;
    EXPECT_EQ(mapper_->RegisterFilter(kHigh, u"x", nullptr, nullptr, nullptr, nullptr), E_POINTER);
    REGFILTER2 unknownVersion{};
    unknownVersion.dwVersion = 7;
    EXPECT_EQ(mapper_->RegisterFilter(kHigh, u"x", nullptr, nullptr, nullptr, &unknownVersion), E_INVALIDARG);
    EXPECT_EQ(mapper_->EnumMatchingFilters(nullptr, 0, FALSE, 0, FALSE, 0, nullptr, nullptr, nullptr, FALSE, FALSE, 0,
                                           nullptr, nullptr, nullptr),
              E_POINTER);
    EXPECT_EQ(mapper_->EnumMatchingFilters(monikers.GetAddressOf(), 0, FALSE, 0, TRUE, 2, nullptr, nullptr, nullptr,
                                           FALSE, FALSE, 0, nullptr, nullptr, nullptr),
              E_POINTER);
}

TEST(FilterDataTest, RoundTripsVersionOneAndTwo) {
    const REGPINTYPES types[] = {{&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd}, {&MEDIATYPE_Video, nullptr}};
    const REGFILTERPINS v1Pins[] = {{u"In", TRUE, FALSE, FALSE, FALSE, nullptr, nullptr, 2, types},
                                   {u"Out", FALSE, TRUE, TRUE, TRUE, nullptr, nullptr, 0, nullptr}};
    REGFILTER2 v1{};
    v1.dwVersion = 1;
    v1.dwMerit = MERIT_NORMAL;
    v1.cPins = 2;
    v1.rgPins = v1Pins;

    const auto parsed = kvmedia::FilterDataFromRegFilter2(v1);
    ASSERT_TRUE(parsed);
    const auto bytes = kvmedia::SerializeFilterData(*parsed);
    const auto back = kvmedia::ParseFilterData(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->merit, MERIT_NORMAL);
    ASSERT_EQ(back->pins.size(), 2u);
    EXPECT_EQ(back->pins[0].flags, REG_PINFLAG_B_RENDERER);
    EXPECT_EQ(back->pins[1].flags, REG_PINFLAG_B_OUTPUT | REG_PINFLAG_B_ZERO | REG_PINFLAG_B_MANY);
    ASSERT_EQ(back->pins[0].types.size(), 2u);
    EXPECT_EQ(back->pins[0].types[0].minor, MEDIASUBTYPE_dvsd);
    EXPECT_EQ(back->pins[0].types[1].minor, GUID_NULL);

    const REGFILTERPINS2 v2Pins[] = {{REG_PINFLAG_B_OUTPUT, 1, 1, types, 0, nullptr, &PIN_CATEGORY_CAPTURE}};
    REGFILTER2 v2{};
    v2.dwVersion = 2;
    v2.cPins2 = 1;
    v2.rgPins2 = v2Pins;
    const auto capture = kvmedia::FilterDataFromRegFilter2(v2);
    ASSERT_TRUE(capture);
    const auto captureBytes = kvmedia::SerializeFilterData(*capture);
    EXPECT_EQ(kvmedia::ParseFilterData(captureBytes.data(), captureBytes.size())->pins[0].category,
              PIN_CATEGORY_CAPTURE);

    // Every truncation, and trailing garbage, is refused.
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(kvmedia::ParseFilterData(bytes.data(), size)) << size;
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(kvmedia::ParseFilterData(longer.data(), longer.size()));
    EXPECT_FALSE(kvmedia::ParseFilterData(nullptr, 0));
}

}  // namespace
