// Benchmarks of the simulator: building, encoding and compressing its full
// "Synchronize", and the round trip of a "PV" echo through a running tarnsim.
//
// Counters: json_bytes / zm_bytes give the message size before and after
// compression; p50_ms / p99_ms give the median and 99th percentile of the
// echo round trip.

#include "core/Attributes.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "tarnsim/SpeakerComponent.h"
#include "tarnsim/SynchronizeBuilder.h"
#include "tests/tarnsim/SimulatorProcess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <vector>

using namespace Vellaris::LK;

namespace
{

MessageAttributes buildSynchronize(const Vellaris::Tarn::SpeakerComponent& speaker)
{
    MessageAttributes message(Message::kSynchronize, 1, 2);
    Core::Portable::buildSynchronizeContent(speaker, message);
    return message;
}

void BM_BuildSynchronize(benchmark::State& state)
{
    Vellaris::Tarn::SpeakerComponent speaker(nullptr, nullptr);
    for (auto _ : state)
    {
        MessageAttributes message = buildSynchronize(speaker);
        benchmark::DoNotOptimize(message.count());
    }
}
BENCHMARK(BM_BuildSynchronize);

void BM_EncodeSynchronize(benchmark::State& state)
{
    Vellaris::Tarn::SpeakerComponent speaker(nullptr, nullptr);
    const MessageAttributes message = buildSynchronize(speaker);
    size_t bytes = 0;
    for (auto _ : state)
    {
        const std::string text = message.toJson();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["json_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeSynchronize);

void BM_CompressSynchronize(benchmark::State& state)
{
    Vellaris::Tarn::SpeakerComponent speaker(nullptr, nullptr);
    const MessageAttributes message = buildSynchronize(speaker);
    EncodedMessage encoded;
    for (auto _ : state)
    {
        message.encode(encoded, MessageEncoding::Compressed);
        benchmark::DoNotOptimize(encoded.data().data());
    }
    state.counters["json_bytes"] = static_cast<double>(message.toJson().size());
    state.counters["zm_bytes"] = static_cast<double>(encoded.data().size());
}
BENCHMARK(BM_CompressSynchronize);

void BM_DecodeSynchronize(benchmark::State& state)
{
    Vellaris::Tarn::SpeakerComponent speaker(nullptr, nullptr);
    EncodedMessage encoded;
    buildSynchronize(speaker).encode(encoded, MessageEncoding::Compressed);
    for (auto _ : state)
    {
        MessageAttributes decoded;
        decoded.decode(encoded.packet());
        benchmark::DoNotOptimize(decoded.count());
    }
}
BENCHMARK(BM_DecodeSynchronize);

// One "PV" sent by a subscribed client until its echo arrives.
void echoRoundTrip(benchmark::State& state, bool plainLoop)
{
    using namespace TestSupport;
    newDiscoveryScope();
    std::map<std::string, std::string> environment;
    environment.emplace("TARNSIM_PLAIN_LOOP", plainLoop ? "1" : "0");
    SimulatorProcess sim(std::vector<std::string>(1, "TX20A"), std::string(), environment);
    ServerWatcher watcher;
    auto server = watcher.waitFor("TX20A", Milliseconds(10000));
    if (!server)
    {
        state.SkipWithError("the simulator did not appear");
        return;
    }
    TestClient client;
    client.subscribe(server->handle);
    if (!pumpUntil([&] { return !client.messages(Message::kSubscriptionReply).empty(); },
                   Milliseconds(10000)))
    {
        state.SkipWithError("no subscription");
        return;
    }
    std::vector<double> samples;
    int step = 0;
    for (auto _ : state)
    {
        // Every value differs from the one before, so each one is echoed.
        const float value = static_cast<float>(step++ % 99 + 1) / 100.0f;
        const size_t before = client.values("line/ch1/delay").size();
        const auto start = Clock::now();
        client.sendValue("line/ch1/delay", value);
        // Busy-poll so the client adds as little delay as possible.
        while (client.values("line/ch1/delay").size() == before && Clock::now() - start < Milliseconds(2000))
            network().process();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1000.0);
        // Keeps the subscription alive during long runs.
        if (step % 50 == 0)
            client.sendKeepAlive();
        client.received.clear();
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty())
    {
        state.counters["p50_ms"] = samples[samples.size() / 2];
        state.counters["p90_ms"] = samples[samples.size() * 9 / 10];
        state.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    }
}

void BM_EchoRoundTripEarlyWake(benchmark::State& state)
{
    echoRoundTrip(state, false);
}
BENCHMARK(BM_EchoRoundTripEarlyWake)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_EchoRoundTripPlainLoop(benchmark::State& state)
{
    echoRoundTrip(state, true);
}
BENCHMARK(BM_EchoRoundTripPlainLoop)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
