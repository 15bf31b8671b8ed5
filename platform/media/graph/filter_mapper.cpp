#include "platform/media/graph/filter_mapper.h"

#include <algorithm>
#include <set>

#include "platform/com/com_ptr.h"
#include "platform/com/registry_key.h"
#include "platform/com/utf.h"
#include "platform/media/graph/com_enumerator.h"
#include "platform/media/graph/filter_registrations.h"
#include "platform/media/uuids.h"

namespace kvmedia {

namespace {

// What one side (input or output) of a wanted filter must offer.
struct PinRequirement {
    bool needed = false;
    bool exact = false;
    DWORD typeCount = 0;
    const GUID* types = nullptr;  // typeCount pairs
    const CLSID* category = nullptr;
    bool rendered = false;
};

bool GuidMatches(REFGUID registered, REFGUID wanted, bool exact) {
    return wanted == GUID_NULL || registered == wanted || (!exact && registered == GUID_NULL);
}

bool PinMeets(const RegisteredPin& pin, const PinRequirement& requirement) {
    if (requirement.category && pin.category != *requirement.category) return false;
    if (requirement.rendered && !pin.IsRendered()) return false;
    if (requirement.typeCount == 0) return true;
    for (const RegisteredPinType& type : pin.types)
        for (DWORD i = 0; i < requirement.typeCount; ++i)
            if (GuidMatches(type.major, requirement.types[2 * i], requirement.exact) &&
                GuidMatches(type.minor, requirement.types[2 * i + 1], requirement.exact))
                return true;
    return false;
}

bool FilterMeets(const RegisteredFilterData& data, bool output, const PinRequirement& requirement) {
    if (!requirement.needed) return true;
    return std::any_of(data.pins.begin(), data.pins.end(), [&](const RegisteredPin& pin) {
        return pin.IsOutput() == output && PinMeets(pin, requirement);
    });
}

std::string InstanceName(LPCOLESTR instance, REFCLSID filter) {
    return instance ? Utf16ToUtf8(instance) : GuidToString(filter);
}

HRESULT WriteError(LONG error) { return error == ERROR_BADDB ? REGDB_E_READREGDB : REGDB_E_WRITEREGDB; }

}  // namespace

CUnknown* FilterMapper::CreateInstance(IUnknown* outer, HRESULT* phr) {
    if (phr) *phr = S_OK;
    return new FilterMapper(outer);
}

FilterMapper::FilterMapper(IUnknown* outer) : CUnknown("FilterMapper", outer) {}

HRESULT FilterMapper::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IFilterMapper2) return GetInterface(static_cast<IFilterMapper2*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FilterMapper::CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) {
    RegKey key;
    const std::string path = InstanceKeyPath(CLSID_ActiveMovieCategories, GuidToString(category));
    if (const LONG error = key.Create(HKEY_CLASSES_ROOT, path.c_str()); error != ERROR_SUCCESS) return WriteError(error);
    for (LONG result : {key.SetString("FriendlyName", description ? Utf16ToUtf8(description) : std::string()),
                        key.SetString("CLSID", GuidToString(category)), key.SetDword("Merit", merit)})
        if (result != ERROR_SUCCESS) return WriteError(result);
    return S_OK;
}

HRESULT FilterMapper::RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker, const CLSID* category,
                                     LPCOLESTR instance, const REGFILTER2* data) {
    if (moniker) *moniker = nullptr;
    if (!data) return E_POINTER;
    const auto filterData = FilterDataFromRegFilter2(*data);
    if (!filterData) return E_INVALIDARG;
    FilterRegistration registration;
    registration.category = category ? *category : CLSID_LegacyAmFilterCategory;
    registration.instance = InstanceName(instance, filter);
    registration.clsid = filter;
    registration.friendlyName = name ? Utf16ToUtf8(name) : std::string();

    RegKey key;
    const std::string path = InstanceKeyPath(registration.category, registration.instance);
    if (const LONG error = key.Create(HKEY_CLASSES_ROOT, path.c_str()); error != ERROR_SUCCESS) return WriteError(error);
    for (LONG result : {key.SetString("FriendlyName", registration.friendlyName),
                        key.SetString("CLSID", GuidToString(filter)),
                        key.SetBinary("FilterData", SerializeFilterData(*filterData)),
                        key.SetDword("Merit", filterData->merit)})
        if (result != ERROR_SUCCESS) return WriteError(result);
    return moniker ? CreateRegistrationMoniker(registration, moniker) : S_OK;
}

