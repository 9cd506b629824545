// One speaker's panel, opened by a tap on it: volume, mute, solo, polarity, delay and its input
// meter; then tabs for the parametric EQ (its curve with handles), the notch EQ, the graphic EQ,
// the limiter with its gain-reduction meters, and the presets. Only the open tab is subscribed.

import { curveView, bandColor } from "./curve.js";
import { command, el, fader, meter, toggle, valueField } from "./widgets.js";
import { clamp, ranges, snapFreq, snapGain, snapQ } from "./scale.js";
import { geqBank } from "./geq.js";
import { readPresetRows } from "./model.js";

const inspector = "/roomdesk/Inspector";

// The gain step of a value field (0.5 dB) and the frequency step (a twelfth of an octave).
const gainStep = (range) => (v, d) => clamp(snapGain(v + d * 0.5), range.min, range.max);
const freqStep = (v, d) => snapFreq(v * Math.pow(2, d / 12));

function mainTab(scope, s) {
    const box = el("div", "tab-body main-tab");
    const left = el("div", "vol-column");
    left.append(fader(scope, s + "/line/ch1/volume", ranges.volume, { vertical: true }),
        meter(scope, s + "/line/ch1/meter"));
    const right = el("div", "control-column");
    const steps = el("div", "row");
    steps.append(command(scope, s + "/volumeDown", "VOL \u2212"), command(scope, s + "/volumeUnity", "0 dB"),
        command(scope, s + "/volumeUp", "VOL +"));
    right.append(steps,
        toggle(scope, s + "/line/ch1/mute", "MUTED", "MUTE OFF", "error"),
        toggle(scope, s + "/solo", "SOLO ON", "SOLO OFF", "warning"),
        toggle(scope, s + "/line/ch1/polarity", "POLARITY Ø INVERTED", "POLARITY Ø NORMAL"),
        valueField(scope, s + "/line/ch1/delay", "Delay", { down: s + "/delayDown", up: s + "/delayUp" }));
    box.append(left, right);
    return box;
}

// A band editor below a curve: the selected band's values and its switch.
// A tab's title with the switch that turns its whole equaliser on and off.
function tabHead(scope, title, address, on, off) {
    const head = el("div", "row");
    head.append(el("span", "section", title), toggle(scope, address, on, off));
    return head;
}

function bandBox(scope, fields) {
    const box = el("div", "band-box");
    box.append(...fields);
    return box;
}

function peqTab(scope, s) {
    const eq = s + "/line/ch1/eq";
    const box = el("div", "tab-body");
    const head = tabHead(scope, "PARAMETRIC EQ", eq + "/eqallon", "EQ ON", "EQ OFF");
    const hint = el("div", "hint", "Drag a handle: frequency and gain · pinch or the Q field: Q · double tap: reset");
    const holder = el("div", "band-holder");
    const chips = el("div", "chips");
    let sub = null;
    let current = -1;
    const select = (i) => {
        if (i === current)
            return;
        current = i;
        if (sub)
            sub.dispose();
        sub = scope.desk.scope();
        scope.children.push(sub);
        for (const [n, chip] of [...chips.children].entries())
            chip.classList.toggle("selected", n === i);
        const n = i + 1;
        holder.replaceChildren(bandBox(sub, [
            valueField(sub, eq + "/eqfreq" + n, "Freq " + n, { step: freqStep }),
            valueField(sub, eq + "/eqgain" + n, "Gain", { step: gainStep(ranges.eqGain) }),
            fader(sub, eq + "/eqq" + n, ranges.eqQ, { label: "Q", snap: snapQ }),
            toggle(sub, eq + "/eqbandon" + n, "ON", "OFF"),
        ]));
        view.select(i);
    };
    const view = curveView(scope, eq, {
        handles: { count: 8, freq: (i) => eq + "/eqfreq" + (i + 1), gain: (i) => eq + "/eqgain" + (i + 1),
            q: (i) => eq + "/eqq" + (i + 1) },
        onSelect: select,
    });
    for (let i = 0; i < 8; ++i) {
        const chip = el("button", "chip", String(i + 1));
        chip.style.setProperty("--band", bandColor(i));
        chip.addEventListener("click", () => select(i));
        chips.append(chip);
    }
    box.append(head, view, hint, chips, holder);
    select(0);
    return box;
}

function notchTab(scope, s) {
    const notch = s + "/line/ch1/notch";
    const box = el("div", "tab-body");
    const head = tabHead(scope, "NOTCH EQ", notch + "/notchallon", "NOTCH ON", "NOTCH OFF");
    const view = curveView(scope, notch, {
        top: 6, bottom: -48,
        handles: { count: 8, freq: (i) => notch + "/notchfreq" + (i + 1), gain: (i) => notch + "/notchgain" + (i + 1), q: null },
    });
    const list = el("div", "notch-list");
    for (let n = 1; n <= 8; ++n) {
        const row = el("div", "notch-row");
        const chip = el("span", "chip static", String(n));
        chip.style.setProperty("--band", bandColor(n - 1));
        row.append(chip,
            valueField(scope, notch + "/notchfreq" + n, "", { step: freqStep }),
            valueField(scope, notch + "/notchgain" + n, "", { step: gainStep(ranges.notchGain) }),
            toggle(scope, notch + "/notchbandon" + n, "ON", "OFF"));
        list.append(row);
    }
    box.append(head, view, el("div", "hint", "Drag a handle: frequency and depth · double tap: reset · Q is 24"), list);
    return box;
}

function geqTab(scope, s) {
    const box = el("div", "tab-body");
    box.append(geqBank(scope, s + "/line/ch1/geq", "GRAPHIC EQ"));
    return box;
}

