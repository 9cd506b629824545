#pragma once

#include <string>
#include <vector>

#include "tessel/Component.h"

namespace Tessel
{
class ListParam;
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris
{

class RoomEditView;
class SpeakerGroup;
class SpeakerRoom;

// The room inspector's group editing ("Groups", a child of the room editor): the groups of the
// room the editor shows, as the user makes them. The master group is not listed.
//
// Parameters: "selectedGroup" (integer, tag 100: the index of the listed group being edited, -1 for
// none), "groupType" (list, tag 101: "Subs", "Mids", "Tops", "Named"; choosing one changes the
// selected group's type), "groupName" (string, tag 102: the selected group's title; a new text
// renames a named group and is refused for the others), "addGroup" (integer, tag 103: 1 Subs,
// 2 Mids, 3 Tops, 4 a named group titled "newGroupName" or "Group N"; the new group is selected),
// "newGroupName" (string, tag 104), "removeGroup" (tag 105: any change removes the selected group;
// its speakers leave the room and go back to the network list).
// Properties: "groupLines" (one line per listed group: "type<TAB>title<TAB>number of speakers"),
// "selectedCount" (speakers in the selected group), "hasSelection".
class RoomGroupEditor : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(RoomGroupEditor)
public:
    static constexpr int32_t kSelectedGroupTag = 100;
    static constexpr int32_t kGroupTypeTag = 101;
    static constexpr int32_t kGroupNameTag = 102;
    static constexpr int32_t kAddGroupTag = 103;
    static constexpr int32_t kNewGroupNameTag = 104;
    static constexpr int32_t kRemoveGroupTag = 105;

    explicit RoomGroupEditor(RoomEditView* editor = nullptr);

    // The groups listed, in room order (all but the master group).
    std::vector<SpeakerGroup*> listedGroups() const;
    SpeakerGroup* getSelectedGroup() const;
    void selectGroup(int index);
    // Adds a group of `type` (1 to 4) to the room; returns it (borrowed) or nullptr without a room.
    SpeakerGroup* addGroup(int type, const std::string& title = {});
    bool renameGroup(SpeakerGroup* group, const std::string& title);
    bool changeType(SpeakerGroup* group, int type);
    // Removes `group`; its speakers leave the room. False when it is not the room's.
    bool removeGroup(SpeakerGroup* group);
    // The room changed: the parameters follow the selected group.
    void refresh();

    void paramChanged(Tessel::IParameter* param) override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

private:
    SpeakerRoom* room() const;
    void roomEdited(SpeakerRoom* room);

    RoomEditView* editor;
    Tessel::Parameter* selectedGroup = nullptr;
    Tessel::ListParam* groupType = nullptr;
    Tessel::StringParam* groupName = nullptr;
    Tessel::Parameter* addGroupParam = nullptr;
    Tessel::StringParam* newGroupName = nullptr;
    Tessel::Parameter* removeGroupParam = nullptr;
    bool refreshing = false;
};

} // namespace Vellaris
