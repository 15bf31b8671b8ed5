#pragma once
// PropertyBag: the read-only IPropertyBag a moniker binds to (BindToStorage):
// "FriendlyName", "CLSID", "DevicePath" and whatever a device provider adds.
// Values are copied in when the moniker is made.
#include <map>
#include <string>
#include <variant>

#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvmedia {

// VT_I4, VT_UI8 or VT_BSTR (UTF-8 here, UTF-16 in the VARIANT).
using PropertyValue = std::variant<LONG, ULONGLONG, std::string>;
using PropertyMap = std::map<std::string, PropertyValue>;

class PropertyBag final : public CUnknown, public IPropertyBag {
public:
    static HRESULT Create(PropertyMap properties, REFIID riid, void** ppv);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // VFW_E_NOT_FOUND for a name the bag does not hold. The caller's VARIANT
    // must be empty or already of the stored type; it receives a copy.
    HRESULT Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    // The bag describes a registration or a device; it is not written through.
    HRESULT Write(LPCOLESTR name, VARIANT* value) override;

private:
    explicit PropertyBag(PropertyMap properties);

    const PropertyMap properties_;
};

}  // namespace kvmedia
