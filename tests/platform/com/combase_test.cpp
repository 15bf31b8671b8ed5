#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"

namespace {

struct ICounter : IUnknown {
    virtual int Next() = 0;

protected:
    ~ICounter() = default;
};
KV_DEFINE_IID(ICounter, "{0E6B1C52-3A5E-4C55-9D73-1F0C5B0F7A01}");

class Counter : public CUnknown, public ICounter {
public:
    explicit Counter(IUnknown* outer, bool* destroyed = nullptr) : CUnknown("Counter", outer), destroyed_(destroyed) {}
    ~Counter() override {
        if (destroyed_) *destroyed_ = true;
    }
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_ICounter) return GetInterface(static_cast<ICounter*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    int Next() override { return ++value_; }

private:
    bool* destroyed_;
    int value_ = 0;
};

// An outer object that aggregates a Counter and exposes its interface as its own.
class Outer : public CUnknown {
public:
    Outer() : CUnknown("Outer", nullptr), inner_(new Counter(GetOwner())) { inner_->NonDelegatingAddRef(); }
    ~Outer() override { inner_->NonDelegatingRelease(); }
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_ICounter) return inner_->NonDelegatingQueryInterface(riid, ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }

private:
    Counter* inner_;
};

// The object's own IUnknown, as a class factory hands it out.
ComPtr<IUnknown> Adopt(INonDelegatingUnknown* object) {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(object->NonDelegatingQueryInterface(IID_IUnknown, unknown.GetVoidAddress()), S_OK);
    return unknown;
}

TEST(CUnknown, CountsReferencesAndDestroysAtZero) {
    bool destroyed = false;
    const LONG before = CBaseObject::ObjectsActive();
    {
        ComPtr<IUnknown> unknown = Adopt(new Counter(nullptr, &destroyed));
        EXPECT_EQ(CBaseObject::ObjectsActive(), before + 1);
        ComPtr<ICounter> counter;
        ASSERT_EQ(unknown.As(&counter), S_OK);
        EXPECT_EQ(counter->Next(), 1);
        ComPtr<IUnknown> missing;
        EXPECT_EQ(counter->QueryInterface(IID_IPersist, missing.GetVoidAddress()), E_NOINTERFACE);
        EXPECT_EQ(missing, nullptr);
        EXPECT_EQ(counter->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    }
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(CBaseObject::ObjectsActive(), before);
}

TEST(CUnknown, AggregatedInnerAnswersWithTheOuterIdentity) {
    ComPtr<IUnknown> outer = Adopt(new Outer);
    ComPtr<ICounter> counter;
    ASSERT_EQ(outer.As(&counter), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(counter.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), outer.Get());
    EXPECT_EQ(counter->Next(), 1);
}

}  // namespace
