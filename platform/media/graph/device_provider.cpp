#include "platform/media/graph/device_provider.h"

#include <map>
#include <mutex>

namespace kvmedia {

namespace {

struct ProviderEntry {
    CLSID category;
    std::shared_ptr<DeviceCategoryProvider> provider;
};

// The process-wide provider table.
class ProviderTable {
public:
    static ProviderTable& Instance() {
        static ProviderTable table;
        return table;
    }

    DWORD Add(REFCLSID category, std::shared_ptr<DeviceCategoryProvider> provider) {
        std::scoped_lock lock(mutex_);
        const DWORD cookie = nextCookie_++;
        entries_.emplace(cookie, ProviderEntry{category, std::move(provider)});
        return cookie;
    }

    void Remove(DWORD cookie) {
        std::scoped_lock lock(mutex_);
        entries_.erase(cookie);
    }

    std::vector<std::shared_ptr<DeviceCategoryProvider>> Find(REFCLSID category) {
        std::scoped_lock lock(mutex_);
        std::vector<std::shared_ptr<DeviceCategoryProvider>> found;
        for (const auto& [cookie, entry] : entries_)
            if (entry.category == category) found.push_back(entry.provider);
        return found;
    }

private:
    std::mutex mutex_;
    std::map<DWORD, ProviderEntry> entries_;  // by cookie, so in registration order; guarded by mutex_
    DWORD nextCookie_ = 1;                    // guarded by mutex_
};

}  // namespace

DWORD RegisterDeviceCategoryProvider(REFCLSID category, std::shared_ptr<DeviceCategoryProvider> provider) {
    if (!provider) return 0;
    return ProviderTable::Instance().Add(category, std::move(provider));
}

void UnregisterDeviceCategoryProvider(DWORD cookie) { ProviderTable::Instance().Remove(cookie); }

std::vector<std::shared_ptr<DeviceCategoryProvider>> DeviceCategoryProviders(REFCLSID category) {
    return ProviderTable::Instance().Find(category);
}

}  // namespace kvmedia
