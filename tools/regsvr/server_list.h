#pragma once
// Lists what is registered: every in-process server (CLSID, name, module
// path) and every category instance below HKEY_CLASSES_ROOT\CLSID\{category}\Instance
// (friendly name, CLSID and merit where present), one tab-separated line each.
#include <iosfwd>
#include <string>

// Empty on success; otherwise one line saying what went wrong.
std::string ListRegisteredServers(std::ostream& out);
