// Speed of the portable base: JSON messages, zlib and the block pools.
#include "core/Attributes.h"
#include "core/BlockPool.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "core/MemoryStream.h"
#include "core/Zlib.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

using namespace Core::Portable;

namespace
{

// A message shaped like a speaker's state: 300 members spread over a few
// nested components, numbers as normalised floats, some texts.
Attributes message300()
{
    std::mt19937 random(42);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Attributes message;
    message.setText("id", "Synchronize");
    Attributes& children = message.setAttributes("children");
    int members = 1;
    for (int c = 0; members < 300; ++c)
    {
        Attributes& values = children.setAttributes("ch" + std::to_string(c)).setAttributes("values");
        for (int p = 0; p < 40 && members < 300; ++p, ++members)
        {
            const std::string name = "eqgain" + std::to_string(p);
            if (p % 10 == 9)
                values.setText(name, "It's a text");
            else
                values.setDouble(name, static_cast<double>(unit(random)));
        }
    }
    return message;
}

std::string message40k()
{
    std::string text;
    Attributes set = message300();
    while (text.size() < 40000)
        text += JsonWriter::toString(set);
    text.resize(40000);
    return text;
}

void JsonWriteCompact300(benchmark::State& state)
{
    const Attributes message = message300();
    MemoryStream stream(16384);
    for (auto _ : state)
    {
        stream.clear();
        JsonWriter::write(stream, message, JsonLayout::Compact);
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(JsonWriteCompact300);

void JsonWriteIndented300(benchmark::State& state)
{
    const Attributes message = message300();
    MemoryStream stream(16384);
    for (auto _ : state)
    {
        stream.clear();
        JsonWriter::write(stream, message, JsonLayout::Indented);
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(JsonWriteIndented300);

void JsonRead300(benchmark::State& state)
{
    const std::string text = JsonWriter::toString(message300());
    Attributes target;
    for (auto _ : state)
    {
        JsonReader::parse(text, target);
        benchmark::DoNotOptimize(target.count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(JsonRead300);

void ZlibRoundTrip40k(benchmark::State& state)
{
    const std::string text = message40k();
    std::string packed;
    std::string unpacked;
    for (auto _ : state)
    {
        Core::Zlib::compress(text, packed);
        Core::Zlib::decompress(packed, unpacked);
        benchmark::DoNotOptimize(unpacked.data());
    }
    state.counters["packed_bytes"] = static_cast<double>(packed.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ZlibRoundTrip40k);

// Allocate a batch of blocks the size of an attribute entry, then free them,
// as building and dropping a message does.
constexpr int kBatch = 300;

void PooledAllocation(benchmark::State& state)
{
    BlockPool& pool = BlockPool::forType<Attribute>();
    std::vector<void*> blocks(kBatch);
    for (auto _ : state)
    {
        for (void*& block : blocks)
            block = pool.allocate();
        benchmark::DoNotOptimize(blocks.data());
        for (void* block : blocks)
            pool.deallocate(block);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(PooledAllocation)->Threads(1)->Threads(2)->Threads(4);

void PlainAllocation(benchmark::State& state)
{
    std::vector<void*> blocks(kBatch);
    for (auto _ : state)
    {
        for (void*& block : blocks)
            block = ::operator new(sizeof(Attribute));
        benchmark::DoNotOptimize(blocks.data());
        for (void* block : blocks)
            ::operator delete(block);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(PlainAllocation)->Threads(1)->Threads(2)->Threads(4);

void BuildAndDrop300(benchmark::State& state)
{
    for (auto _ : state)
    {
        Attributes message = message300();
        benchmark::DoNotOptimize(message.count());
    }
}
BENCHMARK(BuildAndDrop300);

} // namespace

BENCHMARK_MAIN();
