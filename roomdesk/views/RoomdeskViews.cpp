#include "roomdesk/views/RoomdeskViews.h"

#include <cstring>

#include "speaker/SpeakerModels.h"

#include <QQmlEngine>

#include "mirror/ThemeImages.h"
#include "roomdesk/views/EqCurveItem.h"
#include "roomdesk/views/GeqDisplay.h"
#include "roomdesk/views/ItemListModel.h"
#include "roomdesk/views/MeterBarItem.h"
#include "roomdesk/views/QrCodeItem.h"
#include "roomdesk/views/RoomEditItem.h"

namespace Vellaris
{

void registerRoomdeskViews()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qmlRegisterType<ItemListModel>("Roomdesk", 1, 0, "ItemList");
    qmlRegisterType<MeterBarItem>("Roomdesk", 1, 0, "MeterBarItem");
    qmlRegisterType<CurveDisplay>("Roomdesk", 1, 0, "CurveDisplay");
    qmlRegisterType<CurveMicroDisplay>("Roomdesk", 1, 0, "CurveMicroDisplay");
    qmlRegisterType<CurveSelectDisplay>("Roomdesk", 1, 0, "CurveSelectDisplay");
    qmlRegisterType<GeqDisplay>("Roomdesk", 1, 0, "GEQDisplay");
    qmlRegisterType<GEQCurveDisplay>("Roomdesk", 1, 0, "GEQCurveDisplay");
    qmlRegisterType<GEQBandDisplay>("Roomdesk", 1, 0, "GEQBandDisplay");
    qmlRegisterType<RoomEditItem>("Roomdesk", 1, 0, "RoomEditView");
    qmlRegisterType<QrCodeItem>("Roomdesk", 1, 0, "QrCode");
    // The skin draws a picture of each speaker model (SpeakerPicture.qml), plain and selected.
    ThemeImages::setLookup(
        [](const std::string& name)
        {
            for (const char* prefix : {"SpeakerIcon:", "SpeakerIconSelected:"})
            {
                if (name.rfind(prefix, 0) == 0)
                {
                    const std::string model = name.substr(std::strlen(prefix));
                    return model == "Unknown" || isKnownSpeakerModel(model);
                }
            }
            return false;
        });
}

} // namespace Vellaris
