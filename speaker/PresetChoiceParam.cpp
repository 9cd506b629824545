#include "speaker/PresetChoiceParam.h"

#include "tessel/ParamTypes.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(PresetChoiceParam, Tessel::Parameter)

PresetChoiceParam::PresetChoiceParam(const std::string& name)
    : Parameter(Tessel::ParamType::kInteger, -1, -1, name)
{
}

void PresetChoiceParam::setTitles(const std::vector<std::string>& newTitles)
{
    const bool same = newTitles == titles;
    titles = newTitles;
    // setRange tells the views when the range moves; new names in the same range need it too.
    setRange(-1, double(titles.size()) - 1);
    if (!same)
        notifyViews();
}

int PresetChoiceParam::findRow(const std::string& title) const
{
    for (size_t row = 0; row < titles.size(); ++row)
        if (titles[row] == title)
            return int(row);
    return -1;
}

std::string PresetChoiceParam::valueToString(const Tessel::Variant& value) const
{
    const long long row = value.asInt();
    return row >= 0 && row < (long long)titles.size() ? titles[size_t(row)] : std::string();
}

bool PresetChoiceParam::scanPlain(const std::string& text, double& number) const
{
    // A name first: a preset may well be called "2".
    if (const int row = findRow(text); row >= 0)
    {
        number = row;
        return true;
    }
    if (text.empty())
    {
        number = -1;
        return true;
    }
    double row = 0;
    if (!Parameter::scanPlain(text, row) || row != double((long long)row) || row < -1 ||
        row >= double(titles.size()))
        return false;
    number = row;
    return true;
}

} // namespace Vellaris
