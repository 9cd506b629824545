// Speaker and graphic-equaliser presets through the inspectors: what a preset holds, how names
// become files, the replace question, corrupt files, the two-click delete and the resets.
#include <filesystem>
#include <string>

#include "speaker/PresetListModel.h"
#include "speaker/StorageFilter.h"
#include "tessel/Attributes.h"
#include "tessel/IParameter.h"
#include "tessel/Style.h"
#include "tests/speaker/PresetTestSupport.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"

namespace
{

using namespace PresetTest;
using Vellaris::PresetListModel;
namespace fs = std::filesystem;

const std::string kEqGain = "line/ch1/eq/eqgain3";
const std::string kEqOn = "line/ch1/eq/eqallon";
const std::string kNotchOn = "line/ch1/notch/notchallon";

class Presets : public PresetFixture
{
protected:
    // Saves the current speaker's settings as `name` through the inspector's commands.
    void save(const std::string& name)
    {
        press(inspector, "savePreset");
        type(inspector, name);
        press(inspector, "okPreset");
    }
    int row(const std::string& title) const
    {
        PresetListModel* list = inspector->getPresetList();
        for (int i = 0; i < list->countRows(); ++i)
            if (list->getTitle(i) == title)
                return i;
        return -1;
    }
    void loadRow(int index)
    {
        PresetListModel* list = inspector->getPresetList();
        list->clickCell(index, 0, {});
        press(inspector, "loadPreset");
    }
};

TEST(StorageFilters, AnswerTheirRulesForAllThreeQuestions)
{
    using Tessel::IStorageFilter;
    Vellaris::SpeakerPresetFilter preset;
    Vellaris::GeqPresetFilter geq;
    Vellaris::SpeakerClipboardFilter clipboard;
    for (const char* name : {"geq", "multilimiter", "nickname", "volume"})
        for (const char* category : {IStorageFilter::kComponent, IStorageFilter::kParameter})
        {
            EXPECT_TRUE(preset.includeOnRestore(category, name, nullptr));
            EXPECT_TRUE(preset.includeOnStore(category, name, nullptr));
            EXPECT_TRUE(preset.includeOnReset(category, name, nullptr));
        }
    EXPECT_TRUE(geq.includeOnStore(IStorageFilter::kParameter, "ston", nullptr));
    EXPECT_TRUE(geq.includeOnRestore(IStorageFilter::kParameter, "on", nullptr));
    EXPECT_TRUE(geq.includeOnReset(IStorageFilter::kParameter, "gain17", nullptr));
    EXPECT_FALSE(geq.includeOnReset(IStorageFilter::kParameter, "on", nullptr));
    EXPECT_FALSE(geq.includeOnReset(IStorageFilter::kParameter, "ston", nullptr));
    EXPECT_TRUE(geq.includeOnReset(IStorageFilter::kComponent, "on", nullptr));
    for (auto question : {&Vellaris::SpeakerClipboardFilter::includeOnStore,
                          &Vellaris::SpeakerClipboardFilter::includeOnRestore,
                          &Vellaris::SpeakerClipboardFilter::includeOnReset})
    {
        EXPECT_FALSE((clipboard.*question)(IStorageFilter::kComponent, "geq", nullptr));
        EXPECT_FALSE((clipboard.*question)(IStorageFilter::kComponent, "multilimiter", nullptr));
        EXPECT_TRUE((clipboard.*question)(IStorageFilter::kComponent, "eq", nullptr));
        for (const char* name : {"presetloading", "nickname", "name"})
            EXPECT_FALSE((clipboard.*question)(IStorageFilter::kParameter, name, nullptr)) << name;
        EXPECT_TRUE((clipboard.*question)(IStorageFilter::kParameter, "volume", nullptr));
        EXPECT_FALSE((clipboard.*question)("Property", "volume", nullptr));
    }
}

TEST_F(Presets, TheInspectorFollowsTheSelectedSpeakerUntilItLeaves)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    Vellaris::SpeakerNetworkItem* b = announce(2, "222", "TX20A");
    ASSERT_TRUE(a && b);
    Tessel::Variant has;
    EXPECT_EQ(inspector->getCurrentSpeaker(), nullptr);
    select(a);
    EXPECT_EQ(inspector->getCurrentSpeaker(), a->getSpeakerComponent());
    select(b); // deselects a: b stays current
    EXPECT_EQ(inspector->getCurrentItem(), b);
    ASSERT_TRUE(inspector->getProperty("hasSpeaker", has));
    EXPECT_TRUE(has.asInt() != 0);
    Tessel::Variant path;
    inspector->getProperty("speakerItem", path);
    EXPECT_EQ(path.getText(), "SpeakerNetwork/222");