HRESULT FilterMapper::UnregisterFilter(const CLSID* category, LPCOLESTR instance, REFCLSID filter) {
    const std::string path =
        InstanceKeyPath(category ? *category : CLSID_LegacyAmFilterCategory, InstanceName(instance, filter));
    RegKey key;
    if (const LONG error = key.Open(HKEY_CLASSES_ROOT, path.c_str()); error != ERROR_SUCCESS)
        return error == ERROR_FILE_NOT_FOUND ? VFW_E_NOT_FOUND : REGDB_E_READREGDB;
    key.Close();
    return RegDeleteTree(HKEY_CLASSES_ROOT, path.c_str()) == ERROR_SUCCESS ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT FilterMapper::EnumMatchingFilters(IEnumMoniker** enumerator, DWORD, BOOL exactMatch, DWORD minMerit,
                                          BOOL inputNeeded, DWORD inputTypeCount, const GUID* inputTypes,
                                          const REGPINMEDIUM*, const CLSID* inputCategory, BOOL render,
                                          BOOL outputNeeded, DWORD outputTypeCount, const GUID* outputTypes,
                                          const REGPINMEDIUM*, const CLSID* outputCategory) {
    if (!enumerator) return E_POINTER;
    *enumerator = nullptr;
    if ((inputTypeCount && !inputTypes) || (outputTypeCount && !outputTypes)) return E_POINTER;
    const bool exact = exactMatch != FALSE;
    // Asking for types, a category or rendering implies the pin must exist.
    const PinRequirement input{inputNeeded || inputTypeCount || inputCategory || render, exact, inputTypeCount,
                               inputTypes, inputCategory, render != FALSE};
    const PinRequirement output{outputNeeded || outputTypeCount || outputCategory, exact, outputTypeCount,
                                outputTypes, outputCategory, false};

    HRESULT hr = S_OK;
    std::vector<FilterRegistration> matches;
    for (auto& registration : ReadAllRegistrations(&hr)) {
        if (!registration.data || registration.data->merit < minMerit) continue;
        if (FilterMeets(*registration.data, false, input) && FilterMeets(*registration.data, true, output))
            matches.push_back(std::move(registration));
    }
    if (FAILED(hr)) return hr;
    // Registrations arrive by category, then instance, both in the registry's
    // stable order; a stable sort on merit keeps that as the tie-break. The
    // registrations stay in place; only pointers to them are ordered.
    std::vector<const FilterRegistration*> ordered;
    ordered.reserve(matches.size());
    for (const FilterRegistration& registration : matches) ordered.push_back(&registration);
    std::stable_sort(ordered.begin(), ordered.end(), [](const FilterRegistration* a, const FilterRegistration* b) {
        return a->data->merit > b->data->merit;
    });

    std::set<CLSID> listed;
    std::vector<ComPtr<IMoniker>> monikers;
    for (const FilterRegistration* registration : ordered) {
        if (!listed.insert(registration->clsid).second) continue;
        ComPtr<IMoniker> moniker;
        if (FAILED(hr = CreateRegistrationMoniker(*registration, moniker.GetAddressOf()))) return hr;
        monikers.push_back(moniker);
    }
    return ComEnumerator<IEnumMoniker, IMoniker>::Create(std::move(monikers), enumerator);
}

}  // namespace kvmedia
