#include "mirror/ServerDescription.h"

#include <cstring>

#include "lknet/lknet.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS_NAMED(ServerDescription, Tessel::Object, "ServerDescription")

namespace
{
std::string textOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

// A fixed text field of the device record: up to its NUL, never past the field.
std::string fieldText(const char* field, size_t size)
{
    const void* end = std::memchr(field, '\0', size);
    return std::string(field, end ? static_cast<const char*>(end) - field : size);
}
} // namespace

ServerDescription::ServerDescription() : localUid(Tessel::UID::generate().toString()) {}

ServerDescription* ServerDescription::create(uint32_t serverId, const lknet::ServerDescriptor& descriptor)
{
    ServerDescription* description = new ServerDescription;
    description->serverId = serverId;
    splitAnnouncedName(textOf(descriptor.name), description->name, description->version);
    description->deviceType = textOf(descriptor.deviceType);
    description->deviceUid = parseUid(textOf(descriptor.uid));
    description->serialNumber = textOf(descriptor.serialNumber);
    description->interfaceType = descriptor.interfaceType;
    return description;
}

void ServerDescription::setDeviceInfo(const lknet::DeviceInfo& info)
{
    infoFlags = info.flags;
    address = fieldText(info.address, sizeof info.address);
    hostName = fieldText(info.hostName, sizeof info.hostName);
    port = info.port;
}

void* ServerDescription::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IServerDescription)
    return Object::queryInterface(iid);
}

std::string ServerDescription::getHostText() const
{
    if (infoFlags != 0)
        return {};
    if (hostName.empty())
        return address;
    if (hostName == address)
        return hostName;
    return hostName + " (" + address + ")";
}

void ServerDescription::splitAnnouncedName(const std::string& announced, std::string& name,
                                           std::string& version)
{
    size_t slash = announced.find('/');
    if (slash == std::string::npos)
    {
        name = announced;
        version.clear();
        return;
    }
    name = announced.substr(0, slash);
    version = announced.substr(slash + 1);
}

Tessel::UID ServerDescription::parseUid(const std::string& text)
{
    Tessel::UID uid;
    if (!uid.fromString(text))
        return Tessel::UID();
    return uid;
}

} // namespace Vellaris::LK