    inspector->findParameter("showSpeakerProps")->setValue(Tessel::Variant(1), true);
    withdraw(1); // not the current one
    EXPECT_EQ(inspector->getCurrentItem(), b);
    EXPECT_EQ(inspector->findParameter("showSpeakerProps")->getValue().asInt(), 1);
    withdraw(2);
    EXPECT_EQ(inspector->getCurrentItem(), nullptr);
    EXPECT_EQ(inspector->findParameter("showSpeakerProps")->getValue().asInt(), 0);
    inspector->getProperty("hasSpeaker", has);
    EXPECT_FALSE(has.asInt() != 0);
}

TEST_F(Presets, APresetSavedOnOneSpeakerGivesAnotherTheSameStorableValuesAndKeepsItsPrivateOnes)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    Vellaris::SpeakerNetworkItem* b = announce(2, "222", "TX20A");
    param(a, "line/ch1/volume")->setValue(Tessel::Variant(-7.5), true);
    param(a, kEqGain)->setValue(Tessel::Variant(4.0), true);
    param(a, "line/ch1/notch/notchfreq1")->setValue(Tessel::Variant(2500.0), true);
    param(a, "nickname")->fromString("Left Hang", true);
    param(b, "line/ch1/amplevel2")->setValue(Tessel::Variant(2.0), true);
    select(a);
    save("Hang");
    EXPECT_TRUE(fs::exists(speakerFolder() + "/Hang.spk"));
    ASSERT_EQ(row("Hang"), 0);

    select(b);
    loadRow(0);
    Vellaris::SpeakerPresetFilter filter;
    EXPECT_EQ(storedValues(*b->getSpeakerComponent(), &filter),
              storedValues(*a->getSpeakerComponent(), &filter));
    EXPECT_DOUBLE_EQ(value(b, kEqGain), 4.0);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/amplevel2"), 2.0);
    EXPECT_EQ(param(b, "nickname")->toString(), "Left Hang");
}

TEST_F(Presets, APresetWithoutAParameterLoadsItAtItsDefault)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    param(a, "line/ch1/volume")->setValue(Tessel::Variant(-20.0), true);
    param(a, "line/ch1/delay")->setValue(Tessel::Variant(12.0), true);
    writeText(speakerFolder() + "/Old.spk", R"({"Speaker":{"line":{"ch1":{"delay":3}}}})");
    inspector->getPresetList()->rescan();
    select(a);
    loadRow(row("Old"));
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/delay"), 3.0);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), param(a, "line/ch1/volume")->getDefaultValue().asDouble());
}

TEST_F(Presets, APresetBringsBackTheEqAndNotchSwitchesAsTheyWereSaved)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    Vellaris::SpeakerNetworkItem* b = announce(2, "222", "TX20A");
    param(a, kEqGain)->setValue(Tessel::Variant(4.0), true);
    param(a, kEqOn)->setValue(Tessel::Variant(1), true);
    param(a, kNotchOn)->setValue(Tessel::Variant(1), true);
    select(a);
    save("Live");
    const std::string text = readText(speakerFolder() + "/Live.spk");
    EXPECT_NE(text.find("\"eqallon\""), std::string::npos);
    EXPECT_NE(text.find("\"notchallon\""), std::string::npos);
    select(b);
    save("Bypassed");

    loadRow(row("Live"));
    EXPECT_DOUBLE_EQ(value(b, kEqGain), 4.0);
    EXPECT_EQ(param(b, kEqOn)->getValue().asInt(), 1) << "the bands arrive switched on";
    EXPECT_EQ(param(b, kNotchOn)->getValue().asInt(), 1);
    // Carried, not forced on: a preset saved bypassed switches a speaker off.
    select(a);
    loadRow(row("Bypassed"));
    EXPECT_EQ(param(a, kEqOn)->getValue().asInt(), 0);
    EXPECT_EQ(param(a, kNotchOn)->getValue().asInt(), 0);
}

