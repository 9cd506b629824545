// The tablet page's logic without a browser: fader and curve mappings, the value grids, the frame
// coalescing and finger holds, the connection's subscriptions and gestures against a fake socket,
// and reading the desk's venue and rows. Run: node --test tests/web/
import { test } from "node:test";
import assert from "node:assert/strict";

import * as scale from "../../resources/web/scale.js";
import { Coalescer, Holds, reconnectDelay } from "../../resources/web/frame.js";
import { Desk } from "../../resources/web/conn.js";
import { readPresetRows, readSpeakerRows, readVenue, serialOfPath } from "../../resources/web/model.js";
import { pairingMessage } from "../../resources/web/pair.js";

const near = (a, b, eps = 1e-6) => assert.ok(Math.abs(a - b) < eps, `${a} is not ${b}`);

test("fader travel: skewed volume puts -9 dB half way and round-trips", () => {
    const r = scale.ranges.volume;
    near(scale.toNorm(r, -9), 0.5);
    near(scale.toNorm(r, -84), 0);
    near(scale.toNorm(r, 10), 1);
    for (const db of [-84, -40, -9, -6, 0, 6, 10])
        near(scale.fromNorm(r, scale.toNorm(r, db)), db, 1e-9);
    // Beyond the ends the fader stays at its ends, never outside the track.
    near(scale.toNorm(r, 30), 1);
    near(scale.fromNorm(r, -0.5), -84);
    // Travel is monotonic: a finger moving up never lowers the value.
    let last = -Infinity;
    for (let n = 0; n <= 1; n += 0.01) {
        const v = scale.fromNorm(r, n);
        assert.ok(v >= last);
        last = v;
    }
});

test("curve axes: log frequency and linear gain map to pixels and back", () => {
    const a = scale.makeAxes(600, 300, 15, -15);
    near(a.x(20), 0);
    near(a.x(20000), 600);
    near(a.x(632.4555), 300, 1e-3); // the geometric middle of 20 Hz … 20 kHz
    near(a.hz(a.x(1000)), 1000, 1e-9);
    near(a.y(15), 0);
    near(a.y(0), 150);
    near(a.y(-15), 300);
    near(a.db(a.y(-6)), -6, 1e-9);
    // A finger above or below the plot gives the range's end, not a value beyond it.
    near(a.db(-40), 15);
    near(a.db(999), -15);
});

test("value grids: gain 0.5 dB, twelfth-octave preferred frequencies, Q steps", () => {
    assert.equal(scale.snapGain(2.74), 2.5);
    assert.equal(scale.snapGain(-0.26), -0.5);
    // The ISO third-octave series is on the grid.
    for (const f of [25, 31.5, 40, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 20000])
        assert.equal(scale.snapFreq(f * 1.01), f);
    assert.equal(scale.snapFreq(20 * Math.pow(2, 1 / 12)), 21.2);
    assert.equal(scale.snapFreq(9800), 10000); // the next decade's first number
    assert.equal(scale.snapFreq(5), 20);
    assert.equal(scale.snapFreq(30000), 20000);
    assert.equal(scale.snapQ(0.68), 0.71);
    assert.equal(scale.snapQ(3.3), 2.8);
    assert.equal(scale.snapQ(100), 4);
});

test("meters and texts: -12 dB half way, zones, numbers read from the desk's texts", () => {
    near(scale.meterPosition(-12), 0.5);
    near(scale.meterPosition(0), 1);
    near(scale.meterPosition(-60), 0);
    assert.equal(scale.meterPosition(-Infinity), 0);
    assert.ok(scale.meterPosition(-30) < scale.meterPosition(-20));
    assert.equal(scale.meterZone(-20), "good");
    assert.equal(scale.meterZone(-6), "warning");
    assert.equal(scale.meterZone(-1), "error");
    assert.equal(scale.numberOfText("-6.00 dB"), -6);
    assert.equal(scale.numberOfText("2.5 kHz"), 2500);
    assert.equal(scale.numberOfText("1,5 ms"), 1.5);
    assert.equal(scale.numberOfText("-inf dB"), -Infinity);
    assert.ok(Number.isNaN(scale.numberOfText("Off")));
    assert.equal(scale.formatDb(-6), "-6.00 dB");
    assert.equal(scale.formatDb(-0.001), "0.00 dB");
    assert.equal(scale.formatHz(2500), "2.5k");
});

test("holds: two fingers on one control, one begin and one end", () => {
    const h = new Holds();
    assert.equal(h.begin("/a"), true);
    assert.equal(h.begin("/a"), false);
    assert.equal(h.end("/a"), false);
    assert.ok(h.isHeld("/a"));
    assert.equal(h.end("/a"), true);
    assert.ok(!h.isHeld("/a"));
    // An end without a begin (a lost pointerdown) sends nothing.
    assert.equal(h.end("/b"), false);
    h.begin("/c");
    assert.deepEqual(h.clear(), ["/c"]);
});

