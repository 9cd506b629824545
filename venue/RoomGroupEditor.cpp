#include "venue/RoomGroupEditor.h"

#include "tessel/ListParam.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "venue/RoomEditView.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(RoomGroupEditor, Tessel::Component)

namespace
{
// List entry i of "groupType" is group type i + 1.
const std::vector<std::string> kTypeEntries{"Subs", "Mids", "Tops", "Named"};
} // namespace

RoomGroupEditor::RoomGroupEditor(RoomEditView* editor) : Tessel::Component("Groups"), editor(editor)
{
    Tessel::ParamContainer& params = getParams();
    selectedGroup = params.addInteger(-1, 999, "selectedGroup", kSelectedGroupTag);
    selectedGroup->setValue(Tessel::Variant(-1), false);
    groupType = params.addList("groupType", kGroupTypeTag);
    groupType->setEntries(kTypeEntries);
    groupName = params.addString("groupName", kGroupNameTag);
    addGroupParam = params.addInteger(0, SpeakerGroup::kCustom, "addGroup", kAddGroupTag);
    newGroupName = params.addString("newGroupName", kNewGroupNameTag);
    removeGroupParam = params.addParam("removeGroup", kRemoveGroupTag);
    refresh();
}

SpeakerRoom* RoomGroupEditor::room() const
{
    return editor ? editor->getRoom() : nullptr;
}

std::vector<SpeakerGroup*> RoomGroupEditor::listedGroups() const
{
    std::vector<SpeakerGroup*> result;
    if (SpeakerRoom* shown = room())
        for (SpeakerGroup* group : shown->getGroups())
            if (group->getType() != SpeakerGroup::kMaster)
                result.push_back(group);
    return result;
}

SpeakerGroup* RoomGroupEditor::getSelectedGroup() const
{
    const std::vector<SpeakerGroup*> groups = listedGroups();
    const int64_t index = selectedGroup->getValue().asInt();
    return index >= 0 && index < int64_t(groups.size()) ? groups[size_t(index)] : nullptr;
}

void RoomGroupEditor::selectGroup(int index)
{
    selectedGroup->setValue(Tessel::Variant(index), false);
    refresh();
}

void RoomGroupEditor::roomEdited(SpeakerRoom* edited)
{
    // The room's "changed" rebuilds the editor, which refreshes this list; the automatic save
    // sees the new groups on its next turn.
    edited->setLastChange(Tessel::GetSystemTicks());
    edited->update();
    if (Venue* venue = edited->getVenue())
    {
        venue->setLastChange(Tessel::GetSystemTicks());
        venue->placementChanged();
    }
}

SpeakerGroup* RoomGroupEditor::addGroup(int type, const std::string& title)
{
    SpeakerRoom* shown = room();
    if (!shown || type < SpeakerGroup::kSubs || type > SpeakerGroup::kCustom)
        return nullptr;
    std::string name = title;
    if (type == SpeakerGroup::kCustom && name.empty())
        name = "Group " + std::to_string(listedGroups().size() + 1);
    VenueLayoutEdit edit(shown->getVenue(),
                         "Add Group " +
                             (type == SpeakerGroup::kCustom ? name : SpeakerGroup::typeName(type)));
    Tessel::AutoPtr<SpeakerGroup> group = new SpeakerGroup(type, name);
    shown->addGroup(group);
    selectedGroup->setValue(Tessel::Variant(int(listedGroups().size()) - 1), false);
    roomEdited(shown);
    refresh();
    return group;
}

bool RoomGroupEditor::renameGroup(SpeakerGroup* group, const std::string& title)
{
    SpeakerRoom* shown = room();
    if (!shown || !group || group->getRoom() != shown || group->getType() != SpeakerGroup::kCustom)
        return false;
    VenueLayoutEdit edit(shown->getVenue(), "Rename Group " + group->getTitle());
    group->setTitle(title);
    roomEdited(shown);
    refresh();
    return true;
}