TEST_F(Presets, APresetWithoutTheSwitchesLeavesThemAsTheyAre)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    param(a, kEqOn)->setValue(Tessel::Variant(1), true);
    param(a, kNotchOn)->setValue(Tessel::Variant(0), true);
    writeText(speakerFolder() + "/Old.spk", R"({"Speaker":{"line":{"ch1":{"eq":{"eqgain3":2}}}}})");
    writeText(speakerFolder() + "/Half.spk", R"({"Speaker":{"line":{"ch1":{"notch":{"notchallon":1}}}}})");
    inspector->getPresetList()->rescan();
    select(a);
    loadRow(row("Old"));
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 2.0);
    EXPECT_EQ(param(a, kEqOn)->getValue().asInt(), 1);
    EXPECT_EQ(param(a, kNotchOn)->getValue().asInt(), 0);
    loadRow(row("Half"));
    EXPECT_EQ(param(a, kEqOn)->getValue().asInt(), 1) << "the key it lacks stays";
    EXPECT_EQ(param(a, kNotchOn)->getValue().asInt(), 1) << "the key it has arrives";
}

TEST_F(Presets, ACorruptPresetChangesNothingAndNamesTheFile)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    param(a, "line/ch1/volume")->setValue(Tessel::Variant(-9.0), true);
    param(a, kEqGain)->setValue(Tessel::Variant(-3.0), true);
    select(a);
    save("Good");
    const std::string good = readText(speakerFolder() + "/Good.spk");
    ASSERT_FALSE(good.empty());
    std::string noise(10 * 1024 * 1024, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    writeText(speakerFolder() + "/Cut.spk", good.substr(0, good.size() / 2));
    writeText(speakerFolder() + "/Types.spk", R"({"Speaker":{"line":{"ch1":{"volume":"loud","eq":7}}}})");
    writeText(speakerFolder() + "/Section.spk", R"({"Speaker":[1,2,3]})");
    writeText(speakerFolder() + "/Switch.spk", R"({"Speaker":{"line":{"ch1":{"eq":{"eqallon":[1]}}}}})");
    writeText(speakerFolder() + "/Noise.spk", noise);
    inspector->getPresetList()->rescan();
    param(a, "line/ch1/volume")->setValue(Tessel::Variant(-1.0), true);
    const auto before = storedValues(*a->getSpeakerComponent(), nullptr);
    for (const char* name : {"Cut", "Types", "Section", "Switch", "Noise"})
    {
        loadRow(row(name));
        EXPECT_EQ(storedValues(*a->getSpeakerComponent(), nullptr), before) << name;
        EXPECT_TRUE(alerted(speakerFolder() + "/" + name + ".spk")) << name;
    }
}

TEST_F(Presets, TypedNamesStayInsideTheFolderAndAnEmptyNameSavesNothing)
{
    select(announce(1, "111"));
    save("../../escape");
    save("a/b\\c:d");
    save("");
    EXPECT_EQ(inspector->findParameter("showPresetEdit")->getValue().asInt(), 0);
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(documents))
        if (entry.is_regular_file())
        {
            ++files;
            EXPECT_EQ(entry.path().parent_path().string(), speakerFolder()) << entry.path();
        }
    EXPECT_EQ(files, 2);
    EXPECT_EQ(inspector->getPresetList()->countRows(), 2);
}

TEST_F(Presets, SavingOverAnExistingPresetAsksFirst)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    select(a);
    save("Show");
    const std::string first = readText(speakerFolder() + "/Show.spk");
    param(a, kEqGain)->setValue(Tessel::Variant(6.0), true);
    save("Show");
    EXPECT_EQ(inspector->findParameter("confirmReplace")->getValue().asInt(), 1);
    EXPECT_EQ(inspector->findParameter("showPresetEdit")->getValue().asInt(), 1);
    EXPECT_EQ(readText(speakerFolder() + "/Show.spk"), first);

    press(inspector, "cancelReplace"); // back to the name, nothing written
    EXPECT_EQ(inspector->findParameter("confirmReplace")->getValue().asInt(), 0);
    EXPECT_EQ(inspector->getPresetList()->getEditMode(), PresetListModel::EditMode::kNaming);
    EXPECT_EQ(readText(speakerFolder() + "/Show.spk"), first);
    press(inspector, "replacePreset"); // no question pending: nothing happens
    EXPECT_EQ(readText(speakerFolder() + "/Show.spk"), first);

    press(inspector, "okPreset");
    press(inspector, "replacePreset");
    EXPECT_NE(readText(speakerFolder() + "/Show.spk"), first);
    EXPECT_EQ(inspector->findParameter("showPresetEdit")->getValue().asInt(), 0);
    EXPECT_EQ(inspector->getPresetList()->countRows(), 1);
}

