#pragma once
// The test filters as the test process's own classes. The table behind them
// is the process's g_Templates (linked into every test that links
// kv_testfilters), so AMovieDllRegisterServer2 registers the test converter
// with the filter mapper, and RegisterTestFilterClasses makes every test
// filter creatable with CoCreateInstance, as intelligent connect needs.
#include "platform/com/hresult.h"

namespace kvtest {

// Once per process; later calls do nothing.
HRESULT RegisterTestFilterClasses();

}  // namespace kvtest
