#include "platform/media/graph/filter_registrations.h"

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/graph/filter_moniker.h"
#include "platform/com/registry_key.h"

namespace kvmedia {

namespace {

std::optional<FilterRegistration> ReadRegistration(REFCLSID category, const RegKey& instances,
                                                   const std::string& instance) {
    RegKey key;
    std::string clsidText;
    if (key.Open(instances.Get(), instance.c_str()) != ERROR_SUCCESS ||
        key.QueryString("CLSID", &clsidText) != ERROR_SUCCESS)
        return std::nullopt;
    const auto clsid = GuidFromString(clsidText);
    if (!clsid) return std::nullopt;
    FilterRegistration registration;
    registration.category = category;
    registration.instance = instance;
    registration.clsid = *clsid;
    key.QueryString("FriendlyName", &registration.friendlyName);
    std::vector<BYTE> bytes;
    DWORD type = REG_NONE;
    if (key.QueryBinary("FilterData", &bytes, &type) == ERROR_SUCCESS && type == REG_BINARY)
        registration.data = ParseFilterData(bytes.data(), bytes.size());
    return registration;
}

}  // namespace

std::string InstanceKeyPath(REFCLSID category, const std::string& instance) {
    return "CLSID\\" + GuidToString(category) + "\\Instance\\" + instance;
}

std::vector<FilterRegistration> ReadCategoryRegistrations(REFCLSID category) {
    std::vector<FilterRegistration> registrations;
    RegKey instances;
    std::vector<std::string> names;
    const std::string path = "CLSID\\" + GuidToString(category) + "\\Instance";
    if (instances.Open(HKEY_CLASSES_ROOT, path.c_str()) != ERROR_SUCCESS) return registrations;
    instances.SubKeyNames(&names);
    for (const std::string& instance : names)
        if (auto registration = ReadRegistration(category, instances, instance))
            registrations.push_back(std::move(*registration));
    return registrations;
}

std::vector<FilterRegistration> ReadAllRegistrations(HRESULT* hr) {
    std::vector<FilterRegistration> registrations;
    RegKey classes;
    std::vector<std::string> names;
    LONG error = classes.Open(HKEY_CLASSES_ROOT, "CLSID");
    if (error == ERROR_SUCCESS) error = classes.SubKeyNames(&names);
    *hr = (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND) ? S_OK : REGDB_E_READREGDB;
    for (const std::string& name : names) {
        const auto category = GuidFromString(name);
        if (!category) continue;
        auto found = ReadCategoryRegistrations(*category);
        registrations.insert(registrations.end(), std::make_move_iterator(found.begin()),
                             std::make_move_iterator(found.end()));
    }
    return registrations;
}

HRESULT CreateRegistrationMoniker(const FilterRegistration& registration, IMoniker** moniker) {
    PropertyMap properties{{"FriendlyName", registration.friendlyName}, {"CLSID", GuidToString(registration.clsid)}};
    const CLSID clsid = registration.clsid;
    auto creator = [clsid](IBaseFilter** filter) {
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(filter));
    };
    return FilterMoniker::Create("@device:sw:" + GuidToString(registration.category) + "\\" + registration.instance,
                                 std::move(properties), std::move(creator), moniker);
}

}  // namespace kvmedia
