#pragma once

#include "mirror/RemoteComponent.h"

namespace Vellaris
{

// The multi-band limiter of an output channel ("multilimiter", a developer's view). It takes
// "changed" notifications as handled and passes nothing on.
class MultiLimiterComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(MultiLimiterComponent)
public:
    MultiLimiterComponent();

    // "changed" ends here; other messages go to the base.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~MultiLimiterComponent() override;
};

} // namespace Vellaris
