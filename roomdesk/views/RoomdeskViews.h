#pragma once

namespace Vellaris
{

// Registers the view items of roomdesk's skin under "import Roomdesk 1.0": "ItemList"
// (ItemListModel.h), "MeterDisplay" (MeterDisplay.h), the equaliser curves "CurveDisplay",
// "CurveMicroDisplay", "CurveSelectDisplay" (EqCurveItem.h) and the graphic equaliser's
// "GEQDisplay", "GEQCurveDisplay", "GEQBandDisplay" (GeqDisplay.h), the floor plan "RoomEditView"
// (RoomEditItem.h) and "QrCode" (QrCodeItem.h). Call once before loading a form.
void registerRoomdeskViews();

} // namespace Vellaris
