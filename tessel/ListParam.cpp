#include "tessel/ListParam.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(ListParam, Parameter)

ListParam::ListParam(const std::string& name) : Parameter(ParamType::kList, 0, 0, name) {}

std::string ListParam::getEntry(int index) const
{
    if (index < 0 || index >= int(entries.size()))
        return {};
    return entries[size_t(index)];
}

void ListParam::clearEntries()
{
    if (entries.empty())
        return;
    entries.clear();
    entriesChanged();
}

void ListParam::appendEntry(const std::string& text)
{
    entries.push_back(text);
    entriesChanged();
}

void ListParam::setEntries(const std::vector<std::string>& texts)
{
    entries = texts;
    entriesChanged();
}

int ListParam::findEntry(const std::string& text) const
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text)
            return int(i);
    return -1;
}

void ListParam::entriesChanged()
{
    minimum = 0;
    maximum = entries.empty() ? 0 : double(entries.size() - 1);
    if (value > maximum)
        value = maximum;
    // The texts changed even when the range did not: views redraw.
    notifyViews();
}

std::string ListParam::valueToString(const Variant& v) const
{
    return getEntry(int(v.asInt()));
}

bool ListParam::fromString(const std::string& text, bool notify)
{
    return Parameter::fromString(text, notify);
}

bool ListParam::scanPlain(const std::string& text, double& number) const
{
    int index = findEntry(text);
    if (index >= 0)
    {
        number = index;
        return true;
    }
    return Parameter::scanPlain(text, number);
}

} // namespace Tessel
