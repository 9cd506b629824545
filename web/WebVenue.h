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

// Why a change to `address` is refused because it lands in a locked room, or "" when it is not:
// the controls of a room of the open venue (all but its "locked" switch, so the page can unlock
// it), the parameters of a speaker placed in a locked room (by "/speaker/<serial>/...", its
// network item "/roomdesk/SpeakerNetwork/<serial>/..." or the inspector showing it) and the
// master inspector of a locked active room.
std::string lockRefusal(const std::string& address);

} // namespace Vellaris::Web
