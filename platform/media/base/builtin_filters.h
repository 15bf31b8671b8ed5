#pragma once
// Filters the platform itself provides (the DV filters, the AVI filters, the
// renderers) are described by a table of factory templates, as a module's
// are, but become built-in classes of the process instead of registered
// servers of a module.
#include <span>

#include "platform/com/factory_template.h"
#include "platform/com/hresult.h"

// Makes every row creatable by its CLSID (CoRegisterBuiltinClass); stops at the first failure.
HRESULT RegisterBuiltinFilterClasses(std::span<const CFactoryTemplate> rows);

// Writes each row's filter data (name, merit, pins and media types) through the
// filter mapper so intelligent connect and Render find it; FALSE removes the
// entries. Registering stops at the first failure; removing goes on past them.
HRESULT RegisterBuiltinFilterData(std::span<const CFactoryTemplate> rows, bool doRegister);
