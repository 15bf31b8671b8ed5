#include "platform/media/graph/filter_data.h"

#include <cstring>

namespace kvmedia {

namespace {

constexpr std::uint32_t kLayoutVersion = 2;
// Bounds that no real filter comes near; a count past them means damaged data.
constexpr std::uint32_t kMostPins = 256;
constexpr std::uint32_t kMostTypesPerPin = 1024;

RegisteredPinType PinType(const REGPINTYPES& type) {
    return {type.clsMajorType ? *type.clsMajorType : GUID_NULL, type.clsMinorType ? *type.clsMinorType : GUID_NULL};
}

std::optional<std::vector<RegisteredPinType>> PinTypes(UINT count, const REGPINTYPES* types) {
    if (count > 0 && !types) return std::nullopt;
    std::vector<RegisteredPinType> result;
    for (UINT i = 0; i < count; ++i) result.push_back(PinType(types[i]));
    return result;
}

class Writer {
public:
    void U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<BYTE>(value >> shift));
    }
    void U16(std::uint16_t value) {
        bytes_.push_back(static_cast<BYTE>(value));
        bytes_.push_back(static_cast<BYTE>(value >> 8));
    }
    void Guid(const GUID& guid) {
        U32(guid.Data1);
        U16(guid.Data2);
        U16(guid.Data3);
        bytes_.insert(bytes_.end(), guid.Data4, guid.Data4 + 8);
    }
    std::vector<BYTE> Take() { return std::move(bytes_); }

private:
    std::vector<BYTE> bytes_;
};

class Reader {
public:
    Reader(const BYTE* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    bool U32(std::uint32_t* value) {
        if (!Has(4)) return false;
        *value = 0;
        for (int i = 3; i >= 0; --i) *value = (*value << 8) | bytes_[position_ + i];
        position_ += 4;
        return true;
    }
    bool Guid(GUID* guid) {
        if (!Has(16)) return false;
        std::uint32_t data1 = 0;
        U32(&data1);
        guid->Data1 = data1;
        guid->Data2 = static_cast<std::uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
        guid->Data3 = static_cast<std::uint16_t>(bytes_[position_ + 2] | bytes_[position_ + 3] << 8);
        std::memcpy(guid->Data4, bytes_ + position_ + 4, 8);
        position_ += 12;
        return true;
    }
    bool AtEnd() const { return position_ == size_; }

private:
    bool Has(std::size_t count) const { return bytes_ && size_ - position_ >= count; }

    const BYTE* bytes_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace

std::optional<RegisteredFilterData> FilterDataFromRegFilter2(const REGFILTER2& data) {
    RegisteredFilterData result;
    result.merit = data.dwMerit;
    if (data.dwVersion == 1) {
        if (data.cPins > 0 && !data.rgPins) return std::nullopt;
        for (ULONG i = 0; i < data.cPins; ++i) {
            const REGFILTERPINS& pin = data.rgPins[i];
            auto types = PinTypes(pin.nMediaTypes, pin.lpMediaType);
            if (!types) return std::nullopt;
            const DWORD flags = (pin.bRendered ? REG_PINFLAG_B_RENDERER : 0) | (pin.bOutput ? REG_PINFLAG_B_OUTPUT : 0) |
                                (pin.bZero ? REG_PINFLAG_B_ZERO : 0) | (pin.bMany ? REG_PINFLAG_B_MANY : 0);
            result.pins.push_back({flags, 0, GUID_NULL, std::move(*types)});
        }
        return result;
    }
    if (data.dwVersion == 2) {
        if (data.cPins2 > 0 && !data.rgPins2) return std::nullopt;
        for (ULONG i = 0; i < data.cPins2; ++i) {
            const REGFILTERPINS2& pin = data.rgPins2[i];
            auto types = PinTypes(pin.nMediaTypes, pin.lpMediaType);
            if (!types) return std::nullopt;
            result.pins.push_back({pin.dwFlags, pin.cInstances, pin.clsPinCategory ? *pin.clsPinCategory : GUID_NULL,
                                   std::move(*types)});
        }
        return result;
    }
    return std::nullopt;
}

std::vector<BYTE> SerializeFilterData(const RegisteredFilterData& data) {
    Writer out;
    out.U32(kLayoutVersion);
    out.U32(data.merit);
    out.U32(static_cast<std::uint32_t>(data.pins.size()));
    for (const RegisteredPin& pin : data.pins) {
        out.U32(pin.flags);
        out.U32(pin.instances);
        out.U32(static_cast<std::uint32_t>(pin.types.size()));
        out.Guid(pin.category);
        for (const RegisteredPinType& type : pin.types) {
            out.Guid(type.major);
            out.Guid(type.minor);
        }
    }
    return out.Take();
}

std::optional<RegisteredFilterData> ParseFilterData(const BYTE* bytes, std::size_t size) {
    Reader in(bytes, size);
    std::uint32_t version = 0, pinCount = 0;
    RegisteredFilterData data;
    if (!in.U32(&version) || version != kLayoutVersion || !in.U32(&data.merit) || !in.U32(&pinCount) ||
        pinCount > kMostPins)
        return std::nullopt;
    for (std::uint32_t i = 0; i < pinCount; ++i) {
        RegisteredPin pin;
        std::uint32_t typeCount = 0;
        if (!in.U32(&pin.flags) || !in.U32(&pin.instances) || !in.U32(&typeCount) || typeCount > kMostTypesPerPin ||
            !in.Guid(&pin.category))
            return std::nullopt;
        pin.types.resize(typeCount);
        for (RegisteredPinType& type : pin.types)
            if (!in.Guid(&type.major) || !in.Guid(&type.minor)) return std::nullopt;
        data.pins.push_back(std::move(pin));
    }
    if (!in.AtEnd()) return std::nullopt;
    return data;
}

}  // namespace kvmedia
