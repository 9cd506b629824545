#pragma once

#include "net/client/RemoteComponent.h"

namespace Vellaris
{

// The multi-band limiter of an output channel ("multilimiter").
// A mirrored part of the speaker: its parameter changes travel to the speaker through the
// client root. For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class MultiLimiterComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(MultiLimiterComponent)
public:
    MultiLimiterComponent();

    void setClassData(const Tessel::Attributes& data) override;
    // The class data received last (empty before any).
    const Tessel::Attributes& getClassData() const { return classData; }

protected:
    ~MultiLimiterComponent() override;

private:
    Tessel::Attributes classData;
};

} // namespace Vellaris
