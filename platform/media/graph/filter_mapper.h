#pragma once
// FilterMapper (CLSID_FilterMapper2): registers filters with their pins,
// media types and merit in the registry (filter_registrations.h for the
// keys, filter_data.h for the binary layout) and finds the ones that match
// what a graph needs. Intelligent connect asks it for candidates.
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvmedia {

// The category under which CreateCategory records categories.
inline constexpr CLSID CLSID_ActiveMovieCategories = MakeGuid("{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}");

class FilterMapper final : public CUnknown, public IFilterMapper2 {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    explicit FilterMapper(IUnknown* outer);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) override;
    // category null: CLSID_LegacyAmFilterCategory; instance null: the filter's CLSID.
    // VFW_E_NOT_FOUND when nothing was registered there.
    HRESULT UnregisterFilter(const CLSID* category, LPCOLESTR instance, REFCLSID filter) override;
    // Same defaults; moniker, when not null, receives a moniker for the new entry.
    HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker, const CLSID* category,
                           LPCOLESTR instance, const REGFILTER2* data) override;
    // Filters of every category with merit >= minMerit whose pins match. A
    // pair of GUIDs per type (major, subtype); GUID_NULL on the caller's side
    // matches anything, on the registered side too unless exactMatch. Mediums
    // and flags are not matched. Ordered by merit, highest first, then by
    // category and instance name; a CLSID is listed once.
    HRESULT EnumMatchingFilters(IEnumMoniker** enumerator, DWORD flags, BOOL exactMatch, DWORD minMerit,
                                BOOL inputNeeded, DWORD inputTypeCount, const GUID* inputTypes,
                                const REGPINMEDIUM* inputMedium, const CLSID* inputCategory, BOOL render,
                                BOOL outputNeeded, DWORD outputTypeCount, const GUID* outputTypes,
                                const REGPINMEDIUM* outputMedium, const CLSID* outputCategory) override;
};

}  // namespace kvmedia
