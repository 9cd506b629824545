#pragma once

#include <map>
#include <string>

namespace Tessel
{

// Text substitution: published variables ("APPNAME" -> "Ambrel") expand where "$NAME" stands in
// menu and skin texts. At each "$" the longest published name that follows wins; a "$" that starts
// no published name stays as written. GUI thread only.
class TextVariables
{
public:
    // The process-wide set.
    static TextVariables& instance();

    // Publishes (or replaces) a variable. Names are case-sensitive and must not be empty.
    void set(const std::string& name, const std::string& value);
    void remove(const std::string& name);
    // The value of `name`, or "" when not published.
    std::string get(const std::string& name) const;
    bool contains(const std::string& name) const { return values.count(name) != 0; }
    // `text` with every "$NAME" of a published variable replaced by its value (one pass; values
    // are not expanded again).
    std::string expand(const std::string& text) const;
    void clear() { values.clear(); }

private:
    std::map<std::string, std::string> values;
};

// Shortcuts on the process-wide set.
inline void setTextVariable(const std::string& name, const std::string& value)
{
    TextVariables::instance().set(name, value);
}
inline std::string expandTextVariables(const std::string& text)
{
    return TextVariables::instance().expand(text);
}

} // namespace Tessel
