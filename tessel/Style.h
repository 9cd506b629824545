#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Tessel
{

class Attributes;

// The skin's style table: metrics, colours, fonts and images that views read by name ("gridX",
// "textfont", "groupNode", "wifiLock", "deleteIcon"), so that drawing code holds no numbers or
// file names of its own. The table is data, a JSON document among the resources:
//     { "metrics": {"gridX": 24},
//       "colors":  {"accent": "#3fa9f5"},                  "#rrggbb" or "#aarrggbb"
//       "fonts":   {"textfont": {"family": "DejaVu Sans", "size": 13, "bold": false}},
//       "images":  {"wifiLock": "qrc:/skin/images/wifiLock.png"} }
// Entries of the wrong kind (a metric that is no finite number, a colour that does not parse, an
// image name that is no text) are left out with a warning; the rest of the table still loads. A
// name the table lacks reads as the caller's fallback, so a view always has something to draw.
// GUI thread only.
class Style
{
public:
    struct Font
    {
        std::string family;
        double size = 0; // pixels
        bool bold = false;
    };

    // The process-wide table. On first use it loads "resource:///style.json" when the program has
    // that resource; otherwise it starts empty.
    static Style& get();

    // Replaces the table with `data` (see above). Returns the number of entries taken.
    int load(const Attributes& data);
    // Replaces the table with the JSON document at `url`. False, keeping the table, when the file
    // cannot be read or is no JSON object.
    bool loadFromFile(const std::string& url);
    void clear();

    bool hasMetric(const std::string& name) const { return metrics.count(name) != 0; }
    double getMetric(const std::string& name, double fallback = 0) const;
    // ARGB.
    uint32_t getColor(const std::string& name, uint32_t fallback = 0xFF000000) const;
    // The font of that name, or `fallback` when there is none.
    Font getFont(const std::string& name, const Font& fallback = {"DejaVu Sans", 13, false}) const;
    // The image URL of that name, or "" when there is none.
    std::string getImage(const std::string& name) const;

    // Reads "#rrggbb" or "#aarrggbb" (hex digits of either case). False for anything else.
    static bool parseColor(const std::string& text, uint32_t& argb);

private:
    std::map<std::string, double> metrics;
    std::map<std::string, uint32_t> colors;
    std::map<std::string, Font> fonts;
    std::map<std::string, std::string> images;
};

} // namespace Tessel
