#include "TestModel.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace modeldata
{

const ModelIndex& shippedModel()
{
    static ModelIndex model;
    static std::string error;
    static const bool loaded = model.load(resourcePath("tarndefs.xml"), error);
    EXPECT_TRUE(loaded) << error;
    return model;
}

namespace
{

std::string number(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

} // namespace

std::string describe(const EffectiveParam& p)
{
    static const char* const kTypeNames[] = {"toggle", "int", "list", "float", "string", "alias", "color"};
    static const char* const kFlagNames[] = {"bipolar", "storable", "private", "linkable",
                                             "mutable", "readonly", "user1",   "user2"};
    std::string flags;
    for (int bit = 0; bit < 8; ++bit)
    {
        if (p.flags & (1u << bit))
            flags += (flags.empty() ? "" : " ") + std::string(kFlagNames[bit]);
    }
    return p.id + "|" + p.name + "|" + kTypeNames[p.type] + "|" + number(p.min) + "|" + number(p.max) + "|" +
           (p.hasMid ? number(p.mid) : "") + "|" + number(p.def) + "|" + p.units + "|" + p.curve + "|" +
           flags + "|" + std::to_string(p.tag);
}

} // namespace modeldata
