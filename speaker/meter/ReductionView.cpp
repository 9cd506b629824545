#include "speaker/meter/ReductionView.h"

#include <algorithm>

#include "tessel/Message.h"

namespace Filtra
{

ReductionView::ReductionView(Tessel::IParameter* display, int index)
    : display(Tessel::retained(display)), index(index)
{
    lastLevel = getLevel();
}

float ReductionView::getLevel() const
{
    return display ? std::clamp(float(1.0 - display->getNormalized()), 0.0f, 1.0f) : 0.0f;
}

float ReductionView::getReductionDb() const
{
    return display ? std::min(0.0f, float(display->getValue().asDouble())) : 0.0f;
}

void ReductionView::update()
{
    const float level = getLevel();
    if (level == lastLevel)
        return;
    lastLevel = level;
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

bool ReductionView::getProperty(const std::string& name, Tessel::Variant& value) const
{
    if (name == "level")
        value = double(getLevel());
    else if (name == "peak")
        value = -1.0;
    else if (name == "reductionDb")
        value = double(getReductionDb());
    else if (name == "index")
        value = index;
    else
        return Object::getProperty(name, value);
    return true;
}

} // namespace Filtra
