// Object addresses resolve one literal name at a time, as skin bindings and the remote control
// both rely on.
#include <gtest/gtest.h>

#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/ObjectAddress.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/Variant.h"

namespace
{

using Tessel::Component;
using Tessel::ObjectTarget;

// A component answering one property, "hasItems".
class PropertyComponent : public Component
{
public:
    explicit PropertyComponent(const std::string& name) : Component(name) {}
    bool getProperty(const std::string& name, Tessel::Variant& value) const override
    {
        if (name == "hasItems")
        {
            value = Tessel::Variant(1);
            return true;
        }
        return Component::getProperty(name, value);
    }
};

class ObjectAddress : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = new Component("root");
        manager = new PropertyComponent("Manager");
        root->addChild(manager);
        unnamed = new Component("");
        manager->addChild(unnamed);
        speaker = new Component("Speaker");
        unnamed->addChild(speaker);
        volume = speaker->getParams().addFloat(-80, 10, "volume", 1);
        braces = new Component("Hall_{0A1B}");
        manager->addChild(braces);
        braces->getParams().addFloat(0, 1, "load*?", 2);
        manager->getParams().addCommand("File", "Close", "closeRoom[0]", 3);
        manager->getParams().addCommand("File", "Close", "closeRoom[1]", 4);
    }
    void TearDown() override { root->release(); }

    Component* root = nullptr;
    Component* manager = nullptr;
    Component* unnamed = nullptr;
    Component* speaker = nullptr;
    Component* braces = nullptr;
    Tessel::IParameter* volume = nullptr;
};

TEST_F(ObjectAddress, ParametersPropertiesAndComponentsResolveByExactName)
{
    ObjectTarget param = Tessel::resolveObjectPath(root, "Manager//Speaker/volume", false);
    ASSERT_EQ(param.kind, ObjectTarget::Kind::Parameter);
    EXPECT_EQ(param.parameter, volume);
    EXPECT_EQ(param.component, speaker);

    ObjectTarget property = Tessel::resolveObjectPath(root, "Manager/hasItems", false);
    EXPECT_EQ(property.kind, ObjectTarget::Kind::Property);
    EXPECT_EQ(property.component, manager);

    EXPECT_FALSE(Tessel::resolveObjectPath(root, "Manager/Hall_{0A1B}", false).resolved());
    ObjectTarget child = Tessel::resolveObjectPath(root, "Manager/Hall_{0A1B}", true);
    EXPECT_EQ(child.kind, ObjectTarget::Kind::Component);
    EXPECT_EQ(child.component, braces);
}

TEST_F(ObjectAddress, PatternCharactersAndCaseAreLiteral)
{
    EXPECT_TRUE(Tessel::resolveObjectPath(root, "Manager/Hall_{0A1B}/load*?", false).resolved());
    EXPECT_FALSE(Tessel::resolveObjectPath(root, "Manager/Hall_*/load*?", false).resolved());
    EXPECT_FALSE(Tessel::resolveObjectPath(root, "Manager/Hall_{0A1B}/load", false).resolved());
    EXPECT_FALSE(Tessel::resolveObjectPath(root, "manager/hasItems", false).resolved());
    // The empty name is the unnamed component, not "any depth".
    EXPECT_FALSE(Tessel::resolveObjectPath(root, "Manager//volume", false).resolved());
    EXPECT_EQ(Tessel::resolveComponentPath(root, "Manager/Nothing/Speaker"), nullptr);
}

TEST_F(ObjectAddress, ListEntriesAreNamedLiterally)
{
    ObjectTarget first = Tessel::resolveObjectPath(root, "Manager/closeRoom[0]", false);
    ObjectTarget second = Tessel::resolveObjectPath(root, "Manager/closeRoom[1]", false);
    ASSERT_TRUE(first.resolved());
    ASSERT_TRUE(second.resolved());
    EXPECT_EQ(first.parameter->getTag(), 3);
    EXPECT_EQ(second.parameter->getTag(), 4);
    for (const char* bad : {"closeRoom[2]", "closeRoom", "closeRoom[*]", "closeRoom[01]"})
        EXPECT_FALSE(Tessel::resolveObjectPath(root, std::string("Manager/") + bad, false).resolved()) << bad;
}

} // namespace
