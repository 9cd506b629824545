#include "speaker/StorageFilter.h"

namespace Vellaris
{

bool isEqOnSwitch(const std::string& parameterName)
{
    return parameterName == "eqallon" || parameterName == "notchallon";
}

bool StorageFilter::carries(const std::string&) const
{
    return false;
}

bool SpeakerPresetFilter::carries(const std::string& parameterName) const
{
    return isEqOnSwitch(parameterName);
}

bool SpeakerClipboardFilter::carries(const std::string& parameterName) const
{
    return isEqOnSwitch(parameterName);
}

bool SpeakerPresetFilter::includeOnRestore(const std::string&, const std::string&, Tessel::IUnknown*)
{
    return true;
}

bool SpeakerPresetFilter::includeOnStore(const std::string&, const std::string&, Tessel::IUnknown*)
{
    return true;
}

bool SpeakerPresetFilter::includeOnReset(const std::string&, const std::string&, Tessel::IUnknown*)
{
    return true;
}

bool GeqPresetFilter::includeOnRestore(const std::string&, const std::string&, Tessel::IUnknown*)
{
    return true;
}

bool GeqPresetFilter::includeOnStore(const std::string&, const std::string&, Tessel::IUnknown*)
{
    return true;
}

bool GeqPresetFilter::includeOnReset(const std::string& category, const std::string& name, Tessel::IUnknown*)
{
    if (category == kParameter)
        return name.compare(0, 4, "gain") == 0;
    return true;
}

bool SpeakerClipboardFilter::includes(const std::string& category, const std::string& name)
{
    if (category == kComponent)
        return name != "geq" && name != "multilimiter";
    if (category == kParameter)
        return name != "presetloading" && name != "nickname" && name != "name";
    return false;
}

bool SpeakerClipboardFilter::includeOnRestore(const std::string& category, const std::string& name,
                                              Tessel::IUnknown*)
{
    return includes(category, name);
}

bool SpeakerClipboardFilter::includeOnStore(const std::string& category, const std::string& name,
                                            Tessel::IUnknown*)
{
    return includes(category, name);
}

bool SpeakerClipboardFilter::includeOnReset(const std::string& category, const std::string& name,
                                            Tessel::IUnknown*)
{
    return includes(category, name);
}

} // namespace Vellaris
