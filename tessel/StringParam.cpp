#include "tessel/StringParam.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(StringParam, Parameter)

StringParam::StringParam(const std::string& name) : Parameter(ParamType::kString, 0, 0, name) {}

void StringParam::setValue(const Variant& v, bool notify)
{
    fromString(v.asString(), notify);
}

bool StringParam::fromString(const std::string& newText, bool notify)
{
    if (newText == text)
        return true;
    std::string before = std::move(text);
    text = newText;
    SharedPtr<Object> keepAlive(this);
    const bool recorded = notify && countsForUndo() && recordChange(Variant(std::move(before)));
    if (notify)
        notifyController();
    notifyViews();
    finishChange(recorded);
    return true;
}

} // namespace Tessel
