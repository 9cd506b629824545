#pragma once

// A speaker list fed by a stand-in network library: speakers come and go without processes, files
// go to a private documents folder, time runs on the headless clock. The preset and venue fixtures
// build their own components on top of it.

#include <gtest/gtest.h>

#include <string>

#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tests/common/FakeLibrary.h"

namespace NetworkTest
{

class SpeakerListFixture : public ::testing::Test
{
public:
    static void SetUpTestSuite();
    // The text of a file, "" when it cannot be read.
    static std::string readText(const std::string& path);
    // Writes a file (and its folders); false when it could not be written.
    static bool writeText(const std::string& path, const std::string& text);

protected:
    // Makes the documents folder (/tmp/<prefix>-XXXXXX) and the application component.
    void makeDocuments(const char* prefix);
    // Adds the speaker list below the root and starts it.
    void startSpeakerList();
    void TearDown() override;

    // Announces a speaker device and returns its item (a duplicate serial gets its own item).
    Vellaris::SpeakerNetworkItem* announce(int server, const char* serial, const char* model = "TX10A");
    void withdraw(int server);
    static Tessel::IParameter* param(Vellaris::SpeakerNetworkItem* item, const std::string& path);
    // The parameter's value; a missing parameter fails the test and reads -12345.
    static double value(Vellaris::SpeakerNetworkItem* item, const std::string& path);
    // Any alert (or warning) so far that contains `text`.
    bool alerted(const std::string& text) const;
    bool warned(const std::string& text) const;

    // The library outlives the platform: speaker roots still held by posted messages are released
    // when the platform goes, and they unregister from the library then.
    FakeLibrary library;
    Tessel::HeadlessPlatform platform;
    std::string documents;
    Vellaris::SpeakerNetworkManager* network = nullptr; // owned by the root component
};

} // namespace NetworkTest
