#pragma once

#include <functional>
#include <string>

namespace Vellaris
{

// The names of the pictures the application's theme offers ("SpeakerIcon:TX10A"). Items ask it
// whether a picture exists before they name it, so a model without its own picture falls back to
// a generic one. The GUI layer installs a lookup that answers from the skin; without one, only
// names added with addImage() exist. GUI thread only.
class ThemeImages
{
public:
    using Lookup = std::function<bool(const std::string& imageName)>;

    // True when the theme has a picture of that name.
    static bool hasImage(const std::string& imageName);
    // Installs the GUI's lookup (an empty function removes it). Names added with addImage() count
    // as well.
    static void setLookup(Lookup lookup);
    // Declares that a picture exists (for tools and tests without a skin).
    static void addImage(const std::string& imageName);
    // Forgets the lookup and every added name.
    static void reset();
};

} // namespace Vellaris
