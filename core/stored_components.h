#pragma once
// The main window's data fields under the names the settings file knows them by, for
// the settings storages to find their items among.
#include <vector>

#include "core/form_data.h"
#include "storage/stored_component.h"

namespace quilvern {

// P001Name ... P050Name, P001Price ..., P001Quantity ..., P001Total ..., FinalTotal,
// TotalJanuary ... TotalDecember, TotalYear, SetTitle, Currency. The entries point into
// `data`, which must outlive them.
std::vector<StoredComponent> StoredComponents(FormData& data);

}  // namespace quilvern
