#include "web/WebRows.h"

#include "mirror/ItemListModel.h"
#include "mirror/ServerDescription.h"
#include "remote/RemoteAddress.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/Component.h"
#include "tessel/IListModel.h"
#include "venue/SpeakerPosition.h"
#include "web/JsonText.h"

namespace Vellaris::Web
{

namespace
{
void addCell(JsonText& json, const std::string& key, const Tessel::Variant& cell)
{
    if (cell.isInt())
        json.integer(key, cell.asInt());
    else if (cell.isFloat())
        json.number(key, cell.asDouble());
    else if (!cell.isEmpty())
        json.string(key, cell.asString());
}

void addTableRows(JsonText& json, const Tessel::IListModel& model)
{
    const int columns = model.countColumns();
    for (int row = 0; row < model.countRows(); ++row)
    {
        json.beginObject().integer("row", row).boolean("selected", model.isRowSelected(row));
        for (int column = 0; column < columns; ++column)
        {
            const std::string key = model.getColumnId(column);
            if (!key.empty() && key != "row" && key != "selected")
                addCell(json, key, model.getCell(row, column));
        }
        json.endObject();
    }
}

void addItemRows(JsonText& json, const IItemListModel& model)
{
    for (int row = 0; row < model.countRows(); ++row)
    {
        const std::string path = model.getRowPath(row);
        json.beginObject()
            .integer("row", row)
            .string("path", path.empty() ? std::string() : "/roomdesk/" + path)
            .string("icon", model.getRowIcon(row));
        auto* item = Tessel::classCast<SpeakerNetworkItem>(model.getRowItem(Tessel::Variant(row)));
        if (item)
        {
            const std::string serial = item->getSerialNumber();
            const LK::ServerDescription* description = item->getDescription();
            json.string("serial", serial)
                .string("name", speakerLabel(SpeakerPosition::nameOf(item), serial))
                .string("model", description ? description->name : std::string())
                .boolean("online", true);
        }
        json.endObject();
    }
}
} // namespace

std::string speakerLabel(const std::string& name, const std::string& serial)
{
    if (!serial.empty() && name.size() > serial.size() + 1 &&
        name.compare(name.size() - serial.size(), serial.size(), serial) == 0 &&
        name[name.size() - serial.size() - 1] == ' ')
        return name.substr(0, name.size() - serial.size() - 1);
    return name.empty() ? serial : name;
}

Tessel::Component* listComponentAt(const std::string& address, std::string& error)
{
    Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, true);
    if (!target.resolved())
    {
        error = target.error;
        return nullptr;
    }
    Tessel::Component* component =
        target.object.kind == Tessel::ObjectTarget::Kind::Component ? target.object.component : nullptr;
    if (!component || (!Tessel::unknownCast<Tessel::IListModel>(component) &&
                       !Tessel::unknownCast<IItemListModel>(component)))
    {
        error = "the address names no list";
        return nullptr;
    }
    return component;
}

bool rowsMessage(const std::string& address, const std::string& id, std::string& out, std::string& error)
{
    Tessel::Component* component = listComponentAt(address, error);
    if (!component)
        return false;
    JsonText json;
    json.beginObject().string("op", "rows").string("address", address);
    if (!id.empty())
        json.raw("id", id);
    json.beginArray("rows");
    if (auto* table = Tessel::unknownCast<Tessel::IListModel>(component))
        addTableRows(json, *table);
    else if (auto* items = Tessel::unknownCast<IItemListModel>(component))
        addItemRows(json, *items);
    out = json.endArray().endObject().str();
    return true;
}

} // namespace Vellaris::Web
