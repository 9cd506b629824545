#include "remote/RemoteAddress.h"

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace Vellaris::Remote
{

namespace
{
constexpr const char* kDeskPrefix = "/roomdesk";
constexpr const char* kSpeakerPrefix = "/speaker";
// The properties that every component answers (Component::getProperty); "/list" shows them so a
// user learns that properties are there to query.
const char* const kCommonProperties[] = {"name", "title", "numChildren"};

// `address` below `prefix`: "" for the prefix itself, the rest without its "/" when it continues
// with one, false when it does not start with the prefix at all.
bool below(const std::string& address, const std::string& prefix, std::string& rest)
{
    if (address.compare(0, prefix.size(), prefix) != 0)
        return false;
    if (address.size() == prefix.size())
    {
        rest.clear();
        return true;
    }
    if (address[prefix.size()] != '/')
        return false;
    rest = address.substr(prefix.size() + 1);
    return true;
}

SpeakerNetworkManager* speakerList()
{
    // Never made here: a desk without a speaker list simply has no speakers to address.
    return Tessel::ComponentSingleton<SpeakerNetworkManager>::instance();
}

// The speaker component for "/speaker/<serial>..." and the path below it; nullptr with `error`.
SpeakerComponent* speakerFor(const std::string& rest, std::string& path, std::string& error)
{
    size_t slash = rest.find('/');
    std::string serial = rest.substr(0, slash);
    path = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    if (serial.empty())
    {
        error = "the address names no serial number";
        return nullptr;
    }
    SpeakerNetworkManager* manager = speakerList();
    SpeakerNetworkItem* item = manager ? manager->findItemBySerial(serial) : nullptr;
    SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
    if (!speaker)
    {
        error = "no speaker with serial number " + serial + " is on the network";
        return nullptr;
    }
    // The mirror's paths start with the speaker component's own name; a path may leave it out.
    const std::string prefix = speaker->getName() + "/";
    if (path.compare(0, prefix.size(), prefix) == 0)
        path.erase(0, prefix.size());
    else if (path == speaker->getName())
        path.clear();
    return speaker;
}

// The component an address names, for "/list".
Tessel::Component* componentFor(const std::string& address, std::string& error)
{
    std::string rest;
    if (below(address, kDeskPrefix, rest))
    {
        Tessel::Component* component = Tessel::resolveComponentPath(Tessel::getRootComponent(), rest);
        if (!component)
            error = "no component at this address";
        return component;
    }
    if (below(address, kSpeakerPrefix, rest) && !rest.empty())
    {
        std::string path;
        SpeakerComponent* speaker = speakerFor(rest, path, error);
        if (!speaker)
            return nullptr;
        Tessel::Component* component = Tessel::resolveComponentPath(speaker, path);
        if (!component)
            error = "the speaker has no component at this path";
        return component;
    }
    error = "the address starts with neither /roomdesk nor /speaker";
    return nullptr;
}
} // namespace

RemoteTarget resolveRemoteAddress(const std::string& address, bool allowComponent)
{
    RemoteTarget target;
    std::string rest;
    if (below(address, kDeskPrefix, rest))
    {
        if (rest.empty())
            target.object.component = Tessel::getRootComponent();
        else
            target.object = Tessel::resolveObjectPath(Tessel::getRootComponent(), rest, allowComponent);
    }
    else if (below(address, kSpeakerPrefix, rest) && !rest.empty())
    {
        std::string path;
        SpeakerComponent* speaker = speakerFor(rest, path, target.error);
        if (!speaker)
            return target;
        if (path.empty())
            target.object.component = speaker;
        else
            target.object = Tessel::resolveObjectPath(speaker, path, allowComponent);
    }
    else
    {
        target.error = "the address starts with neither /roomdesk nor /speaker";
        return target;
    }
    if (!target.object.resolved() && target.object.component && allowComponent)
        target.object.kind = Tessel::ObjectTarget::Kind::Component; // "/roomdesk", "/speaker/<serial>"
    if (!target.object.resolved())
    {
        target.object = {};
        target.error = "nothing at this address";
    }
    return target;
}

bool listRemoteAddress(const std::string& address, std::vector<std::string>& names, std::string& error)
{
    names.clear();
    if (address == "/" || address.empty())
    {
        names = {"roomdesk/", "speaker/"};
        return true;
    }
    if (address == kSpeakerPrefix || address == std::string(kSpeakerPrefix) + "/")
    {
        if (SpeakerNetworkManager* manager = speakerList())
        {
            for (int i = 0; i < manager->countSpeakers(); ++i)
            {
                SpeakerNetworkItem* item = manager->getSpeaker(i);
                if (item && !item->getSerialNumber().empty())
                    names.push_back(item->getSerialNumber() + "/");
            }
        }
        return true;
    }
    std::string path = address;
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    Tessel::Component* component = componentFor(path, error);
    if (!component)
        return false;
    for (int i = 0; i < component->countChildren(); ++i)
        names.push_back(component->getChild(i)->getName() + "/");
    for (int i = 0; i < component->countParameters(); ++i)
        names.push_back(component->getParameterAt(i)->getName());
    for (const char* property : kCommonProperties)
        if (!component->findParameter(property)) // a parameter of that name hides the property
            names.emplace_back(property);
    return true;
}

} // namespace Vellaris::Remote
