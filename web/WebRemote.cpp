#include "web/WebRemote.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "remote/ListenSettings.h"
#include "tessel/CommandMsg.h"
#include "tessel/CommandParamList.h"
#include "tessel/IFileSystem.h"
#include "tessel/ISystem.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"

namespace Vellaris::Web
{

namespace
{
void setText(Tessel::StringParam* param, const std::string& text)
{
    if (param->getValue().asString() != text)
        param->setValue(Tessel::Variant(text), true);
}

void setNumber(Tessel::Parameter* param, long long number)
{
    if (param->getValue().asInt() != number)
        param->setValue(Tessel::Variant(number), true);
}

void makeReadOnly(Tessel::IParameter* param)
{
    param->setFlag(Tessel::ParamFlags::kReadOnly, true);
}
} // namespace

// The list of paired browsers, one row each.
class WebRemote::Devices : public Tessel::Component
{
public:
    explicit Devices(WebRemote& owner) : Tessel::Component("Devices"), owner(owner)
    {
        revokeEntries = std::make_unique<Tessel::CommandParamList>(getParams(), "revoke", kCommandCategory,
                                                                   "Revoke", "revoke");
    }

    void show(const std::vector<WebPairing::Device>& list)
    {
        Tessel::ParamContainer& params = getParams();
        for (size_t i = 0; i < list.size(); ++i)
        {
            for (const char* base : {"deviceName", "deviceSeen"})
            {
                const std::string name = Tessel::CommandParamList::entryName(base, int(i));
                auto* param = dynamic_cast<Tessel::StringParam*>(findParameter(name));
                if (!param)
                {
                    param = params.addString(name);
                    makeReadOnly(param);
                }
                setText(param, base[6] == 'N' ? list[i].name : list[i].seen);
            }
        }
        // Rows past the list go.
        for (size_t i = list.size(); i < shown; ++i)
            for (const char* base : {"deviceName", "deviceSeen"})
                if (Tessel::IParameter* param =
                        findParameter(Tessel::CommandParamList::entryName(base, int(i))))
                    params.remove(param);
        shown = list.size();
        std::vector<Tessel::Variant> rows;
        for (size_t i = 0; i < list.size(); ++i)
            rows.emplace_back(int(i));
        revokeEntries->setValues(rows);
    }

