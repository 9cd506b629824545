// The tablet remote's page: connects to the desk, shows the venue's rooms as tabs (or, without a
// venue, the speakers of the network browser), opens a speaker's panel on a tap, and asks for
// the pairing code when the desk wants one.

import { Desk } from "./conn.js";
import { readSpeakerRows, readVenue, roomListAddress } from "./model.js";
import { pairingScreen } from "./pair.js";
import { roomView, speakerTile } from "./room.js";
import { speakerPanel } from "./speaker.js";
import { el } from "./widgets.js";

const tabsNode = document.getElementById("rooms");
const main = document.getElementById("main");
const overlay = document.getElementById("overlay");
const stateNode = document.getElementById("state");
const noteNode = document.getElementById("note");
const toastNode = document.getElementById("toast");

const desk = new Desk({
    url: (location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/ws",
    schedule: (fn) => requestAnimationFrame(fn),
    onState: ({ online, readOnly }) => {
        stateNode.textContent = online ? "ONLINE" : "OFFLINE";
        stateNode.className = online ? "state online" : "state offline";
        document.body.classList.toggle("disconnected", !online);
        document.body.classList.toggle("read-only", online && readOnly);
        noteNode.textContent = !online ? "Offline: reconnecting to the desk…"
            : readOnly ? "Read-only: this page shows the desk but cannot change it." : "";
        noteNode.hidden = noteNode.textContent === "";
    },
    onError: (reason) => toast(reason),
    onUnauthorized: () => showPairing(),
});

let toastTimer = null;
function toast(text) {
    toastNode.textContent = text;
    toastNode.hidden = false;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(() => (toastNode.hidden = true), 4000);
}
document.addEventListener("desk-error", (event) => toast(event.detail));

// What the centre shows: a room, or the network browser ("network").
let showing = null;
let screenScope = null;
let venue = readVenue(null);
let panel = null;

// The open speaker and its tab live in the address ("#speaker=987654321/peq"), so a reload or
// a bookmark comes back to them.
function openSpeaker(speaker, first = "main") {
    closeSpeaker(false);
    panel = speakerPanel(desk, speaker, () => closeSpeaker(), {
        first,
        onTab: (tab) => history.replaceState(null, "", "#speaker=" + speaker.serial + "/" + tab),
    });
    overlay.replaceChildren(panel);
    overlay.hidden = false;
}

function closeSpeaker(forget = true) {
    if (panel)
        panel.dispose();
    panel = null;
    overlay.replaceChildren();
    overlay.hidden = true;
    if (forget && location.hash)
        history.replaceState(null, "", location.pathname);
}

// Escape closes the speaker's panel (a keyboard on a laptop), unless an editor has the key.
document.addEventListener("keydown", (event) => {
    if (event.key === "Escape" && panel && !(event.target instanceof HTMLInputElement))
        closeSpeaker();
});

// The speaker the address names, once the page knows it.
function reopenFromAddress(speakers) {
    const m = /^#speaker=([^/]+)(?:\/(\w+))?/.exec(location.hash);
    if (!m || panel)
        return;
    const speaker = speakers.find((s) => s.serial === m[1]);
    if (speaker)
        openSpeaker(speaker, m[2] || "main");
}

function drawTabs() {
    tabsNode.replaceChildren();
    for (const room of venue.rooms) {
        const tab = el("button", "room-tab" + (showing === "room" && room.active ? " active" : ""), room.title);
        tab.addEventListener("click", () => {
            if (!room.active && !desk.readOnly)
                desk.set(roomListAddress, room.index).catch((e) => toast(e.message));
            show("room");
        });
        tabsNode.append(tab);
    }
    const network = el("button", "room-tab network" + (showing === "network" ? " active" : ""), "SPEAKERS");
    network.addEventListener("click", () => show("network"));
    tabsNode.append(network);
}

// Draws the centre anew; the previous screen's subscriptions end.
function show(what) {
    showing = what === "room" && venue.open ? "room" : "network";
    if (screenScope)
        screenScope.dispose();
    screenScope = desk.scope();
    drawTabs();
    if (showing === "room") {
        main.replaceChildren(roomView(screenScope, venue, openSpeaker));
        return;
    }
    const list = el("div", "tiles browser");
    list.append(el("div", "hint", "Searching the network…"));
    screenScope.on("rows", "/roomdesk/SpeakerNetwork/NetworkList", (msg) => {
        const speakers = readSpeakerRows(msg.rows);
        list.replaceChildren(...speakers.map((s) => speakerTile(screenScope, s, openSpeaker)));
        reopenFromAddress(speakers);
        if (speakers.length === 0)
            list.append(el("div", "hint", "No speakers on the network."));
    });
    const title = venue.open ? "SPEAKERS NOT PLACED" : "SPEAKERS ON THE NETWORK";
    const box = el("section", "card");
    box.append(el("h2", "group-title", title), list);
    main.replaceChildren(box);
}

// The venue decides the screen: its active room, or the network browser without one.
desk.subscribe("venue", "", (msg) => {
    const before = venue;
    venue = readVenue(msg);
    const sameRoom = before.open && venue.open && before.active.address === venue.active.address
        && JSON.stringify(before.groups) === JSON.stringify(venue.groups) && before.masterGeq === venue.masterGeq;
    if (showing === null)
        show(venue.open ? "room" : "network");
    else if (!venue.open && showing === "room")
        show("network");
    else if (showing === "room" && !sameRoom)
        show("room");
    else
        drawTabs();
    if (venue.open)
        reopenFromAddress(venue.groups.flatMap((g) => g.speakers));
});

// The pairing screen stays usable while the page is not connected.
function showPairing() {
    closeSpeaker();
    tabsNode.replaceChildren();
    document.body.classList.add("pair-wanted");
    stateNode.textContent = "NOT PAIRED";
    main.replaceChildren(pairingScreen(() => {
        document.body.classList.remove("pair-wanted");
        main.replaceChildren();
        showing = null;
        desk.connect();
    }));
}

desk.connect();