function limiterTab(scope, s) {
    const limit = s + "/line/ch1/limit";
    const box = el("div", "tab-body");
    box.append(el("div", "section", "LIMITER"),
        toggle(scope, limit + "/limiteron", "LIMITER ON", "LIMITER OFF", "warning"),
        fader(scope, limit + "/threshold", ranges.threshold, { label: "Threshold", textBox: false, snap: snapGain }),
        valueField(scope, limit + "/threshold", "Threshold", { down: s + "/threshDown", up: s + "/threshUp" }),
        valueField(scope, limit + "/release", "Release"),
        el("div", "section", "OUTPUT GAIN REDUCTION"));
    const meters = el("div", "gr-meters");
    for (let n = 1; n <= 4; ++n) {
        const column = el("div", "gr-column");
        column.append(meter(scope, s + "/output/ch" + n + "/gr_peakmeter", { reduction: true }), el("span", "hint", String(n)));
        meters.append(column);
    }
    box.append(meters);
    return box;
}

// The speaker presets: the desk's preset list acts on the speaker its inspector shows, so the
// speaker is picked there first (it winks, as a click on the desk does).
function presetsTab(scope, s, serial) {
    const box = el("div", "tab-body");
    const list = el("div", "preset-list");
    const name = el("input", "preset-name");
    name.placeholder = "My Speaker";
    name.setAttribute("enterkeyhint", "done");
    const load = el("button", "command", "LOAD");
    const save = el("button", "command", "SAVE");
    let chosen = "";
    const desk = scope.desk;
    const pick = () => desk.set("/roomdesk/SpeakerNetwork/" + serial + "/editSpeakerProps", 1);
    const report = (e) => document.dispatchEvent(new CustomEvent("desk-error", { detail: e.message }));
    scope.on("rows", inspector + "/speakerPresetsList", (msg) => {
        list.replaceChildren();
        const names = readPresetRows(msg.rows);
        if (names.length === 0)
            list.append(el("div", "hint", "No presets saved yet."));
        for (const preset of names) {
            const row = el("button", "preset" + (preset === chosen ? " selected" : ""), preset);
            row.addEventListener("click", () => {
                chosen = preset;
                for (const other of list.children)
                    other.classList.toggle("selected", other === row);
            });
            list.append(row);
        }
    });
    load.addEventListener("click", async () => {
        if (desk.readOnly || !chosen)
            return;
        try {
            await pick();
            await desk.setText(inspector + "/selectedPreset", chosen);
            await desk.invoke(inspector + "/loadPreset");
        } catch (e) {
            report(e);
        }
    });
    const saveTyped = async () => {
        const typed = name.value.trim();
        if (desk.readOnly || typed === "")
            return;
        try {
            await pick();
            await desk.invoke(inspector + "/savePreset");
            await desk.setText(inspector + "/newPresetName", typed);
            await desk.invoke(inspector + "/okPreset");
            const asked = await desk.request({ op: "get", address: inspector + "/confirmReplace" });
            if (Number(asked.value)) {
                const replace = window.confirm(`Replace the preset "${typed}"?`);
                await desk.invoke(inspector + (replace ? "/replacePreset" : "/cancelReplace"));
            }
            name.value = "";
        } catch (e) {
            report(e);
        }
    };
    save.addEventListener("click", saveTyped);
    name.addEventListener("keydown", (event) => event.key === "Enter" && saveTyped());
    const saveRow = el("div", "row");
    saveRow.append(name, save);
    box.append(el("div", "section", "SPEAKER PRESETS"), list, load, saveRow);
    return box;
}

const tabs = [
    ["MAIN", mainTab], ["PEQ", peqTab], ["NOTCH", notchTab], ["GEQ", geqTab], ["LIMITER", limiterTab],
    ["PRESETS", presetsTab],
];

export const tabNames = tabs.map(([label]) => label.toLowerCase());

// The panel of `speaker` ({ serial, name, online }) on tab `first` (a name of tabNames);
// `close()` is called by its back button, `onTab(name)` when a tab opens.
export function speakerPanel(desk, speaker, close, { first = "main", onTab = () => {} } = {}) {
    const s = speaker.speaker;
    const root = el("section", "speaker-panel" + (speaker.online ? "" : " offline"));
    const head = el("header", "panel-head");
    const back = el("button", "back", "\u2039 BACK");
    back.addEventListener("click", close);
    const title = el("div", "panel-title");
    title.append(el("div", "name", speaker.name), el("div", "serial", speaker.serial));
    head.append(back, title);
    const bar = el("nav", "tab-bar");
    const body = el("div", "panel-body");
    let scope = null;
    const open = (index) => {
        if (scope)
            scope.dispose();
        scope = withChildren(desk.scope());
        body.replaceChildren(tabs[index][1](scope, s, speaker.serial));
        [...bar.children].forEach((b, i) => b.classList.toggle("active", i === index));
        onTab(tabNames[index]);
    };
    tabs.forEach(([label], i) => {
        const b = el("button", "tab", label);
        b.addEventListener("click", () => open(i));
        bar.append(b);
    });
    root.append(head, bar, body);
    if (!speaker.online)
        root.append(el("div", "note", "This speaker is not on the network."));
    open(Math.max(0, tabNames.indexOf(first)));
    root.dispose = () => scope && scope.dispose();
    return root;
}

// A scope that also ends the scopes made inside it (a band editor of the selected band).
function withChildren(scope) {
    const dispose = scope.dispose;
    scope.children = [];
    scope.dispose = () => {
        for (const child of scope.children.splice(0))
            child.dispose();
        dispose();
    };
    return scope;
}
