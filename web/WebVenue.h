#pragma once

#include <string>

namespace Vellaris::Web
{

// The open venue as the page shows it, as one "venue" message:
//   {"op":"venue","open":true,"name":"Hall","rooms":[{"title":"Main","address":"/roomdesk/...",
//    "active":true},...],"room":{"address":...,"title":...,"locked":false,
//    "masterGeq":"/roomdesk/.../Master/geq","groups":[{"title":"Tops","positions":[{"serial":"…",
//    "name":"…","online":true,"address":"/speaker/<serial>"},...]},...]}}
// "room" is the active room (absent without one); "open" is false without a venue. `id`, when not
// empty, is the JSON text of the asking message's id.
std::string venueMessage(const std::string& id);

} // namespace Vellaris::Web
