#pragma once
// ComEnumerator: the IEnumXxx objects the graph hands out (filters, monikers)
// over a snapshot of references taken when the enumerator is made, so later
// changes to the graph or the registry never invalidate it.
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"

namespace kvmedia {

template <class EnumInterface, class Item>
class ComEnumerator final : public CUnknown, public EnumInterface {
public:
    using Items = std::vector<ComPtr<Item>>;

    DECLARE_IUNKNOWN

    // A new enumerator positioned at the start, with one reference for the caller.
    static HRESULT Create(Items items, EnumInterface** out) {
        if (!out) return E_POINTER;
        auto* enumerator = new ComEnumerator(std::make_shared<const Items>(std::move(items)), 0);
        return enumerator->NonDelegatingQueryInterface(IidOf<EnumInterface>(), reinterpret_cast<void**>(out));
    }

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IidOf<EnumInterface>()) return GetInterface(static_cast<EnumInterface*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT Next(ULONG count, Item** items, ULONG* fetched) override {
        if (!items) return E_POINTER;
        // COM rule: asking for more than one needs somewhere to say how many came.
        if (count > 1 && !fetched) return E_POINTER;
        std::scoped_lock lock(mutex_);
        ULONG given = 0;
        while (given < count && position_ < items_->size()) {
            (*items_)[position_++].CopyTo(&items[given++]);
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG count) override {
        std::scoped_lock lock(mutex_);
        const std::size_t left = items_->size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }

    HRESULT Reset() override {
        std::scoped_lock lock(mutex_);
        position_ = 0;
        return S_OK;
    }

    HRESULT Clone(EnumInterface** clone) override {
        if (!clone) return E_POINTER;
        std::scoped_lock lock(mutex_);
        auto* copy = new ComEnumerator(items_, position_);
        return copy->NonDelegatingQueryInterface(IidOf<EnumInterface>(), reinterpret_cast<void**>(clone));
    }

private:
    ComEnumerator(std::shared_ptr<const Items> items, std::size_t position)
        : CUnknown("ComEnumerator", nullptr), items_(std::move(items)), position_(position) {}

    const std::shared_ptr<const Items> items_;  // shared by clones, never changed
    std::mutex mutex_;
    std::size_t position_;                      // guarded by mutex_
};

}  // namespace kvmedia
