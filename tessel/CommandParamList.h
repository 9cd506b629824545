#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessel/Variant.h"

namespace Tessel
{

class CommandParam;
class ParamContainer;

// An indexed list of command parameters in a component's container: one entry per item of a
// list the component shows ("closeRoom[0]", "closeRoom[1]" ... for the rooms of a venue). Entry i
// is a command parameter named literally "<baseName>[i]" (containers refuse duplicate names, so
// each entry has its own), sending (category, command) with the one argument
// `argumentKey` = values[i]. The skin and the remote control address an entry by that name.
//
// The list owns nothing itself: the entries live in the container, which must outlive the list
// (make both members of one component, the container first). GUI thread only.
class CommandParamList
{
public:
    CommandParamList(ParamContainer& params, std::string baseName, std::string category, std::string command,
                     std::string argumentKey, int32_t tag = 0);
    ~CommandParamList() = default;
    CommandParamList(const CommandParamList&) = delete;
    CommandParamList& operator=(const CommandParamList&) = delete;

    // "<baseName>[index]".
    static std::string entryName(const std::string& baseName, int index);
    // Splits "closeRoom[3]" into "closeRoom" and 3; false for names without a valid index
    // ("closeRoom", "closeRoom[]", "closeRoom[-1]", "closeRoom[3]x", "closeRoom[007]").
    static bool parseEntryName(const std::string& name, std::string& baseName, int& index);

    // Makes the list exactly values.size() entries long. Entries that stay keep their parameter
    // (views bound to "closeRoom[0]" stay bound) and take their new argument; new entries are
    // appended to the container; entries past the new count are removed from it. An entry whose
    // name is taken by another parameter of the container is left out with a warning, and so
    // are all after it.
    void setValues(const std::vector<Variant>& values);
    // Removes every entry from the container.
    void clear() { setValues({}); }

    int count() const { return int(entries.size()); }
    // Entry `index` (borrowed), or nullptr when out of range.
    CommandParam* at(int index) const;
    // The argument entry `index` sends, or an empty variant.
    Variant valueAt(int index) const;
    const std::string& getBaseName() const { return baseName; }

private:
    ParamContainer& params;
    std::string baseName;
    std::string category;
    std::string command;
    std::string argumentKey;
    int32_t tag = 0;
    std::vector<CommandParam*> entries; // borrowed from the container
};

} // namespace Tessel