TEST_F(Presets, NamingStartsWithTheDefaultNameAndCancelSavesNothing)
{
    select(announce(1, "111"));
    press(inspector, "savePreset");
    EXPECT_EQ(inspector->findParameter("newPresetName")->toString(), "My Speaker");
    EXPECT_EQ(inspector->findParameter("showPresetEdit")->getValue().asInt(), 1);
    press(inspector, "cancelPreset");
    EXPECT_EQ(inspector->findParameter("showPresetEdit")->getValue().asInt(), 0);
    press(inspector, "okPreset"); // not naming any more
    EXPECT_FALSE(fs::exists(speakerFolder()));
}

TEST_F(Presets, DeletingTakesTwoClicksOnTheSameRow)
{
    select(announce(1, "111"));
    save("One");
    save("Two");
    PresetListModel* list = inspector->getPresetList();
    ASSERT_EQ(list->countRows(), 2);
    EXPECT_EQ(list->getCell(0, 1).getText(), "Delete"); // a style without the images
    Tessel::Attributes style;
    Tessel::Attributes* images = style.newAttributes("images");
    images->setString("deleteIcon", "qrc:/d.png");
    images->setString("deleteConfirmIcon", "qrc:/c.png");
    Tessel::Style::get().load(style);
    list->rescan();
    EXPECT_EQ(list->getCell(0, 1).getText(), "deleteIcon");

    list->clickCell(0, 1, {});
    EXPECT_EQ(list->getDeleteState(), PresetListModel::DeleteState::kArmed);
    EXPECT_EQ(list->getCell(0, 1).getText(), "deleteConfirmIcon");
    list->clickCell(1, 0, {}); // another row: disarmed, nothing deleted
    EXPECT_EQ(list->getDeleteState(), PresetListModel::DeleteState::kIdle);
    list->clickCell(0, 1, {});
    list->clickCell(1, 1, {}); // the delete cell of another row only arms that row
    EXPECT_EQ(list->countRows(), 2);
    EXPECT_EQ(list->getArmedRow(), 1);
    list->setFocusRow(0); // a change of focus disarms
    EXPECT_EQ(list->getArmedRow(), -1);

    list->clickCell(0, 1, {});
    list->clickCell(0, 1, {});
    ASSERT_EQ(list->countRows(), 1);
    EXPECT_EQ(list->getTitle(0), "Two");
    EXPECT_EQ(list->getCurrentRow(), -1); // the row below is not what the next LOAD takes
    EXPECT_FALSE(fs::exists(speakerFolder() + "/One.spk"));
    EXPECT_EQ(list->getDeleteState(), PresetListModel::DeleteState::kIdle);
    Tessel::Style::get().clear();
}

TEST_F(Presets, TheChosenPresetIsAParameterSetByRowOrByName)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    select(a);
    param(a, kEqGain)->setValue(Tessel::Variant(1.0), true);
    save("Alpha");
    param(a, kEqGain)->setValue(Tessel::Variant(2.0), true);
    save("Beta");
    param(a, kEqGain)->setValue(Tessel::Variant(3.0), true);
    save("7");
    PresetListModel* list = inspector->getPresetList();
    Tessel::IParameter* chosen = inspector->findParameter("selectedPreset");
    ASSERT_NE(chosen, nullptr);
    ASSERT_EQ(list->countRows(), 3);
    EXPECT_EQ(chosen->getValue().asInt(), -1);
    EXPECT_EQ(chosen->toString(), "");

    list->clickCell(row("Beta"), 0, {}); // a click on screen shows in the parameter
    EXPECT_EQ(chosen->toString(), "Beta");
    EXPECT_TRUE(chosen->fromString("Alpha", true)); // by name: the list follows
    EXPECT_EQ(list->getCurrentRow(), row("Alpha"));
    EXPECT_TRUE(list->isRowSelected(row("Alpha")));
    press(inspector, "loadPreset");
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 1.0);

    EXPECT_TRUE(chosen->fromString("7", true)) << "a name before a row number";
    EXPECT_EQ(list->getCurrentRow(), row("7"));
    chosen->setValue(Tessel::Variant(row("Beta")), true); // by row
    EXPECT_EQ(list->getCurrentRow(), row("Beta"));
    press(inspector, "loadPreset");
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 2.0);

    EXPECT_FALSE(chosen->fromString("Gamma", true)) << "no such preset";
    EXPECT_FALSE(chosen->fromString("3", true)) << "no such row";
    EXPECT_EQ(list->getCurrentRow(), row("Beta"));
    EXPECT_TRUE(chosen->fromString("", true));
    EXPECT_EQ(list->getCurrentRow(), -1);
    press(inspector, "loadPreset"); // nothing chosen: nothing loaded
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 2.0);
}

