// Loading the shipped component model and building the speaker's whole tree from it, which
// happens once per speaker that appears on the network.
#include <benchmark/benchmark.h>

#include "model/UniversalComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"

namespace
{

struct Setup
{
    Setup()
    {
        Tessel::runInitializers();
        if (!Vellaris::UniversalComponentBuilder::getGlobal().getModel().isLoaded())
            Vellaris::UniversalComponentBuilder::getGlobal().load(
                Vellaris::UniversalComponentBuilder::kModelUrl);
    }
    Tessel::HeadlessPlatform platform;
};

Setup& setup()
{
    static Setup instance;
    return instance;
}

void BM_LoadModelDocuments(benchmark::State& state)
{
    setup();
    for (auto _ : state)
    {
        Tessel::AutoPtr<Vellaris::UniversalComponentBuilder> builder =
            new Vellaris::UniversalComponentBuilder;
        benchmark::DoNotOptimize(builder->load(Vellaris::UniversalComponentBuilder::kModelUrl));
    }
}
BENCHMARK(BM_LoadModelDocuments)->Unit(benchmark::kMicrosecond);

void BM_BuildSpeakerTree(benchmark::State& state)
{
    setup();
    auto& builder = Vellaris::UniversalComponentBuilder::getGlobal();
    for (auto _ : state)
    {
        Tessel::AutoPtr<Vellaris::UniversalComponent> speaker = new Vellaris::UniversalComponent;
        builder.buildTemplate(speaker, "Speaker", Vellaris::UniversalComponent::metaClass);
        benchmark::DoNotOptimize(speaker->countChildren());
    }
}
BENCHMARK(BM_BuildSpeakerTree)->Unit(benchmark::kMicrosecond);

} // namespace
