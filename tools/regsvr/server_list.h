#pragma once
// Lists what is registered: every in-process server (CLSID, name, module
// path) and every category instance below HKEY_CLASSES_ROOT\CLSID\{category}\Instance
// (friendly name, CLSID and merit where present).
#include <iosfwd>

// Returns true on success; on failure writes one line saying why to errors.
bool ListRegisteredServers(std::ostream& out, std::ostream& errors);
