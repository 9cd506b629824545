#pragma once

// A speaker mirror built from the component model over a stand-in network, for the processing
// component tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "speaker/EqCompositeComponent.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "speaker/TarnEqComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tests/mirror/FakeNetwork.h"

namespace SpeakerTest
{

// Records the messages a subject signals: ids and, for "eqBandChanged", the band.
class MessageLog : public Tessel::Object
{
public:
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override;
    int count(const std::string& id) const;
    std::vector<std::string> ids;
    std::vector<int64_t> bands;
};

// Counts the edit gestures that reach a parameter's controller and passes everything on to it.
class EditCounter : public Tessel::Object, public Tessel::IParamObserver
{
public:
    // Puts itself between `param` and its controller.
    explicit EditCounter(Tessel::IParameter* param);
    ~EditCounter() override;
    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    void paramChanged(Tessel::IParameter* param) override;
    void paramEdit(Tessel::IParameter* param, bool begin) override;

    int begins = 0;
    int ends = 0;

private:
    Tessel::IParameter* param;
    Tessel::IUnknown* controller;
};

class SpeakerFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    Tessel::IParameter* param(const std::string& path) const { return speaker->lookupParameter(path); }
    Vellaris::TarnEqComponent* eq() const;
    Vellaris::TarnEqComponent* notch() const;
    Vellaris::EqCompositeComponent* composite() const;
    // Number of "PV" packets sent for a wire path ("line/ch1/eq/eqgain3").
    int sentValues(const std::string& wirePath) const;

    Tessel::HeadlessPlatform platform;
    MirrorTest::FakeNetwork network;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> root;
    Vellaris::SpeakerComponent* speaker = nullptr;
};

} // namespace SpeakerTest
