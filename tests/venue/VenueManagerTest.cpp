// The venue manager's switches and the seam the speaker side reaches it through.
#include <gtest/gtest.h>

#include "speaker/VenueSide.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "venue/VenueManager.h"

namespace
{

// Counts the refreshes the manager asks for.
class CountingWifiSetup : public Tessel::Component, public Vellaris::IWifiSetup
{
public:
    CountingWifiSetup() : Component(kComponentName) {}
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IWifiSetup)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    std::string getJoinSsid() const override { return {}; }
    std::string getJoinPassword() const override { return {}; }
    void refresh() override { ++refreshes; }
    int refreshes = 0;
};

class VenueManagerTest : public ::testing::Test
{
protected:
    VenueManagerTest() { manager = Vellaris::VenueManager::create(); }
    ~VenueManagerTest() override { Tessel::destroyRootComponent(); }

    Tessel::IParameter* param(const char* name) const { return manager->findParameter(name); }

    Tessel::HeadlessPlatform platform;
    Vellaris::VenueManager* manager = nullptr;
};

} // namespace

TEST_F(VenueManagerTest, PublishesItsSwitchesUnderTheirTags)
{
    ASSERT_NE(param("showVenue"), nullptr);
    ASSERT_NE(param("showNetwork"), nullptr);
    EXPECT_EQ(manager->getParameterByTag(100), param("showVenue"));
    EXPECT_EQ(manager->getParameterByTag(101), param("showNetwork"));
}

TEST_F(VenueManagerTest, IsTheVenueSideAndFollowsItsSwitches)
{
    ASSERT_EQ(Vellaris::findVenueSide(), static_cast<Vellaris::IVenueSide*>(manager));
    EXPECT_FALSE(manager->isShowingVenue());
    EXPECT_FALSE(manager->isShowingNetwork());
    param("showVenue")->setValue(1);
    param("showNetwork")->setValue(1);
    EXPECT_TRUE(manager->isShowingVenue());
    EXPECT_TRUE(manager->isShowingNetwork());
    EXPECT_EQ(Vellaris::findActiveRoom(), nullptr) << "no rooms yet";
}

TEST_F(VenueManagerTest, ShowingTheNetworkSetupRefreshesTheWifiListOnlyWhenSwitchedOn)
{
    auto* wifi = new CountingWifiSetup;
    Tessel::getRootComponent()->addChild(wifi);
    param("showNetwork")->setValue(1);
    EXPECT_EQ(wifi->refreshes, 1);
    param("showNetwork")->setValue(0);
    EXPECT_EQ(wifi->refreshes, 1);
    EXPECT_EQ(Tessel::getRootComponent()->findChild("SpeakerNetwork"), nullptr)
        << "the switch never makes the speaker list";
}