test("coalescer: newest item per key once per frame, held keys dropped", () => {
    const frames = [];
    const seen = [];
    const held = new Set();
    const c = new Coalescer((fn) => frames.push(fn), (k, v) => seen.push([k, v]), (k) => held.has(k));
    c.push("a", 1);
    c.push("a", 2);
    c.push("b", 1);
    assert.equal(frames.length, 1, "one frame asked for a burst");
    frames.shift()();
    assert.deepEqual(seen, [["a", 2], ["b", 1]]);
    c.push("a", 3);
    held.add("a"); // a finger lands before the frame
    frames.shift()();
    assert.deepEqual(seen.length, 2);
    c.push("a", 4);
    assert.equal(frames.length, 0, "a held key asks for no frame");
});

test("reconnect: the wait grows and stays bounded", () => {
    assert.equal(reconnectDelay(0), 500);
    assert.equal(reconnectDelay(1), 1000);
    assert.ok(reconnectDelay(3) > reconnectDelay(2));
    assert.equal(reconnectDelay(50), 8000);
});

// A socket that records what the page sends and lets the test answer.
class FakeSocket {
    static last = null;
    constructor(url) {
        this.url = url;
        this.sent = [];
        this.readyState = 0;
        FakeSocket.last = this;
    }
    send(text) { this.sent.push(JSON.parse(text)); }
    close() { this.readyState = 3; this.onclose && this.onclose(); }
    open() { this.readyState = 1; this.onopen && this.onopen(); }
    answer(msg) { this.onmessage({ data: JSON.stringify(msg) }); }
    ops() { return this.sent.map((m) => m.op + " " + (m.address ?? "")); }
}

function connected() {
    globalThis.WebSocket = FakeSocket;
    const frames = [];
    const states = [];
    const errors = [];
    const desk = new Desk({ url: "ws://desk/ws", schedule: (fn) => frames.push(fn), onState: (s) => states.push(s),
        onError: (reason) => errors.push(reason) });
    desk.connect();
    const ws = FakeSocket.last;
    ws.open();
    ws.answer({ op: "hello", readOnly: false, desk: "Ambrel" });
    const frame = () => { while (frames.length) frames.shift()(); };
    return { desk, ws, frame, states, errors };
}

test("desk: subscriptions are counted, asked once, ended when the last listener leaves", () => {
    const { desk, ws, frame, errors } = connected();
    const seen = [];
    const a = desk.scope(), b = desk.scope();
    a.on("value", "/speaker/1/line/ch1/volume", (m) => seen.push(["a", m.value]));
    b.on("value", "/speaker/1/line/ch1/volume", (m) => seen.push(["b", m.value]));
    assert.deepEqual(ws.ops(), ["subscribe /speaker/1/line/ch1/volume"]);
    ws.answer({ op: "value", address: "/speaker/1/line/ch1/volume", value: -3, text: "-3.00 dB" });
    // The desk's batch: several messages in one array, each taken as if it came alone.
    ws.answer([{ op: "value", address: "/speaker/1/line/ch1/volume", value: -4, text: "-4.00 dB" },
        { op: "value", address: "/speaker/2/line/ch1/volume", value: -9, text: "-9.00 dB" }]);
    frame();
    assert.deepEqual(seen, [["a", -4], ["b", -4]], "one draw per frame with the newest value");
    a.dispose();
    assert.equal(ws.sent.length, 1, "still shown by the other screen");
    b.dispose();
    assert.deepEqual(ws.ops().at(-1), "unsubscribe /speaker/1/line/ch1/volume");
    // A desk that refuses the unsubscribe (it knew none) bothers nobody; other refusals show.
    ws.answer({ op: "error", id: ws.sent.at(-1).id, reason: "not subscribed" });
    ws.answer({ op: "error", address: "/speaker/1/solo", reason: "room is locked" });
    assert.deepEqual(errors, ["room is locked"]);
    // A value that arrives after the screen left is drawn nowhere.
    ws.answer({ op: "value", address: "/speaker/1/line/ch1/volume", value: 1 });
    frame();
    assert.equal(seen.length, 2);
});

test("desk: a held control ignores incoming values; its gesture is one begin, sets, one end and a fresh get", () => {
    const { desk, ws, frame } = connected();
    const addr = "/speaker/1/line/ch1/eq/eqgain1";
    const seen = [];
    desk.scope().on("value", addr, (m) => seen.push(m.value));
    ws.answer({ op: "value", address: addr, value: 1 });
    desk.begin(addr); // the finger lands before the frame: the waiting value is dropped
    frame();
    assert.deepEqual(seen, []);
    desk.setSoon(addr, 2);
    desk.setSoon(addr, 2.25);
    ws.answer({ op: "value", address: addr, value: 2 }); // the echo of an earlier set
    frame();
    assert.deepEqual(seen, [], "the finger's value stays on screen");
    // The finger lifts before the next frame: its last value still goes inside the gesture.
    desk.setSoon(addr, 2.5);
    desk.end(addr);
    assert.deepEqual(ws.ops().slice(1), ["begin " + addr, "set " + addr, "set " + addr, "end " + addr, "get " + addr]);
    assert.deepEqual(ws.sent.filter((m) => m.op === "set").map((m) => m.value), [2.25, 2.5],
        "only the newest value of a frame is sent");
    ws.answer({ op: "value", address: addr, value: 2.5 });
    frame();
    assert.deepEqual(seen, [2.5]);
});

