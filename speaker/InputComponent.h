#pragma once

#include "model/loader/UniversalComponent.h"

namespace Vellaris
{

// The input channel of a speaker ("line/ch1").
// For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class InputComponent : public UniversalComponent
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