bool RoomGroupEditor::changeType(SpeakerGroup* group, int type)
{
    SpeakerRoom* shown = room();
    if (!shown || !group || group->getRoom() != shown || type < SpeakerGroup::kSubs ||
        type > SpeakerGroup::kCustom)
        return false;
    const std::string title = group->getTitle();
    VenueLayoutEdit edit(shown->getVenue(), "Change Group Type " + title);
    group->setType(type);
    if (type == SpeakerGroup::kCustom)
        group->setTitle(title); // a group made named keeps the name it showed
    roomEdited(shown);
    refresh();
    return true;
}

bool RoomGroupEditor::removeGroup(SpeakerGroup* group)
{
    SpeakerRoom* shown = room();
    if (!shown || !group || group->getRoom() != shown)
        return false;
    Tessel::SharedPtr<SpeakerGroup> kept = Tessel::retained(group);
    VenueLayoutEdit edit(shown->getVenue(), "Remove Group " + group->getTitle());
    std::vector<std::string> serials;
    for (const auto& position : group->getOwnPositions())
        serials.push_back(position->getSpeakerID());
    for (const std::string& serial : serials)
        shown->removeSerial(serial);
    shown->removeGroup(group);
    const int count = int(listedGroups().size());
    if (selectedGroup->getValue().asInt() >= count)
        selectedGroup->setValue(Tessel::Variant(count - 1), false);
    roomEdited(shown);
    refresh();
    return true;
}

void RoomGroupEditor::refresh()
{
    refreshing = true;
    SpeakerGroup* group = getSelectedGroup();
    if (!group && selectedGroup->getValue().asInt() >= int64_t(listedGroups().size()))
        selectedGroup->setValue(Tessel::Variant(-1), false);
    groupType->setValue(Tessel::Variant(group ? group->getType() - 1 : 0), true);
    groupType->enable(group != nullptr);
    groupName->setValue(Tessel::Variant(group ? group->getTitle() : std::string()), true);
    groupName->enable(group && group->getType() == SpeakerGroup::kCustom);
    removeGroupParam->enable(group != nullptr);
    refreshing = false;
    propertyChanged("groupLines");
    propertyChanged("selectedCount");
    propertyChanged("hasSelection");
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

void RoomGroupEditor::paramChanged(Tessel::IParameter* param)
{
    if (refreshing)
        return;
    switch (param->getTag())
    {
    case kSelectedGroupTag:
        refresh();
        break;
    case kGroupTypeTag:
        if (!changeType(getSelectedGroup(), int(groupType->getValue().asInt()) + 1))
            refresh();
        break;
    case kGroupNameTag:
        if (!renameGroup(getSelectedGroup(), groupName->getText()))
            refresh();
        break;
    case kAddGroupTag:
    {
        const int type = int(addGroupParam->getValue().asInt());
        addGroupParam->setValue(Tessel::Variant(0), false);
        addGroup(type, newGroupName->getText());
        break;
    }
    case kRemoveGroupTag:
        removeGroupParam->setValue(Tessel::Variant(0), false);
        removeGroup(getSelectedGroup());
        break;
    default:
        break;
    }
}

bool RoomGroupEditor::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "groupLines")
    {
        std::string text;
        for (SpeakerGroup* group : listedGroups())
        {
            if (!text.empty())
                text += "\n";
            text += std::to_string(group->getType()) + "\t" + group->getTitle() + "\t" +
                    std::to_string(group->getOwnPositions().size());
        }
        value = text;
        return true;
    }
    if (propertyName == "selectedCount")
    {
        SpeakerGroup* group = getSelectedGroup();
        value = int(group ? group->getOwnPositions().size() : 0);
        return true;
    }
    if (propertyName == "hasSelection")
    {
        value = getSelectedGroup() != nullptr;
        return true;
    }
    return Component::getProperty(propertyName, value);
}

} // namespace Vellaris
