#pragma once

#include <string>
#include <vector>

#include "core/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace WebTest
{

// A component with a parameter of every kind the page drives: "volume" (float -80…10, storable), a
// reading "meter" (float 0…1, not storable), "mute"
// (toggle), "nickname" (text), "locked" (read-only), "password" (secret), the command "volumeUp",
// and the property "hasItems". It records edit gestures and changes.
class Mixer : public Tessel::Component
{
public:
    Mixer();
    bool interpretCommand(const Tessel::CommandMsg& msg) override;
    void paramChanged(Tessel::IParameter* param) override { changes.push_back(param->getName()); }
    void paramEdit(Tessel::IParameter* param, bool begin) override;

    Tessel::IParameter* volume = nullptr;
    Tessel::IParameter* meter = nullptr;
    Tessel::IParameter* password = nullptr;
    std::vector<std::string> changes;
    std::vector<std::string> edits;
    int invoked = 0;
};

// One JSON message as an attribute set (empty when it does not parse).
Core::Portable::Attributes parse(const std::string& text);

} // namespace WebTest
