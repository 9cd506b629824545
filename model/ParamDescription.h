#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Vellaris
{

class ParamNode;

// A parameter description as a component receives it: the lk:Param's own attributes over those of
// its named range (the effective range), its tag worked out and, for list parameters, the entries
// of the string list named in `units`.
struct ParamDescription
{
    const ParamNode* node = nullptr; // the description in the model (borrowed)
    std::string id;
    std::string name;      // display name
    int type = 0;          // ModelSyntax::TypeCode
    std::string classname; // parameter class, empty for none
    double min = 0;
    double max = 0;
    double mid = 0;
    double def = 0; // min when neither the parameter nor its range gives one
    double steps = 0;
    uint32_t given = 0; // ModelNumbers::Given bits, the range's and the parameter's together
    std::string units;  // formatter name; for lists the string list's name
    std::string curve;
    uint32_t flags = 0; // ModelSyntax::FlagBit
    int32_t tag = -1;
    std::vector<std::string> entries; // list parameters: the string list's texts
};

} // namespace Vellaris
