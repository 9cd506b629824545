#pragma once

#include "net/client/RemoteComponent.h"

namespace Vellaris
{

// The limiter of a channel ("limit").
// A mirrored part of the speaker: its parameter changes travel to the speaker through the
// client root. For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class LimiterComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(LimiterComponent)
public:
    LimiterComponent();

    void setClassData(const Tessel::Attributes& data) override;
    // The class data received last (empty before any).
    const Tessel::Attributes& getClassData() const { return classData; }

protected:
    ~LimiterComponent() override;

private:
    Tessel::Attributes classData;
};

} // namespace Vellaris
