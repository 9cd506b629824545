#pragma once

#include "mirror/RemoteComponent.h"

namespace Vellaris
{

// The limiter of a channel ("limit": limiteron, threshold, release): a mirrored part of the
// speaker and nothing more; the speaker component steps its threshold.
class LimiterComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(LimiterComponent)
public:
    LimiterComponent();

protected:
    ~LimiterComponent() override;
};

} // namespace Vellaris
