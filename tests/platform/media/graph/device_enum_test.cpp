// System device enumerator: registered filters and provider devices of a
// category, as monikers bound to filters and property bags.
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/task_memory.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

constexpr CLSID kEmptyCategory = MakeGuid("{33333333-0000-4000-8000-000000000001}");
constexpr CLSID kRegistered = MakeGuid("{33333333-0000-4000-8000-000000000002}");

class TwoCamcorders : public kvmedia::DeviceCategoryProvider {
public:
    std::vector<kvmedia::DeviceDescription> ListDevices() override {
        return {{R"(@device:pnp:\\?\avc#vendor_a&mod_0&camcorder&1#{6994ad05-93ef-11d0-a3cc-00a0c9223196}\global)",
                 "Camcorder A",
                 {{"DevicePath", std::string("/dev/fw1")}, {"Unit", LONG{1}}}},
                {R"(@device:pnp:\\?\avc#vendor_b&model_b&camcorder&2#{6994ad05-93ef-11d0-a3cc-00a0c9223196}\global)",
                 "Camcorder B",
                 {}}};
    }
    HRESULT CreateFilter(const kvmedia::DeviceDescription& device, IBaseFilter** filter) override {
        if (device.friendlyName != "Camcorder A") return E_FAIL;
        ++created;
        return TestSink::Create().CopyTo(reinterpret_cast<TestSink**>(filter));
    }
    int created = 0;
};

class DeviceEnumTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   devices_.GetVoidAddress()),
                  S_OK);
        cookie_ = kvmedia::RegisterDeviceCategoryProvider(CLSID_VideoInputDeviceCategory, provider_);
    }
    void TearDown() override { kvmedia::UnregisterDeviceCategoryProvider(cookie_); }

    std::vector<ComPtr<IMoniker>> List(REFCLSID category) {
        std::vector<ComPtr<IMoniker>> monikers;
        ComPtr<IEnumMoniker> enumerator;
        if (devices_->CreateClassEnumerator(category, enumerator.GetAddressOf(), 0) != S_OK) return monikers;
        ComPtr<IMoniker> moniker;
        while (enumerator->Next(1, moniker.GetAddressOf(), nullptr) == S_OK) monikers.push_back(moniker);
        return monikers;
    }
    static std::u16string DisplayName(IMoniker* moniker) {
        LPOLESTR name = nullptr;
        EXPECT_EQ(moniker->GetDisplayName(nullptr, nullptr, &name), S_OK);
        std::u16string text(name);
        CoTaskMemFree(name);
        return text;
    }
    static VARIANT Read(IMoniker* moniker, const char16_t* name, HRESULT* hr) {
        ComPtr<IPropertyBag> bag;
        EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.GetVoidAddress()), S_OK);
        VARIANT value;
        VariantInit(&value);
        *hr = bag->Read(name, &value, nullptr);
        return value;
    }

    ComPtr<ICreateDevEnum> devices_;
    std::shared_ptr<TwoCamcorders> provider_ = std::make_shared<TwoCamcorders>();
    DWORD cookie_ = 0;
};

TEST_F(DeviceEnumTest, ListsProviderDevicesWithNamesAndProperties) {
    const auto monikers = List(CLSID_VideoInputDeviceCategory);
    ASSERT_EQ(monikers.size(), 2u);
    EXPECT_EQ(DisplayName(monikers[0].Get()),
              uR"(@device:pnp:\\?\avc#vendor_a&mod_0&camcorder&1#{6994ad05-93ef-11d0-a3cc-00a0c9223196}\global)");

    HRESULT hr = E_FAIL;
    VARIANT value = Read(monikers[1].Get(), u"FriendlyName", &hr);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(value.bstrVal), u"Camcorder B");
    VariantClear(&value);
    value = Read(monikers[0].Get(), u"DevicePath", &hr);
    EXPECT_EQ(std::u16string(value.bstrVal), u"/dev/fw1");
    VariantClear(&value);
    value = Read(monikers[0].Get(), u"Unit", &hr);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 1);
    value = Read(monikers[1].Get(), u"DevicePath", &hr);
    EXPECT_EQ(hr, VFW_E_NOT_FOUND);

    LPOLESTR unused = nullptr;
    EXPECT_EQ(monikers[0]->GetDisplayName(nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(monikers[0]->ParseDisplayName(nullptr, nullptr, unused, nullptr, nullptr), E_NOTIMPL);
}

TEST_F(DeviceEnumTest, BindsADeviceToANewFilter) {
    const auto monikers = List(CLSID_VideoInputDeviceCategory);
    ASSERT_EQ(monikers.size(), 2u);
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()), S_OK);
    EXPECT_TRUE(filter);
    EXPECT_EQ(provider_->created, 1);
    // A device that fails to open reports its own failure.
    EXPECT_EQ(monikers[1]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()), E_FAIL);
    ComPtr<IUnknown> storage;
    EXPECT_EQ(monikers[0]->BindToStorage(nullptr, nullptr, IID_IBaseFilter, storage.GetVoidAddress()), E_NOINTERFACE);

    // Monikers outlive the provider's registration.
    kvmedia::UnregisterDeviceCategoryProvider(cookie_);
    EXPECT_TRUE(List(CLSID_VideoInputDeviceCategory).empty());
    EXPECT_EQ(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()), S_OK);
}

TEST_F(DeviceEnumTest, ListsRegisteredFiltersBeforeDevicesAndNothingForAnEmptyCategory) {
    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                               mapper.GetVoidAddress()),
              S_OK);
    REGFILTER2 data{};
    data.dwVersion = 2;
    data.dwMerit = MERIT_DO_NOT_USE;
    ASSERT_EQ(mapper->RegisterFilter(kRegistered, u"Registered Camera", nullptr, &CLSID_VideoInputDeviceCategory,
                                     nullptr, &data),
              S_OK);
    const auto monikers = List(CLSID_VideoInputDeviceCategory);
    ASSERT_EQ(monikers.size(), 3u);
    HRESULT hr = E_FAIL;
    VARIANT clsid = Read(monikers[0].Get(), u"CLSID", &hr);
    EXPECT_EQ(std::u16string(clsid.bstrVal), u"{33333333-0000-4000-8000-000000000002}");
    VariantClear(&clsid);
    // Registered but not creatable: binding says so.
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()),
              REGDB_E_CLASSNOTREG);
    mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, kRegistered);

    ComPtr<IEnumMoniker> enumerator;
    EXPECT_EQ(devices_->CreateClassEnumerator(kEmptyCategory, enumerator.GetAddressOf(), 0), S_FALSE);
    EXPECT_EQ(enumerator.Get(), nullptr);
    EXPECT_EQ(devices_->CreateClassEnumerator(kEmptyCategory, nullptr, 0), E_POINTER);
}

}  // namespace
}  // namespace kvtest