    bool interpretCommand(const Tessel::CommandMsg& msg) override
    {
        if (msg.category != kCommandCategory || msg.name != "Revoke")
            return false;
        const int index = int(msg.getArgument("revoke").asInt());
        if (msg.checkOnly)
            return index >= 0 && size_t(index) < shown;
        return owner.revokeDevice(index);
    }

protected:
    ~Devices() override { revokeEntries.reset(); }

private:
    WebRemote& owner;
    std::unique_ptr<Tessel::CommandParamList> revokeEntries;
    size_t shown = 0;
};

namespace
{
// The desk settings file keeps the read-only switch under "tabletRemote"/"readOnly"; the file's
// other keys (the windows' places) are kept as they are.
constexpr const char* kSettingsFile = "Desk.settings";
constexpr const char* kSettingsKey = "tabletRemote";

std::string settingsPath()
{
    const std::string folder = Tessel::GetSystem()->getLocation(Tessel::Location::kSettings);
    return folder.empty() ? std::string() : folder + "/" + kSettingsFile;
}

Core::Portable::Attributes readSettings(const std::string& path)
{
    Core::Portable::Attributes settings;
    std::string bytes;
    if (!path.empty() && Tessel::GetFileSystem()->readFile(path, bytes) &&
        !Core::Portable::JsonReader::parse(bytes.data(), bytes.size(), settings))
        settings.clear();
    return settings;
}
} // namespace

bool WebRemote::loadSettings()
{
    const Core::Portable::Attributes settings = readSettings(settingsPath());
    const Core::Portable::Attributes* remote = settings.getAttributes(kSettingsKey);
    const bool on = remote && remote->getInt64("readOnly") != 0;
    loading = true;
    setNumber(readOnly, on ? 1 : 0);
    loading = false;
    server.getDesk().setReadOnly(on);
    return on;
}

bool WebRemote::saveSettings()
{
    const std::string path = settingsPath();
    if (path.empty())
        return false;
    Core::Portable::Attributes settings = readSettings(path);
    Core::Portable::Attributes* remote = settings.getAttributes(kSettingsKey);
    if (!remote)
        remote = &settings.setAttributes(kSettingsKey);
    remote->setBool("readOnly", readOnly->getValue().asInt() != 0);
    Tessel::GetFileSystem()->createFolder(Tessel::GetSystem()->getLocation(Tessel::Location::kSettings));
    const std::string text =
        Core::Portable::Archiver::Writer::toString(settings, Core::Portable::JsonLayout::Indented);
    const bool written = Tessel::GetFileSystem()->writeFile(path, text);
    if (!written)
        std::fprintf(stderr, "roomdesk: the tablet remote's read-only switch could not be written to %s\n",
                     path.c_str());
    return written;
}

WebRemote::WebRemote() : Tessel::Component("WebRemote")
{
    Tessel::ParamContainer& params = getParams();
    url = params.addString("url");
    makeReadOnly(url);
    listening = params.addString("listening");
    makeReadOnly(listening);
    listening->setValue(Tessel::Variant("off"), false);
    readOnly = params.addParam("readOnly");
    readOnly->setFlag(Tessel::ParamFlags::kStorable, true);
    pairingRequired = params.addParam("pairingRequired");
    makeReadOnly(pairingRequired);
    pairingCode = params.addString("pairingCode");
    makeReadOnly(pairingCode);
    pairingCode->setFlag(Tessel::ParamFlags::kSecret, true);
    deviceCount = params.addInteger(0, 1 << 20, "deviceCount");
    makeReadOnly(deviceCount);
    devices = new Devices(*this);
    addChild(devices);
    server.setDevicesChanged([this] { refresh(); });
    attach(this);
    refresh();
}

WebRemote::~WebRemote()
{
    server.setDevicesChanged({});
    server.stop();
    detach(this);
}

bool WebRemote::start(const Remote::ListenSettings& settings, PairingRule rule)
{
    bind = settings.bind;
    loadSettings();
    const bool done = server.start(settings, rule);
    // Tests that start a desk as a program of its own and pair a client with it set the first code
    // here, as they cannot read it. The code itself is never printed.
    if (const char* fixed = std::getenv("ROOMDESK_TEST_PAIRING_CODE"); fixed && *fixed)
    {
        if (server.getPairing().fixCode(fixed))
            std::fprintf(stderr, "roomdesk: tablet remote: the first pairing code is fixed by "
                                 "ROOMDESK_TEST_PAIRING_CODE (for tests only)\n");
        else
            std::fprintf(stderr, "roomdesk: tablet remote: ROOMDESK_TEST_PAIRING_CODE is not six digits: "
                                 "ignored\n");
    }
    refresh();
    return done;
}

void WebRemote::stop()
{
    server.stop();
    refresh();
}

bool WebRemote::revokeDevice(int index)
{
    return index >= 0 && server.revoke(size_t(index)); // refreshes through the server's callback
}

void WebRemote::paramChanged(Tessel::IParameter* param)
{
    if (param != readOnly)
        return;
    server.getDesk().setReadOnly(readOnly->getValue().asInt() != 0);
    if (!loading)
        saveSettings();
}

void WebRemote::refresh()
{
    setText(listening, server.getStatus());
    setText(url, server.isListening() ? urlFor(bind, server.getPort()) : std::string());
    setNumber(pairingRequired, server.isListening() && server.isPairingRequired() ? 1 : 0);
    setText(pairingCode, server.getPairing().getCode());
    setNumber(deviceCount, (long long)server.getPairing().getDevices().size());
    devices->show(server.getPairing().getDevices());
}

std::string WebRemote::urlFor(const std::string& bind, int port)
{
    std::string host = bind;
    if (bind == "0.0.0.0" || bind == "::")
    {
        host = "127.0.0.1";
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) == 0)
        {
            for (ifaddrs* entry = list; entry; entry = entry->ifa_next)
            {
                if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
                    continue;
                char text[INET_ADDRSTRLEN] = "";
                inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr, text,
                          sizeof text);
                if (!Remote::isLoopbackAddress(text))
                {
                    host = text;
                    break;
                }
            }
            freeifaddrs(list);
        }
    }
    else if (bind.find(':') != std::string::npos)
        host = "[" + bind + "]";
    return "http://" + host + ":" + std::to_string(port) + "/";
}

} // namespace Vellaris::Web
