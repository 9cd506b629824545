#include "tests/web/WebTestSupport.h"

#include "core/JsonReader.h"
#include "tessel/CommandMsg.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"

namespace WebTest
{

Mixer::Mixer() : Component("Mixer")
{
    volume = getParams().addFloat(-80, 10, "volume", 1);
    volume->setFlag(Tessel::ParamFlags::kStorable, true); // a setting
    meter = getParams().addFloat(0, 1, "meter", 7);       // a reading
    getParams().addParam("mute", 2);
    getParams().addString("nickname", 3)->setValue(Tessel::Variant("Left"), false);
    getParams().addFloat(0, 1, "locked", 4)->setFlag(Tessel::ParamFlags::kReadOnly, true);
    password = getParams().addString("password", 5);
    password->setFlag(Tessel::ParamFlags::kSecret, true);
    getParams().addCommand("Speaker", "Increase Volume", "volumeUp", 6);
}

bool Mixer::interpretCommand(const Tessel::CommandMsg& msg)
{
    if (msg.name != "Increase Volume")
        return false;
    if (!msg.checkOnly)
        ++invoked;
    return true;
}

void Mixer::paramEdit(Tessel::IParameter* param, bool begin)
{
    edits.push_back((begin ? "begin " : "end ") + param->getName());
}

Core::Portable::Attributes parse(const std::string& text)
{
    Core::Portable::Attributes message;
    if (!Core::Portable::JsonReader::parse(text, message))
        message.clear();
    return message;
}

} // namespace WebTest
