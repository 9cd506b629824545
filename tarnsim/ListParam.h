#pragma once

#include "tarnsim/NumericParam.h"

namespace Core::Portable
{

// A numeric parameter whose value indexes the definition's list texts
// (max + 1 entries of the record it was made from). A later setMax changes
// the range, never the number of texts there are: entries beyond either do
// not exist.
class ListParam : public NumericParam
{
public:
    ListParam(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner);

    // The entry at the truncated value; empty when out of range.
    void toText(char* buffer, std::size_t size) const override;
    // The first entry equal to text ignoring case selects its index; else a
    // decimal integer is taken as the index (clamped); else nothing.
    void fromText(const char* text, bool notify) override;
    int entryCount() const override;
    const char* entry(int index) const override;

private:
    int textCount_; // texts behind listTexts, from the record at construction
};

} // namespace Core::Portable
