#pragma once
// ComPtr: owns one reference to a COM interface and releases it when it goes.
#include <cstddef>
#include <utility>

#include "platform/com/unknown.h"

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference (AddRef); use Attach to adopt one already counted.
    ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
    ComPtr(const ComPtr<U>& other) : ComPtr(static_cast<T*>(other.Get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* p) {
        ComPtr(p).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Releases what is held and returns the slot for an out-parameter.
    T** ReleaseAndGetAddressOf() {
        Reset();
        return &p_;
    }
    T** GetAddressOf() { return ReleaseAndGetAddressOf(); }
    // The same slot typed for QueryInterface-style calls.
    void** GetVoidAddress() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

    void Reset() {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // Adopts a reference the caller already owns.
    void Attach(T* p) {
        Reset();
        p_ = p;
    }
    // Gives up ownership without releasing.
    T* Detach() { return std::exchange(p_, nullptr); }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // Hands out an extra reference through an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    // QueryInterface for another interface.
    template <class U>
    HRESULT As(ComPtr<U>* out) const {
        if (!out) return E_POINTER;
        if (!p_) {
            out->Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(IidOf<U>(), out->GetVoidAddress());
    }
    template <class U>
    ComPtr<U> As() const {
        ComPtr<U> out;
        As(&out);
        return out;
    }

private:
    T* p_ = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) {
    return a.Get() == b.Get();
}
template <class T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) {
    return a.Get() == nullptr;
}
