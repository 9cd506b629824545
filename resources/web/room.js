// The room screen: the active room's volume (steps, the wheel, the loudest speaker's level), MUTE
// ALL and LOCK; its speakers grouped as on the floor plan, each with volume, mute, solo and its
// input meter; and the room's master graphic EQ. Also the speaker tiles the network browser uses.

import { command, el, fader, hold, meter, toggle } from "./widgets.js";
import { geqBank } from "./geq.js";
import { clamp, numberOfText, ranges, toNorm } from "./scale.js";

// One speaker as a tile: name and serial (a tap opens its panel), volume fader with its dB text,
// MUTE and SOLO, and its input meter. A speaker that is not on the network is greyed.
export function speakerTile(scope, speaker, open) {
    const s = speaker.speaker;
    const tile = el("div", "tile" + (speaker.online ? "" : " offline"));
    const head = el("button", "tile-head");
    head.append(el("span", "name", speaker.name), el("span", "serial", speaker.serial));
    head.addEventListener("click", () => open(speaker));
    tile.append(head);
    if (!speaker.online) {
        tile.append(el("div", "hint", "not on the network"));
        return tile;
    }
    const body = el("div", "tile-body");
    body.append(meter(scope, s + "/line/ch1/meter", { vertical: false }),
        fader(scope, s + "/line/ch1/volume", ranges.volume));
    const buttons = el("div", "row");
    buttons.append(toggle(scope, s + "/line/ch1/mute", "MUTED", "MUTE OFF", "error"),
        toggle(scope, s + "/solo", "SOLO ON", "SOLO OFF", "warning"));
    tile.append(body, buttons);
    return tile;
}

// The room's volume wheel: a sideways drag turns it (right is louder, as on the desk).
function volumeWheel(scope, address) {
    const wheel = el("div", "wheel");
    const ticks = el("div", "ticks");
    wheel.append(ticks);
    let position = 0;
    let lastX = 0;
    const show = () => (ticks.style.backgroundPositionX = (-position / 40).toFixed(1) + "px");
    scope.on("value", address, (msg) => {
        position = Number(msg.value) || 0;
        show();
    });
    hold(wheel, {
        down: (event) => {
            if (scope.desk.readOnly)
                return;
            lastX = event.clientX;
            wheel.classList.add("held");
            scope.desk.begin(address);
        },
        move: (event) => {
            if (!wheel.classList.contains("held"))
                return;
            position -= Math.round((event.clientX - lastX) * 25);
            lastX = event.clientX;
            show();
            scope.desk.setSoon(address, position);
        },
        up: () => {
            if (wheel.classList.contains("held")) {
                wheel.classList.remove("held");
                scope.desk.end(address);
            }
        },
    });
    return wheel;
}

// The loudest speaker's level as a bar and as its value.
function loudest(scope, address) {
    const box = el("div", "loudest");
    const bar = el("div", "loudest-bar");
    const fill = el("div", "level");
    bar.append(fill);
    const text = el("div", "loudest-text", "–");
    box.append(bar, text);
    scope.on("value", address, (msg) => {
        const db = numberOfText(msg.text);
        const n = Number.isFinite(db) ? toNorm(ranges.volume, db) : clamp(Number(msg.value) || 0, 0, 1);
        fill.style.width = (n * 100).toFixed(1) + "%";
        fill.className = "level " + (n > 0.9 ? "warning" : "good");
        text.textContent = msg.text ?? "–";
    });
    return box;
}

export function roomView(scope, venue, open) {
    const room = venue.active.address;
    const root = el("div", "room");
    const controls = el("div", "room-controls card");
    controls.append(command(scope, room + "/roomVolumeDown", "VOL \u2212"), volumeWheel(scope, room + "/VolumeWheel/scrollParam"),
        command(scope, room + "/roomVolumeUp", "VOL +"), loudest(scope, room + "/maxVolume"),
        toggle(scope, room + "/muteAll", "ALL MUTED", "MUTE ALL", "error"),
        toggle(scope, room + "/locked", "LOCKED", "LOCK", "warning"));
    const speakers = el("div", "groups");
    for (const group of venue.groups) {
        const frame = el("section", "group card");
        if (group.title)
            frame.append(el("h2", "group-title", group.title));
        const tiles = el("div", "tiles");
        for (const speaker of group.speakers)
            tiles.append(speakerTile(scope, speaker, open));
        if (group.speakers.length === 0)
            tiles.append(el("div", "hint", "No speakers in this group."));
        frame.append(tiles);
        speakers.append(frame);
    }
    if (venue.groups.length === 0)
        speakers.append(el("div", "hint card", "No speakers placed in this room yet."));
    // A locked room takes no change from the page; only its LOCK stays live, to unlock it.
    const lockHint = el("div", "hint lock-hint", "The room is locked: unlock it to change anything.");
    controls.append(lockHint);
    scope.on("value", room + "/locked", (msg) => root.classList.toggle("locked", Number(msg.value) !== 0));
    const master = el("section", "master card");
    if (venue.masterGeq)
        master.append(geqBank(scope, venue.masterGeq, "MASTER GEQ"),
            el("div", "hint", "Changes go to every speaker of the room."));
    root.append(controls, speakers, master);
    return root;
}
