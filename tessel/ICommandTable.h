#pragma once

#include <string>

namespace Tessel
{

// The keyboard command table.
class ICommandTable
{
public:
    // Loads a command file ("resource:///commands.xml"): a "Commands" element with "Category"
    // elements ("name") holding "Command" elements ("name", "keys"). Returns false when the file
    // cannot be read or is not such a document; the table keeps what it had.
    virtual bool load(const std::string& url) = 0;
    // The key text of command (category, name), or "" when it has none.
    virtual std::string getKeys(const std::string& category, const std::string& name) const = 0;
    virtual int countCommands() const = 0;

protected:
    virtual ~ICommandTable() = default;
};

} // namespace Tessel
