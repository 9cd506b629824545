// What the page shows, read from the desk's messages: the venue (rooms, the active room's groups
// and speaker positions, its master GEQ) and the rows of the network browser and preset lists.
// Pure functions: they take the message and return plain objects the screens draw.

const kVenue = "/roomdesk/VenueManager/activeVenue";

// The serial number at the end of a component path ("/roomdesk/SpeakerNetwork/987654321").
export function serialOfPath(path) {
    const m = /\/([^/]+)\/*$/.exec(String(path || ""));
    return m ? m[1] : "";
}

// One speaker position or browser row: serial, name, whether it is on the network.
function readSpeaker(raw) {
    const serial = String(raw.serial ?? raw.id ?? serialOfPath(raw.path ?? raw.address ?? raw.speaker) ?? "");
    const name = String(raw.name || raw.nickname || raw.model || serial);
    return {
        serial,
        name,
        model: String(raw.model || ""),
        online: raw.online === undefined ? true : Boolean(raw.online),
        // Parameters of a speaker are reached under /speaker/<serial>/.
        speaker: "/speaker/" + serial,
    };
}

// The venue message as the screens need it; `open` is false when no venue is shown.
export function readVenue(msg) {
    const v = msg && msg.venue !== undefined ? msg.venue : msg;
    const rooms = (v && Array.isArray(v.rooms) ? v.rooms : []).map((r, index) => ({
        index,
        title: String(r.title ?? r.name ?? "Room " + (index + 1)),
        address: String(r.address || ""),
        active: Boolean(r.active),
    }));
    if (!v || rooms.length === 0)
        return { open: false, name: "", rooms: [], active: null, groups: [], locked: false, masterGeq: "" };
    const active = rooms.find((r) => r.active) || rooms[0];
    // The desk sends the active room's groups, master GEQ and lock inside "room".
    const room = v.room && typeof v.room === "object" ? v.room : v;
    let groups = (Array.isArray(room.groups) ? room.groups : []).map((g) => ({
        title: String(g.title ?? g.name ?? ""),
        speakers: (Array.isArray(g.positions) ? g.positions : []).map(readSpeaker),
    }));
    // Positions given beside the groups name their group by index.
    if (Array.isArray(room.positions))
        for (const p of room.positions) {
            const gi = Number(p.group ?? 0);
            while (groups.length <= gi)
                groups.push({ title: "", speakers: [] });
            groups[gi].speakers.push(readSpeaker(p));
        }
    // The floor plan draws every group but an empty "Master" frame.
    groups = groups.filter((g) => !(g.title === "Master" && g.speakers.length === 0));
    return {
        open: true,
        name: String(v.name ?? v.venueName ?? ""),
        rooms,
        active,
        groups,
        locked: Boolean(room.locked),
        masterGeq: String(room.masterGeq || room.masterGEQ || (active.address ? active.address + "/Master/geq" : "")),
    };
}

// The network browser's rows as speakers.
export function readSpeakerRows(rows) {
    return (Array.isArray(rows) ? rows : []).map(readSpeaker).filter((s) => s.serial !== "");
}

// A preset list's rows as names.
export function readPresetRows(rows) {
    return (Array.isArray(rows) ? rows : [])
        .map((r) => (typeof r === "string" ? r : String(r.name ?? r.title ?? r.text ?? "")))
        .filter((n) => n !== "");
}

// The room list parameter that activates a room by its index.
export const roomListAddress = kVenue + "/roomList";
