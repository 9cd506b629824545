#include "roomctl/CurveCommand.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "speaker/EQComponent.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/eq/BandResponse.h"
#include "roomctl/MirrorSession.h"

namespace Vellaris::Tools
{

bool isCurveComponent(const std::string& name)
{
    return name == "eq" || name == "notch" || name == "compeq";
}

Filtra::EQComponent* findCurveComponent(SpeakerComponent* speaker, const std::string& name)
{
    if (!speaker || !isCurveComponent(name))
        return nullptr;
    Tessel::Component* found =
        name == "compeq" ? speaker->getCompositeEq() : speaker->lookupChild("line/ch1/" + name);
    return Tessel::classCast<Filtra::EQComponent>(found);
}

bool writeCurve(const Filtra::EQComponent& equaliser, int band, int points, std::string& out)
{
    if (points <= 0)
        return false;
    std::vector<float> curve(size_t(points), 0.0f);
    const bool done = band >= 0 ? equaliser.getBandCurve(curve.data(), band, points)
                                : equaliser.getSummedCurve(curve.data(), points);
    if (!done)
        return false;
    // The same grid the engine evaluates on.
    const Filtra::DisplayRange range = equaliser.getDisplayRange();
    Filtra::ResponseGrid grid;
    grid.prepare(range.minFreq, range.maxFreq, points);
    char line[64];
    for (int i = 0; i < points; ++i)
    {
        float db = curve[size_t(i)];
        // No "-0.000": a flat curve prints as 0.000 however it was summed.
        if (std::fabs(db) < 0.0005f)
            db = 0.0f;
        std::snprintf(line, sizeof line, "%.2f\t%.3f\n", double(grid.getFrequency(i)), double(db));
        out += line;
    }
    return true;
}

int printCurve(MirrorSession& session, const CommandOptions& options, const std::string& serial,
               const CurveRequest& request)
{
    bool found = false;
    SpeakerNetworkItem* item = session.waitForSpeaker(serial, options.timeoutMs, &found);
    if (!item)
    {
        std::fprintf(stderr,
                     found ? "roomctl: speaker %s did not send its state in time\n"
                           : "roomctl: no speaker with serial number %s found in time\n",
                     serial.c_str());
        return kExitSpeakerNotFound;
    }
    Filtra::EQComponent* equaliser = findCurveComponent(item->getSpeakerComponent(), request.component);
    if (!equaliser)
    {
        std::fprintf(stderr, "roomctl: speaker %s has no equaliser %s\n", serial.c_str(),
                     request.component.c_str());
        return kExitParameter;
    }
    std::string text;
    if (!writeCurve(*equaliser, request.band, request.points, text))
    {
        std::fprintf(stderr, "roomctl: %s of speaker %s has no band %d (bands 0 to %d)\n",
                     request.component.c_str(), serial.c_str(), request.band, equaliser->getNumBands() - 1);
        return kExitParameter;
    }
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

} // namespace Vellaris::Tools
