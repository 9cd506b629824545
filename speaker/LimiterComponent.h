#pragma once

#include "model/loader/UniversalComponent.h"

namespace Vellaris
{

// The limiter of a channel ("limit").
// For now it keeps the class data it is given (the JSON of its lk:Data block, if any).
class LimiterComponent : public UniversalComponent
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
