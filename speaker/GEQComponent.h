#pragma once

#include "net/client/RemoteComponent.h"

namespace Vellaris
{

// The 31-band graphic equaliser ("geq").
// A mirrored part of the speaker: its parameter changes travel to the speaker through the
// client root. For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class GEQComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(GEQComponent)
public:
    GEQComponent();

    void setClassData(const Tessel::Attributes& data) override;
    // The class data received last (empty before any).
    const Tessel::Attributes& getClassData() const { return classData; }

protected:
    ~GEQComponent() override;

private:
    Tessel::Attributes classData;
};

} // namespace Vellaris