TEST_F(Presets, LoadAndDeleteTakeThePresetTheirArgumentNames)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    select(a);
    param(a, kEqGain)->setValue(Tessel::Variant(1.0), true);
    save("Alpha");
    param(a, kEqGain)->setValue(Tessel::Variant(2.0), true);
    save("Beta");
    PresetListModel* list = inspector->getPresetList();
    list->clickCell(row("Beta"), 0, {});
    const auto command = [](const char* name, const char* preset)
    {
        Tessel::Attributes arguments;
        arguments.setString(PresetListModel::kPresetArgument, preset);
        return Tessel::CommandMsg("File", name, arguments);
    };

    EXPECT_TRUE(inspector->interpretCommand(command("Load Preset", "Alpha")));
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 1.0);
    EXPECT_EQ(inspector->findParameter("selectedPreset")->toString(), "Alpha") << "the list shows it";
    EXPECT_FALSE(inspector->interpretCommand(command("Load Preset", "Gamma")));
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 1.0);

    EXPECT_TRUE(inspector->interpretCommand(Tessel::CommandMsg("File", "Delete Preset", true)));
    EXPECT_EQ(list->countRows(), 2) << "asked only";
    EXPECT_FALSE(inspector->interpretCommand(command("Delete Preset", "Gamma")));
    EXPECT_TRUE(inspector->interpretCommand(command("Delete Preset", "Beta")));
    EXPECT_FALSE(fs::exists(speakerFolder() + "/Beta.spk"));
    ASSERT_EQ(list->countRows(), 1);
    EXPECT_EQ(list->getTitle(0), "Alpha");
    press(inspector, "deletePreset"); // the chosen one
    EXPECT_EQ(list->countRows(), 0);
    EXPECT_FALSE(fs::exists(speakerFolder() + "/Alpha.spk"));
    EXPECT_FALSE(inspector->interpretCommand(Tessel::CommandMsg("File", "Delete Preset")));
}

TEST_F(Presets, TheListTakesFilesOfItsKindIgnoringCase)
{
    writeText(speakerFolder() + "/b.SPK", "{}");
    writeText(speakerFolder() + "/A.spk", "{}");
    writeText(speakerFolder() + "/c.geq", "{}");
    writeText(speakerFolder() + "/notes.txt", "");
    fs::create_directories(speakerFolder() + "/folder.spk");
    PresetListModel* list = inspector->getPresetList();
    list->rescan();
    ASSERT_EQ(list->countRows(), 2);
    EXPECT_EQ(list->getTitle(0), "A");
    EXPECT_EQ(list->getTitle(1), "b");
}

TEST_F(Presets, ResetsReachOnlyTheirPartOfTheCurrentSpeaker)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    press(inspector, "resetEQ"); // no current speaker: nothing to do, nothing breaks
    select(a);
    param(a, kEqGain)->setValue(Tessel::Variant(5.0), true);
    param(a, "line/ch1/notch/notchgain1")->setValue(Tessel::Variant(-8.0), true);
    param(a, "line/ch1/volume")->setValue(Tessel::Variant(-30.0), true);
    press(inspector, "resetEQ");
    EXPECT_DOUBLE_EQ(value(a, kEqGain), 0.0);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/notch/notchgain1"), -8.0);
    press(inspector, "resetNotch");
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/notch/notchgain1"),
                     param(a, "line/ch1/notch/notchgain1")->getDefaultValue().asDouble());
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), -30.0);
    press(inspector, "resetSpeaker");
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), param(a, "line/ch1/volume")->getDefaultValue().asDouble());
}

class GeqPresets : public PresetFixture
{
protected:
    Tessel::Component* geq() const { return master->getGeq(); }
    Tessel::IParameter* gain(int band) const { return geq()->findParameter("gain" + std::to_string(band)); }
};

