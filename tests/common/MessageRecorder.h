#pragma once

// An observer that keeps the id of every message its subject signals, in order.

#include <string>
#include <vector>

#include "tessel/Message.h"
#include "tessel/Object.h"

namespace TestSupport
{

class MessageRecorder : public Tessel::Object
{
public:
    std::vector<std::string> ids;
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override { ids.push_back(msg.getID()); }
};

} // namespace TestSupport
