#pragma once

// A speaker mirror over a stand-in network with every band of its composite equaliser on and
// shaped, as an engineer's working equaliser looks: what the equaliser benchmarks draw.

#include "speaker/EqCompositeComponent.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/Parameter.h"
#include "tests/mirror/FakeNetwork.h"

namespace EqBench
{

struct EqSpeaker
{
    EqSpeaker()
    {
        Tessel::runInitializers();
        Vellaris::registerSpeakerClasses();
        root = new Vellaris::LK::SpeakerRootComponent(&network, &network);
        speaker = root->getSpeaker();
        root->connect(3);
        composite = Tessel::classCast<Vellaris::EqCompositeComponent>(speaker->getCompositeEq());
        speaker->lookupParameter("line/ch1/eq/eqallon")->setValue(Tessel::Variant(1));
        speaker->lookupParameter("line/ch1/notch/notchallon")->setValue(Tessel::Variant(1));
        const int32_t kinds[] = {Filtra::FilterKind::kLowCut, Filtra::FilterKind::kLowShelf,
                                 Filtra::FilterKind::kPeaking, Filtra::FilterKind::kHighShelf};
        for (int band = 0; band < composite->getNumBands(); ++band)
        {
            composite->setActive(band, true);
            composite->setType(band, kinds[band % 4]);
            composite->setFreq(band, 40.0f * float(1 << (band % 9)));
            composite->setGain(band, band % 2 ? -6.0f : 4.0f);
        }
        network.clear();
    }

    Tessel::HeadlessPlatform platform;
    MirrorTest::FakeNetwork network;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> root;
    Vellaris::SpeakerComponent* speaker = nullptr;
    Vellaris::EqCompositeComponent* composite = nullptr;
};

} // namespace EqBench
