#pragma once
// Reading the filter mapper's registrations back from the registry:
//     HKEY_CLASSES_ROOT\CLSID\{category}\Instance\{instance}
//         "FriendlyName" REG_SZ, "CLSID" REG_SZ "{...}",
//         "FilterData" REG_BINARY (filter_data.h), "Merit" REG_DWORD
// Shared by the filter mapper (matching) and the system device enumerator
// (listing a category).
#include <optional>
#include <string>
#include <vector>

#include "platform/media/graph/filter_data.h"

namespace kvmedia {

struct FilterRegistration {
    CLSID category{};
    std::string instance;      // the key name under Instance
    CLSID clsid{};
    std::string friendlyName;
    std::optional<RegisteredFilterData> data;  // absent when the entry has no (readable) FilterData
};

// "CLSID\{category}\Instance\instance"
std::string InstanceKeyPath(REFCLSID category, const std::string& instance);

// The category's entries in the registry's order. Entries whose "CLSID"
// value is missing or not a GUID are damaged and left out.
std::vector<FilterRegistration> ReadCategoryRegistrations(REFCLSID category);
// Every category's entries. REGDB_E_READREGDB in *hr when the registry cannot be read at all.
std::vector<FilterRegistration> ReadAllRegistrations(HRESULT* hr);

// A moniker that creates the registered class and binds to a bag with
// "FriendlyName" and "CLSID"; its display name is "@device:sw:{category}\instance".
HRESULT CreateRegistrationMoniker(const FilterRegistration& registration, IMoniker** moniker);

}  // namespace kvmedia
