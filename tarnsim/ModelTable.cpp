#include "tarnsim/ModelTable.h"

#include "tarnsim/Report.h"

namespace Vellaris::Tarn
{

const SpeakerModel kSpeakerModels[4] = {
    {"TX10A", "123456789"},
    {"TX20A", "987654321"},
    {"TX30A", "555555555"},
    {"TX40S", "666666666"},
};

const SpeakerModel* findSpeakerModel(std::string_view name)
{
    for (const SpeakerModel& model : kSpeakerModels)
    {
        if (name == model.name)
            return &model;
    }
    return nullptr;
}

const SpeakerModel& chooseSpeakerModel(int argc, const char* const* argv)
{
    const SpeakerModel& fallback = kSpeakerModels[0];
    if (argc < 2 || !argv[1])
    {
        Core::Portable::report("No speaker specified in args list, defaulting to %s", fallback.name);
        return fallback;
    }
    Core::Portable::report("Checking arguments...");
    if (const SpeakerModel* model = findSpeakerModel(argv[1]))
        return *model;
    Core::Portable::report("No speaker specified in args list, defaulting to %s", fallback.name);
    return fallback;
}

std::string chooseSerialNumber(const SpeakerModel& model, const char* requested)
{
    if (!requested || !*requested)
        return model.serialNumber;
    const std::string_view text(requested);
    bool usable = text.size() <= kMaxSerialLength;
    for (char c : text)
    {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           c == '-' || c == '_' || c == '.';
        usable = usable && plain;
    }
    if (!usable)
    {
        Core::Portable::report("TARNSIM_SERIAL is not a usable serial number, announcing %s",
                               model.serialNumber);
        return model.serialNumber;
    }
    Core::Portable::report("Serial number %s", requested);
    return std::string(text);
}

} // namespace Vellaris::Tarn
