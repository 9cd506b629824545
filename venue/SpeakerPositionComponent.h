#pragma once

#include <string>

#include "tessel/Component.h"
#include "tessel/SharedPtr.h"
#include "venue/SpeakerPosition.h"

namespace Tessel
{
class AliasParam;
}

namespace Vellaris
{

// The controller of one speaker cell of the room editor's floor plan.
//
// Parameter "hilite" (tag 100): an alias of the live speaker's "selected" (its wink); without a
// live speaker an empty toggle. Property "hiliteState": "hilite" while it is on, else "normal".
// Property "speakerNotFound": true while the position has no live speaker. Child "Speaker": the
// live speaker item, or else the placeholder SpeakerNotFoundComponent, so the skin's button
// "Speaker/removeFromRoom" reaches whichever stands there. Properties "serial", "model" (the live
// speaker's model name, "" while missing), "itemPath" (the live item's component path or "").
class SpeakerPositionComponent : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(SpeakerPositionComponent)
public:
    static constexpr int32_t kHiliteTag = 100;
    static constexpr int32_t kRemoveFromRoomTag = 101;
    static constexpr const char* kSpeakerChild = "Speaker";

    // The placeholder shown for a speaker that is not on the network. "removeFromRoom" (tag 101):
    // any change takes the position's serial number out of the room that holds the position (on the
    // next turn, so the views that hold the button are not rebuilt under it).
    class SpeakerNotFoundComponent : public Tessel::Component
    {
        TESSEL_DECLARE_CLASS(SpeakerNotFoundComponent)
    public:
        SpeakerNotFoundComponent();
        void setPosition(SpeakerPosition* position) { this->position = Tessel::retained(position); }
        void paramChanged(Tessel::IParameter* param) override;
        void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

    private:
        Tessel::SharedPtr<SpeakerPosition> position;
    };

    SpeakerPositionComponent();
    SpeakerPositionComponent(const std::string& name, SpeakerPosition* position);

    SpeakerPosition* getPosition() const { return position.get(); }
    SpeakerNetworkItem* getSpeaker() const { return position ? position->getSpeaker() : nullptr; }
    bool isSpeakerNotFound() const { return getSpeaker() == nullptr; }
    Tessel::IParameter* getHilite() const;
    SpeakerNotFoundComponent* getPlaceholder() const { return placeholder; }

    Tessel::Component* findChild(const std::string& childName) const override;
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~SpeakerPositionComponent() override;

private:
    Tessel::SharedPtr<SpeakerPosition> position;
    Tessel::AliasParam* hilite = nullptr;
    SpeakerNotFoundComponent* placeholder = nullptr; // a child
};

} // namespace Vellaris
