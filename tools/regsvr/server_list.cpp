#include "tools/regsvr/server_list.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "platform/com/registry_key.h"
#include "platform/com/registry_store.h"

namespace {

// A registry failure met while listing; the message says where.
struct ListError {
    std::string where;
    LONG status;
};

void Check(LONG status, const std::string& where) {
    if (status != ERROR_SUCCESS) throw ListError{where, status};
}

// The value as text, or "" when it is absent or of another type.
std::string OptionalString(const RegKey& key, const char* name) {
    std::string value;
    const LONG status = key.QueryString(name, &value);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_UNSUPPORTED_TYPE) return {};
    Check(status, name ? name : "(default)");
    return value;
}

std::string MeritText(const RegKey& key) {
    DWORD merit = 0;
    const LONG status = key.QueryDword("Merit", &merit);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_UNSUPPORTED_TYPE) return {};
    Check(status, "Merit");
    char text[32];
    std::snprintf(text, sizeof text, "merit 0x%08X", merit);
    return text;
}

void ListServer(const std::string& clsid, std::ostream& out) {
    const std::string classPath = "CLSID\\" + clsid;
    RegKey server;
    const LONG status = server.Open(HKEY_CLASSES_ROOT, (classPath + "\\InprocServer32").c_str());
    if (status == ERROR_FILE_NOT_FOUND) return;
    Check(status, classPath);
    RegKey classKey;
    Check(classKey.Open(HKEY_CLASSES_ROOT, classPath.c_str()), classPath);
    out << clsid << '\t' << OptionalString(classKey, nullptr) << '\t' << OptionalString(server, nullptr) << '\n';
}

void ListInstances(const std::string& category, std::ostream& out) {
    const std::string instancePath = "CLSID\\" + category + "\\Instance";
    RegKey instances;
    const LONG status = instances.Open(HKEY_CLASSES_ROOT, instancePath.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return;
    Check(status, instancePath);
    std::vector<std::string> names;
    Check(instances.SubKeyNames(&names), instancePath);

    RegKey categoryKey;
    Check(categoryKey.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + category).c_str()), category);
    const std::string categoryName = OptionalString(categoryKey, "FriendlyName");
    out << "category " << category << '\t' << categoryName << '\n';
    for (const auto& name : names) {
        RegKey instance;
        Check(instance.Open(instances.Get(), name.c_str()), instancePath + "\\" + name);
        out << "  " << name << '\t' << OptionalString(instance, "FriendlyName");
        if (const auto clsid = OptionalString(instance, "CLSID"); !clsid.empty() && clsid != name)
            out << '\t' << clsid;
        if (const auto merit = MeritText(instance); !merit.empty()) out << '\t' << merit;
        out << '\n';
    }
}

}  // namespace

std::string ListRegisteredServers(std::ostream& out) {
    try {
        RegKey classes;
        const LONG status = classes.Open(HKEY_CLASSES_ROOT, "CLSID");
        if (status == ERROR_FILE_NOT_FOUND) return {};
        Check(status, "CLSID");
        std::vector<std::string> clsids;
        Check(classes.SubKeyNames(&clsids), "CLSID");
        for (const auto& clsid : clsids) ListServer(clsid, out);
        for (const auto& clsid : clsids) ListInstances(clsid, out);
        return {};
    } catch (const ListError& failure) {
        if (failure.status == ERROR_BADDB)
            return "the registry in " + kvreg::RegistryFolder().string() + " is damaged; repair or remove its files";
        return "cannot read HKEY_CLASSES_ROOT\\" + failure.where + " (error " + std::to_string(failure.status) + ")";
    }
}
