#include "app/exe/views/RoomdeskViews.h"

#include <QQmlEngine>

#include "app/exe/views/ItemListModel.h"
#include "app/exe/views/MeterDisplay.h"
#include "net/ThemeImages.h"

namespace Vellaris
{

void registerRoomdeskViews()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qmlRegisterType<ItemListModel>("Roomdesk", 1, 0, "ItemList");
    qmlRegisterType<MeterDisplay>("Roomdesk", 1, 0, "MeterDisplay");
    // The skin draws a picture of each speaker model (SpeakerPicture.qml), plain and selected.
    ThemeImages::setLookup(
        [](const std::string& name)
        {
            for (const char* model : {"TX10A", "TX20A", "TX30A", "TX40S", "Unknown"})
            {
                if (name == std::string("SpeakerIcon:") + model ||
                    name == std::string("SpeakerIconSelected:") + model)
                    return true;
            }
            return false;
        });
}

} // namespace Vellaris
