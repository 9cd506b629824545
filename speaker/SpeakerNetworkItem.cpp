#include "speaker/SpeakerNetworkItem.h"

#include "protocol/AsciiText.h"
#include "speaker/VenueSide.h"
#include "speaker/WifiSetupSide.h"

#include "mirror/NetworkPresentationManager.h"
#include "mirror/ThemeImages.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/Parameter.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(SpeakerNetworkItem, LK::NetworkItem, "SpeakerNetworkItem")

namespace
{
Tessel::ISubject* subjectOf(Tessel::IParameter* param)
{
    return Tessel::unknownCast<Tessel::ISubject>(param);
}

} // namespace

SpeakerNetworkItem::SpeakerNetworkItem(LK::ServerDescription* description, lknet::INetworkManager* network)
    : NetworkItem(description)
{
    root = Tessel::adopt(new LK::SpeakerRootComponent(network));
    root->retain(); // one reference for the component tree, one for `root`
    addChild(root.get());
    root->initialize(nullptr);
    if (description)
        root->connect(int(description->serverId));

    std::string serial = getSerialNumber();
    if (Tessel::IParameter* id = speakerParameter("id"))
        id->setValue(Tessel::Variant(serial.empty() ? std::string(kMissingSerialText) : serial), false);

    observeSelection(speakerParameter("wink"));
    setIcon(computeIcon());

    getParams().addParam("removeFromRoom", kRemoveFromRoomTag);
    getParams().addParam("editSpeakerProps", kEditSpeakerPropsTag);
}

SpeakerNetworkItem::~SpeakerNetworkItem()
{
    observeSelection(nullptr);
    if (root)
    {
        root->terminate();
        removeChild(root.get());
        root = nullptr;
    }
}

SpeakerComponent* SpeakerNetworkItem::getSpeakerComponent() const
{
    return root ? root->getSpeaker() : nullptr;
}

Tessel::Component* SpeakerNetworkItem::findChild(const std::string& childName) const
{
    if (childName == kComponentChild)
        return getSpeakerComponent();
    return NetworkItem::findChild(childName);
}

std::string SpeakerNetworkItem::getSerialNumber() const
{
    return getDescription() ? getDescription()->serialNumber : std::string();
}

Tessel::IParameter* SpeakerNetworkItem::speakerParameter(const char* name) const
{
    SpeakerComponent* speaker = getSpeakerComponent();
    return speaker ? speaker->findParameter(name) : nullptr;
}

void SpeakerNetworkItem::observeSelection(Tessel::IParameter* param)
{
    if (selectionParam)
        subjectOf(selectionParam.get())->removeObserver(this);
    selectionParam = Tessel::retained(param);
    if (selectionParam)
        subjectOf(selectionParam.get())->addObserver(this);
    if (selectionParam && getOwner())
        getOwner()->signal(
            Tessel::Message("selectionChanged", {Tessel::Variant(static_cast<Tessel::Object*>(this))}));
}

bool SpeakerNetworkItem::isSelected() const
{
    if (!selectionParam)
        return false;
    Tessel::Variant value = selectionParam->getValue();
    return value.isNumeric() && value.asDouble() != 0;
}

void SpeakerNetworkItem::setSelected(bool selected, bool exclusive)
{
    if (!selectable)
        return;
    if (selected && exclusive && getOwner())
    {
        LK::NetworkItemCollection& items = getOwner()->getItems();
        for (int i = 0; i < items.countItems(); ++i)
        {
            SpeakerNetworkItem* other = Tessel::classCast<SpeakerNetworkItem>(items.getItemAt(i));
            if (other && other != this)
                other->setSelected(false, true);
        }
    }
    if (selectionParam)
        selectionParam->setValue(Tessel::Variant(selected ? 1 : 0), true);
    setIcon(computeIcon());
}

std::string SpeakerNetworkItem::computeIcon() const
{
    std::string base = isSelected() ? kSelectedIconName : kIconName;
    std::string model = getDescription() ? getDescription()->name : std::string();
    std::string image = base + ":" + model;
    if (!model.empty() && ThemeImages::hasImage(image))
        return image;
    return base + ":" + kUnknownModel;
}

void SpeakerNetworkItem::setNetworkSetupMode(bool on)
{
    if (Tessel::IParameter* mode = speakerParameter("networksetupmode"))
        mode->setValue(Tessel::Variant(on ? 1 : 0), true);
}

bool SpeakerNetworkItem::sendNetworkChangeRequest()
{
    IWifiSetup* setup = findWifiSetup();
    if (!setup || !root)
        return false;
    LK::MessageAttributes request(LK::Message::kRequestNetworkChange);
    request.setText(LK::Message::kUrl, LK::SpeakerRootComponent::kSpeakerName);
    request.setText(LK::Message::kRequestNetworkSSID, LK::toAscii(setup->getJoinSsid()));
    request.setText(LK::Message::kRequestNetworkPw, LK::toAscii(setup->getJoinPassword()));
    root->sendMessage(request, false);
    return true;
}

void SpeakerNetworkItem::onIdle()
{
    if (root)
        root->onIdle();
}

void SpeakerNetworkItem::onClick(const ItemClickEvent& event)
{
    bool extending =
        event.kind == ItemClickEvent::kClickKindToggle && (event.modifiers & ItemClickEvent::kModifierExtend);
    if (extending && isSelected())
        return;
    setSelected(!isSelected(), true);
}

void SpeakerNetworkItem::open()
{
    // A double click arrives after the click it began with, which already toggled the selection:
    // opening leaves the speaker selected whatever that click did.
    setSelected(true, true);
}

void SpeakerNetworkItem::detach(bool shuttingDown)
{
    selectable = true;
    setSelected(false, false);
    setNetworkSetupMode(false);
    if (root)
        root->disconnect(shuttingDown);
    joinRequests = false;
}

bool SpeakerNetworkItem::canDrag()
{
    IVenueSide* venues = findVenueSide();
    if (!venues || !venues->isShowingVenue())
        return false;
    IActiveRoom* room = venues->getActiveRoom();
    return room && !room->isLocked();
}

void SpeakerNetworkItem::onError(int code)
{
    if (code == lknet::kErrorConnectionRestored && root)
        root->reconnect();
}

void SpeakerNetworkItem::paramChanged(Tessel::IParameter* param)
{
    const std::string& name = param->getName();
    if (name == "removeFromRoom")
    {
        if (IVenueSide* venues = findVenueSide())
            venues->removeSpeakerFromRooms(getSerialNumber());
        // Back to rest, so the next press is a change again.
        param->setValue(Tessel::Variant(0), false);
    }
    else if (name == "editSpeakerProps")
    {
        setSelected(true, true);
        if (Tessel::IParameter* show =
                Tessel::getRootComponent()->lookupParameter("Inspector/showSpeakerProps"))
            show->setValue(Tessel::Variant(1), true);
        param->setValue(Tessel::Variant(0), false);
    }
    else
    {
        NetworkItem::paramChanged(param);
    }
}

void SpeakerNetworkItem::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (selectionParam && subject == subjectOf(selectionParam.get()))
    {
        if (msg.is(Tessel::Messages::kChanged))
        {
            setIcon(computeIcon());
            if (getOwner())
                getOwner()->signal(Tessel::Message("selectionChanged",
                                                   {Tessel::Variant(static_cast<Tessel::Object*>(this))}));
        }
        return;
    }
    NetworkItem::notify(subject, msg);
}

} // namespace Vellaris
