#include "mirror/NetworkItem.h"

#include "tessel/StringParam.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS_NAMED(NetworkItem, Tessel::Component, "NetworkItem")

NetworkItem::NetworkItem(ServerDescription* newDescription)
{
    Tessel::ParamContainer& params = getParams();
    iconParam = params.addString("icon", kIconTag);
    nameParam = params.addString("name", kNameTag);
    versionParam = params.addString("version", kVersionTag);
    hostNameParam = params.addString("hostname", kHostNameTag);
    duplicateParam = params.addParam("duplicate", kDuplicateTag);
    if (newDescription)
        setDescription(newDescription);
}

NetworkItem::~NetworkItem()
{
    if (description)
        description->removeObserver(this);
}

void NetworkItem::setDescription(ServerDescription* newDescription)
{
    if (description)
        description->removeObserver(this);
    description = Tessel::retained(newDescription);
    if (description)
        description->addObserver(this);
    showDescription();
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

void NetworkItem::showDescription()
{
    ServerDescription* d = description.get();
    nameParam->setValue(Tessel::Variant(d ? d->name : std::string()), false);
    versionParam->setValue(Tessel::Variant(d ? d->version : std::string()), false);
    hostNameParam->setValue(Tessel::Variant(d ? d->getHostText() : std::string()), false);
}

bool NetworkItem::isDuplicate() const
{
    return duplicateParam->getValue().asInt() != 0;
}

void NetworkItem::setDuplicate(bool on)
{
    duplicateParam->setValue(Tessel::Variant(on ? 1 : 0), true);
}

std::string NetworkItem::getIcon() const
{
    return iconParam->getText();
}

void NetworkItem::setIcon(const std::string& imageName)
{
    iconParam->setValue(Tessel::Variant(imageName), false);
}

bool NetworkItem::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "name")
    {
        value = description ? description->name : std::string();
        return true;
    }
    if (propertyName == "interfaceType")
    {
        value = Tessel::Variant((long long)(description ? description->getInterfaceType() : 0));
        return true;
    }
    return Component::getProperty(propertyName, value);
}

} // namespace Vellaris::LK