TEST_F(GeqPresets, APresetHoldsTheGainsAndSwitchesAndResetKeepsTheSwitches)
{
    ASSERT_NE(geq(), nullptr);
    gain(5)->setValue(Tessel::Variant(6.0), true);
    gain(31)->setValue(Tessel::Variant(-4.0), true);
    geq()->findParameter("on")->setValue(Tessel::Variant(0), true);
    geq()->findParameter("ston")->setValue(Tessel::Variant(1), true);
    press(master, "saveGEQPreset");
    EXPECT_EQ(master->findParameter("newPresetName")->toString(), "My GEQ");
    press(master, "okGEQPreset");
    const std::string text = readText(documents + "/Vellaris/Ambrel/Presets/geq/My GEQ.geq");
    for (const char* key : {"\"gain1\"", "\"gain31\"", "\"on\"", "\"ston\""})
        EXPECT_NE(text.find(key), std::string::npos) << key;

    press(master, "resetGEQ");
    EXPECT_DOUBLE_EQ(gain(5)->getValue().asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(gain(31)->getValue().asDouble(), 0.0);
    EXPECT_EQ(geq()->findParameter("on")->getValue().asInt(), 0);
    EXPECT_EQ(geq()->findParameter("ston")->getValue().asInt(), 1);

    master->getPresetList()->clickCell(0, 0, {});
    press(master, "loadGEQPreset");
    EXPECT_DOUBLE_EQ(gain(5)->getValue().asDouble(), 6.0);
    EXPECT_DOUBLE_EQ(gain(31)->getValue().asDouble(), -4.0);
}

TEST_F(GeqPresets, TheMasterChoosesLoadsAndDeletesPresetsByName)
{
    writeText(documents + "/Vellaris/Ambrel/Presets/geq/Flat.geq", R"({"geq":{"gain3":0,"on":1,"ston":0}})");
    writeText(documents + "/Vellaris/Ambrel/Presets/geq/Warm.geq", R"({"geq":{"gain3":5,"on":1,"ston":0}})");
    PresetListModel* list = master->getPresetList();
    list->rescan();
    Tessel::IParameter* chosen = master->findParameter("selectedPreset");
    ASSERT_NE(chosen, nullptr);
    EXPECT_TRUE(chosen->fromString("Warm", true));
    press(master, "loadGEQPreset");
    EXPECT_DOUBLE_EQ(gain(3)->getValue().asDouble(), 5.0);

    Tessel::Attributes arguments;
    arguments.setString(PresetListModel::kPresetArgument, "Flat");
    EXPECT_TRUE(master->interpretCommand(Tessel::CommandMsg("File", "Load GEQ Preset", arguments)));
    EXPECT_DOUBLE_EQ(gain(3)->getValue().asDouble(), 0.0);
    EXPECT_EQ(chosen->toString(), "Flat");
    press(master, "deleteGEQPreset");
    EXPECT_FALSE(fs::exists(documents + "/Vellaris/Ambrel/Presets/geq/Flat.geq"));
    ASSERT_EQ(list->countRows(), 1);
    EXPECT_EQ(list->getTitle(0), "Warm");
    EXPECT_EQ(chosen->getValue().asInt(), -1);
}

TEST_F(GeqPresets, ALoadedPresetReachesTheSpeakersOfTheRoom)
{
    Vellaris::SpeakerNetworkItem* a = announce(1, "111");
    Vellaris::VenueManager* venues = Vellaris::VenueManager::instance();
    Vellaris::SpeakerRoom* room = venues->getVenue()->getActiveRoom();
    ASSERT_NE(room, nullptr);
    Tessel::AutoPtr<Vellaris::SpeakerPosition> position = new Vellaris::SpeakerPosition("111");
    position->setSpeaker(a, false);
    room->getGroups().front()->insertPosition(position);
    room->update();
    writeText(documents + "/Vellaris/Ambrel/Presets/geq/Warm.geq", R"({"geq":{"gain3":5,"on":1,"ston":0}})");
    master->getPresetList()->rescan();
    master->getPresetList()->clickCell(0, 0, {});
    press(master, "loadGEQPreset");
    EXPECT_DOUBLE_EQ(gain(3)->getValue().asDouble(), 5.0);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/geq/gain3"), 5.0);
}

} // namespace
