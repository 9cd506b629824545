#pragma once

#include "mirror/RemoteComponent.h"

namespace Vellaris
{

// An output channel of a speaker ("output/ch1" to "output/ch4"): a mirrored part of the speaker
// and nothing more; the speaker component reads its gain-reduction meters.
class OutputComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(OutputComponent)
public:
    OutputComponent();

protected:
    ~OutputComponent() override;
};

} // namespace Vellaris
