// Persistent values: the writable memory stream and the storage tree of a component.
#include <gtest/gtest.h>

#include <string>

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/ComponentStorage.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/MemoryStream.h"
#include "tessel/ParamTypes.h"
#include "tessel/Parameter.h"
#include "tessel/SharedPtr.h"
#include "tessel/StringParam.h"

using namespace Tessel;

TEST(WritableMemoryStream, StartsWith1024BytesAndGrows)
{
    AutoPtr<MemoryStream> stream = new MemoryStream;
    EXPECT_TRUE(stream->isWritable());
    EXPECT_GE(stream->getCapacity(), MemoryStream::kInitialCapacity);
    EXPECT_EQ(stream->getSize(), 0);
    std::string block(700, 'a');
    ASSERT_EQ(stream->write(block.data(), int64_t(block.size())), 700);
    ASSERT_EQ(stream->write(block.data(), int64_t(block.size())), 700);
    EXPECT_EQ(stream->getSize(), 1400);
    EXPECT_GE(stream->getCapacity(), 1400u);

    char buffer[2000];
    EXPECT_EQ(stream->read(buffer, sizeof buffer), 1400);
    EXPECT_EQ(stream->read(buffer, sizeof buffer), 0);
    stream->rewind();
    EXPECT_EQ(stream->read(buffer, 3), 3);
    EXPECT_EQ(stream->getBytes(), block + block);
    EXPECT_EQ(stream->write(buffer, -1), -1);

    AutoPtr<MemoryStream> fixed = new MemoryStream(std::string("abc"));
    EXPECT_FALSE(fixed->isWritable());
    EXPECT_EQ(fixed->write("x", 1), -1);
}

namespace
{

// Records what a filter was asked and leaves out one component and one parameter.
class SkippingFilter : public IStorageFilter
{
public:
    bool includeOnRestore(const std::string& category, const std::string& name, IUnknown*) override
    {
        return include(category, name);
    }
    bool includeOnStore(const std::string& category, const std::string& name, IUnknown*) override
    {
        return include(category, name);
    }
    bool includeOnReset(const std::string& category, const std::string& name, IUnknown*) override
    {
        return include(category, name);
    }
    bool include(const std::string& category, const std::string& name) const
    {
        return !(category == kComponent && name == "geq") && !(category == kParameter && name == "nickname");
    }
};

class Storage : public ::testing::Test
{
protected:
    Storage()
    {
        speaker = new Component("Speaker");
        gain = storable(speaker->getParams().addFloat(-84, 10, "volume", 1));
        gain->setDefaultValue(-9.0);
        nickname = speaker->getParams().addString("nickname", 17);
        nickname->setFlag(ParamFlags::kStorable, true);
        speaker->getParams().addParam("wink", 50); // not storable
        auto* line = new Component("line");
        speaker->addChild(line);
        mute = storable(line->getParams().addParam("mute", 3));
        auto* geq = new Component("geq");
        line->addChild(geq);
        band = storable(geq->getParams().addFloat(-12, 12, "gain1", 0));
        band->setDefaultValue(0.0);
    }
    static Parameter* storable(Parameter* param)
    {
        param->setFlag(ParamFlags::kStorable, true);
        return param;
    }

    HeadlessPlatform platform;
    AutoPtr<Component> speaker;
    Parameter* gain;
    StringParam* nickname;
    Parameter* mute;
    Parameter* band;
};

} // namespace

TEST_F(Storage, StoresOneSectionPerComponentWithItsStorableParameters)
{
    gain->setValue(-3.5);
    nickname->setValue("Left");
    mute->setValue(1);
    band->setValue(4.0);
    Attributes tree;
    ComponentStorage::store(*speaker, tree);

    ASSERT_EQ(tree.count(), 1);
    Attributes* section = tree.getAttributes("Speaker");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->keyAt(0), "volume");
    EXPECT_DOUBLE_EQ(section->getFloat("volume"), -3.5);
    EXPECT_EQ(section->getString("nickname"), "Left");
    EXPECT_FALSE(section->contains("wink"));
    Attributes* line = section->getAttributes("line");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->getInt("mute"), 1);
    EXPECT_DOUBLE_EQ(line->getAttributes("geq")->getFloat("gain1"), 4.0);
}

TEST_F(Storage, RestoreSetsMissingAndUnreadableValuesToTheirDefaults)
{
    gain->setValue(2.0);
    mute->setValue(1);
    band->setValue(6.0);
    Attributes tree;
    Attributes* section = tree.newAttributes("Speaker");
    section->setString("nickname", "Right");
    section->newAttributes("line")->setString("mute", "loud"); // not a number
    ComponentStorage::restore(*speaker, tree);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), -9.0);
    EXPECT_EQ(nickname->getValue().asString(), "Right");
    EXPECT_EQ(mute->getValue().asInt(), 0);
    EXPECT_DOUBLE_EQ(band->getValue().asDouble(), 0.0);

    // An empty tree recalls every default.
    nickname->setValue("x");
    ComponentStorage::restore(*speaker, Attributes());
    EXPECT_EQ(nickname->getValue().asString(), "");
}

TEST_F(Storage, FiltersLeaveOutComponentsWithTheirSubtreeAndParameters)
{
    SkippingFilter filter;
    nickname->setValue("Left");
    band->setValue(5.0);
    Attributes tree;
    ComponentStorage::store(*speaker, tree, &filter);
    Attributes* section = tree.getAttributes("Speaker");
    EXPECT_FALSE(section->contains("nickname"));
    EXPECT_EQ(section->getAttributes("line")->getAttributes("geq"), nullptr);

    nickname->setValue("Kept");
    band->setValue(7.0);
    ComponentStorage::restore(*speaker, tree, &filter);
    EXPECT_EQ(nickname->getValue().asString(), "Kept");
    EXPECT_DOUBLE_EQ(band->getValue().asDouble(), 7.0);

    gain->setValue(1.0);
    ComponentStorage::resetToDefaults(*speaker, false, true, &filter);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), -9.0);
    EXPECT_DOUBLE_EQ(band->getValue().asDouble(), 7.0);
    EXPECT_EQ(nickname->getValue().asString(), "Kept");
}
