#pragma once

#include <string>

namespace Tessel
{

class Attributes;

// Location kinds for ISystem::getLocation.
namespace Location
{
constexpr const char* kSupport = "Supp";      // the application's support folder (beside the program)
constexpr const char* kDocuments = "Docs";    // the user's documents folder
constexpr const char* kSettings = "Settings"; // the user's settings folder for this application
constexpr const char* kTemp = "Temp";         // a folder for temporary files
} // namespace Location

// Facts about the computer and its folders.
class ISystem
{
public:
    // The folder of location `kind` (Location), without a trailing "/", or "" for an unknown kind.
    // The folder is not created.
    virtual std::string getLocation(const std::string& kind) const = 0;
    // Fills `info` with at least "deviceModel" (the computer's model text) and "deviceIdentifier"
    // (a stable identifier text of the computer).
    virtual void getComputerInfo(Attributes& info) const = 0;
    // The computer's network name.
    virtual std::string getComputerName() const = 0;

protected:
    virtual ~ISystem() = default;
};

} // namespace Tessel
