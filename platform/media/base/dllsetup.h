#pragma once
// Registration of a filter module: the COM server of every row of the
// module's g_Templates table, and for each row with filter data
// (AMOVIESETUP_FILTER) its entry in the filter mapper under
// CLSID_LegacyAmFilterCategory, with name, merit, pins and media types, so
// that intelligent connect finds it.
//
// A filter module defines g_Templates and g_cTemplates and expands, once, at
// namespace scope:
//
//     KV_FILTER_MODULE_EXPORTS();
#include "platform/com/module_exports.h"
#include "platform/media/strmif.h"

// TRUE registers servers, then filters; FALSE removes filters, then servers.
// Registering stops at the first failure and returns it; unregistering goes
// on past failures and returns the first.
HRESULT AMovieDllRegisterServer2(BOOL doRegister);

#define KV_FILTER_MODULE_EXPORTS() KV_MODULE_EXPORTS(AMovieDllRegisterServer2)
