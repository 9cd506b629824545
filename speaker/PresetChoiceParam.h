#pragma once

#include <string>
#include <vector>

#include "tessel/Parameter.h"

namespace Vellaris
{

// Which preset of a preset list is chosen: a whole number, the row (−1: none), whose text is the
// preset's name ("" for none). It is set by the row or by the name exactly as the list shows it;
// a text that names no preset and is no row number (or −1) is refused, so a remote that asks for
// a preset that is not there changes nothing. The list that owns the rows keeps the range and the
// names in step (setTitles).
class PresetChoiceParam : public Tessel::Parameter
{
    TESSEL_DECLARE_CLASS(PresetChoiceParam)
public:
    explicit PresetChoiceParam(const std::string& name = {});

    // The rows' names: the range becomes −1 … count − 1 and the value stays inside it.
    void setTitles(const std::vector<std::string>& newTitles);
    // The row named `title`, or −1.
    int findRow(const std::string& title) const;

    std::string valueToString(const Tessel::Variant& value) const override;

protected:
    bool scanPlain(const std::string& text, double& number) const override;

private:
    std::vector<std::string> titles;
};

} // namespace Vellaris
