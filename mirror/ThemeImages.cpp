#include "mirror/ThemeImages.h"

#include <set>

namespace Vellaris
{

namespace
{
struct ThemeState
{
    ThemeImages::Lookup lookup;
    std::set<std::string> names;
};

ThemeState& state()
{
    static ThemeState* theState = new ThemeState; // lives until the process ends
    return *theState;
}
} // namespace

bool ThemeImages::hasImage(const std::string& imageName)
{
    ThemeState& s = state();
    if (s.names.count(imageName))
        return true;
    return s.lookup && s.lookup(imageName);
}

void ThemeImages::setLookup(Lookup lookup)
{
    state().lookup = std::move(lookup);
}

void ThemeImages::addImage(const std::string& imageName)
{
    state().names.insert(imageName);
}

void ThemeImages::reset()
{
    state().lookup = nullptr;
    state().names.clear();
}

} // namespace Vellaris
