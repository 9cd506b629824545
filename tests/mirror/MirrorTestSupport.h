#pragma once

// Shared pieces of the mirror tests: a headless platform with its clock away from 0, a client root
// over a small hand-made tree, and packets as a speaker would send them.

#include <gtest/gtest.h>

#include <string>

#include "mirror/ClientRootComponent.h"
#include "protocol/MessageAttributes.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/SharedPtr.h"
#include "tests/mirror/FakeNetwork.h"

namespace MirrorTest
{

constexpr int kServer = 3;
constexpr int64_t kStart = 100000;

// A client root whose remote level can be chosen.
class TestRoot : public Vellaris::LK::ClientRootComponent
{
public:
    TestRoot(FakeNetwork& network, const std::string& level) : ClientRootComponent(&network, &network)
    {
        setRemoteLevel(level);
    }
};

// Tree: root / "Speaker" (gain float -10..10, mode toggle, count integer 0..100, name string,
// hidden float private, tint color) / "ch1" (level float mutable, choices list mutable) — all
// public unless said otherwise.
class MirrorFixture : public ::testing::Test
{
protected:
    MirrorFixture();
    ~MirrorFixture() override;

    Tessel::IParameter* param(const std::string& localPath) const { return root->lookupParameter(localPath); }

    // Delivers packets and messages to the root as the library would.
    void deliverValue(const std::string& wirePath, float normalized);
    void deliverString(const std::string& wirePath, const std::string& text);
    void deliverMessage(Vellaris::LK::MessageAttributes& message, bool compressed = false);

    Tessel::HeadlessPlatform platform;
    FakeNetwork network;
    Tessel::AutoPtr<TestRoot> root;
};

} // namespace MirrorTest
