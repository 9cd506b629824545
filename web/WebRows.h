#pragma once

#include <string>

namespace Tessel
{
class Component;
class ISubject;
} // namespace Tessel

namespace Vellaris::Web
{

// The rows of a list model of the desk as one "rows" message, for lists the page draws itself
// (the network browser's speakers, the preset lists):
//   {"op":"rows","address":A,"rows":[{...},...]}
// A table model (the preset lists) gives each row its columns by column id, plus "row" and
// "selected": {"row":0,"selected":false,"name":"Front fill"}. An item model (the network
// browser) gives each row its item's "path" ("/roomdesk/SpeakerNetwork/987654321") and "icon";
// a speaker's row adds "serial", "name" (nickname, else model), "model" and "online".
// Returns false with `error` when the address names no list. `id`, when not empty, is the JSON
// text of the asking message's id.
bool rowsMessage(const std::string& address, const std::string& id, std::string& out, std::string& error);

// The list component at `address` (borrowed), or null with `error` set.
Tessel::Component* listComponentAt(const std::string& address, std::string& error);

// The name a page shows for a speaker: its nickname, else its model, else its serial; never with
// the serial appended, since the page shows the serial beside it.
std::string speakerLabel(const std::string& name, const std::string& serial);

} // namespace Vellaris::Web
