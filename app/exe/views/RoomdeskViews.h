#pragma once

namespace Vellaris
{

// Registers the view items of roomdesk's skin under "import Roomdesk 1.0": "ItemList"
// (ItemListModel.h) and "MeterDisplay" (MeterDisplay.h). Call once before loading a form.
void registerRoomdeskViews();

} // namespace Vellaris
