#pragma once

#include "net/client/RemoteComponent.h"

namespace Vellaris
{

// The input channel of a speaker ("line/ch1").
// A mirrored part of the speaker: its parameter changes travel to the speaker through the
// client root. For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class InputComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(InputComponent)
public:
    InputComponent();

    void setClassData(const Tessel::Attributes& data) override;
    // The class data received last (empty before any).
    const Tessel::Attributes& getClassData() const { return classData; }

protected:
    ~InputComponent() override;

private:
    Tessel::Attributes classData;
};

} // namespace Vellaris