test("desk: a closed socket reconnects, subscribes anew after hello and rejects waiting requests", async () => {
    const { desk, ws, states } = connected();
    desk.scope().on("curve", "/speaker/1/line/ch1/eq", () => {});
    desk.scope().on("venue", "", () => {});
    const waiting = desk.invoke("/speaker/1/volumeUp");
    const timers = [];
    const realSetTimeout = globalThis.setTimeout;
    globalThis.setTimeout = (fn, ms) => timers.push([fn, ms]);
    try {
        ws.close();
        await assert.rejects(waiting);
        assert.equal(states.at(-1).online, false);
        assert.equal(timers.length, 1, "one reconnect is planned");
        timers[0][0]();
    } finally {
        globalThis.setTimeout = realSetTimeout;
    }
    const again = FakeSocket.last;
    assert.notEqual(again, ws);
    again.open();
    again.answer({ op: "hello", readOnly: true });
    assert.deepEqual(again.sent.map((m) => m.op).sort(), ["subscribeCurve", "subscribeVenue"]);
    assert.equal(desk.readOnly, true);
    assert.equal(states.at(-1).readOnly, true);
    desk.stop();
});

test("desk: replies find their request by id; a refusal rejects with the desk's reason", async () => {
    const { desk, ws } = connected();
    const set = desk.setText("/speaker/1/line/ch1/volume", "loud");
    const id = ws.sent.at(-1).id;
    ws.answer({ op: "error", id, address: "/speaker/1/line/ch1/volume", reason: "\"loud\" cannot be read" });
    await assert.rejects(set, /cannot be read/);
    const got = desk.request({ op: "get", address: "/x" });
    ws.answer({ op: "value", id: ws.sent.at(-1).id, address: "/x", value: 3 });
    assert.equal((await got).value, 3);
});

test("venue: rooms, the active room's groups and speakers, master GEQ; no venue", () => {
    const v = readVenue({
        op: "venue", name: "Club",
        rooms: [{ title: "Main", address: "/roomdesk/VenueManager/activeVenue/room[0]", active: false },
            { title: "Balcony", address: "/roomdesk/VenueManager/activeVenue/room[1]", active: true }],
        room: {
            address: "/roomdesk/VenueManager/activeVenue/room[1]", title: "Balcony", locked: true,
            masterGeq: "/roomdesk/VenueManager/activeVenue/room[1]/Master/geq",
            groups: [{ title: "Master", positions: [] },
                { title: "Tops", positions: [{ serial: "987654321", name: "TX20A", online: false }] }],
        },
    });
    assert.equal(v.locked, true);
    assert.equal(v.masterGeq, "/roomdesk/VenueManager/activeVenue/room[1]/Master/geq");
    assert.equal(v.open, true);
    assert.equal(v.active.title, "Balcony");
    assert.equal(v.active.index, 1);
    assert.deepEqual(v.groups.map((g) => g.title), ["Tops"], "an empty Master frame is not drawn");
    assert.deepEqual(v.groups[0].speakers[0],
        { serial: "987654321", name: "TX20A", model: "", online: false, speaker: "/speaker/987654321" });
    assert.equal(readVenue({ op: "venue", open: false }).open, false);
    assert.equal(readVenue({ op: "venue", rooms: [] }).open, false);
    assert.equal(readVenue({ op: "venue", venue: null }).open, false);
});

test("rows: browser speakers by serial or path, preset names", () => {
    assert.equal(serialOfPath("/roomdesk/SpeakerNetwork/987654321"), "987654321");
    assert.deepEqual(readSpeakerRows([{ path: "/roomdesk/SpeakerNetwork/42", name: "TX10A" }, { name: "no serial" }])
        .map((s) => [s.serial, s.name, s.online]), [["42", "TX10A", true]]);
    assert.deepEqual(readPresetRows([{ name: "Show EQ" }, "Warm", { name: "" }]), ["Show EQ", "Warm"]);
});

test("pairing: the desk's answers in the page's words", () => {
    assert.equal(pairingMessage(200), "");
    assert.equal(pairingMessage(403), "wrong code");
    assert.equal(pairingMessage(429), "too many tries, wait a minute");
    assert.match(pairingMessage(500), /500/);
});
