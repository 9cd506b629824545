#pragma once

#include <cstdint>
#include <string>

#include "tessel/Object.h"
#include "tessel/UID.h"

namespace lknet
{
struct DeviceInfo;
struct ServerDescriptor;
} // namespace lknet

namespace Vellaris::LK
{

// The questions the rest of the application asks about a device, without knowing the class that
// describes it.
class IServerDescription : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0001, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x01};

    // The network library's handle of the device (the key of its "unavailable" report).
    virtual uint32_t getServerId() const = 0;
    // The interface type, low 4 bits only.
    virtual uint32_t getInterfaceType() const = 0;
    // The device's serial number text (a speaker's identity in venues).
    virtual const std::string& getSerialNumber() const = 0;
    // The flags word of the device's address record; nonzero means no host text is shown.
    virtual uint32_t getInfoFlags() const = 0;
};

// One device as the network library reported it: identity from the announcement, address from the
// library's device record, and a fresh local identifier. A plain value object, registered under
// the class name "ServerDescription"; texts are UTF-8 as the library gives them.
class ServerDescription : public Tessel::Object, public IServerDescription
{
    TESSEL_DECLARE_CLASS(ServerDescription)
public:
    ServerDescription();

    // Builds a description from an announcement. Null texts read as empty; the announced name is
    // split at its first "/" into model name and version; the UID text is parsed (zero when it is
    // not in the braces form); a new localUid is generated. The address fields stay empty.
    static ServerDescription* create(uint32_t serverId, const lknet::ServerDescriptor& descriptor);
    // Copies flags, address, host name and port from the library's device record (texts read up to
    // their NUL, at most the field's size).
    void setDeviceInfo(const lknet::DeviceInfo& info);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    // IServerDescription.
    uint32_t getServerId() const override { return serverId; }
    uint32_t getInterfaceType() const override { return interfaceType & 0x0F; }
    const std::string& getSerialNumber() const override { return serialNumber; }
    uint32_t getInfoFlags() const override { return infoFlags; }

    // The host text shown for the device: the address when the host name is empty, the host name
    // alone when it equals the address, else "host (address)". Empty when infoFlags is nonzero.
    std::string getHostText() const;

    // Splits an announced name at the first "/" (no "/": all of it is the name, the version empty).
    static void splitAnnouncedName(const std::string& announced, std::string& name, std::string& version);
    // Parses UID text of the form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; anything else (also an
    // empty text) gives the zero identifier.
    static Tessel::UID parseUid(const std::string& text);

    uint32_t serverId = 0;
    uint32_t infoFlags = 0;
    std::string address;
    std::string hostName;
    uint16_t port = 0;
    std::string name;
    std::string version;
    std::string deviceType;
    Tessel::UID deviceUid;
    uint32_t interfaceType = 0;
    std::string localUid;
    std::string serialNumber;

protected:
    ~ServerDescription() override = default;
};

} // namespace Vellaris::LK
