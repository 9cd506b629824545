// The network browser around the Wi-Fi setup, with a real venue: the setup shows every speaker,
// and when it ends the browser offers only unplaced speakers again.
#include "netsetup/NetworkSetupManager.h"
#include "tests/venue/VenueTestSupport.h"

namespace
{

class SetupFilter : public VenueTest::VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        setup = Vellaris::NetworkSetupManager::create();
        placed = announce(1, "A");
        free = announce(2, "B");
        manager->setShowVenue(true);
        place("A");
    }
    void showNetwork(int on) { manager->findParameter("showNetwork")->setValue(Tessel::Variant(on)); }
    std::vector<Tessel::Component*> rows() const
    {
        std::vector<Tessel::Component*> shown;
        auto& list = network->getItems();
        for (int row = 0; row < list.countRows(); ++row)
            shown.push_back(list.getRowItem(row));
        return shown;
    }

    Vellaris::NetworkSetupManager* setup = nullptr; // owned by the root component
    Vellaris::SpeakerNetworkItem* placed = nullptr;
    Vellaris::SpeakerNetworkItem* free = nullptr;
};

TEST_F(SetupFilter, PlacedSpeakersShowDuringTheSetupAndLeaveTheBrowserWhenItEnds)
{
    ASSERT_EQ(rows(), std::vector<Tessel::Component*>{free});

    showNetwork(1);
    EXPECT_EQ(rows().size(), 2u) << "the setup shows every speaker, placed or not";
    setup->findParameter("passwordCancel")->setValue(Tessel::Variant(1));
    EXPECT_EQ(rows().size(), 2u);

    showNetwork(0);
    EXPECT_EQ(rows(), std::vector<Tessel::Component*>{free})
        << "the placed speaker must not be offered again";

    // The popup's Cancel, reached outside the setup (a remote can), leaves the browser filtered.
    setup->findParameter("passwordCancel")->setValue(Tessel::Variant(1));
    EXPECT_EQ(rows(), std::vector<Tessel::Component*>{free});

    // A second round behaves the same.
    showNetwork(1);
    EXPECT_EQ(rows().size(), 2u);
    showNetwork(0);
    EXPECT_EQ(rows(), std::vector<Tessel::Component*>{free});
}

TEST_F(SetupFilter, ASpeakerPlacedDuringTheSetupIsNotOfferedAfterIt)
{
    showNetwork(1);
    place("B");
    showNetwork(0);
    EXPECT_TRUE(rows().empty());
}

} // namespace
