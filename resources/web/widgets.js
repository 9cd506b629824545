// The page's controls, each bound to one address of the desk through a screen's scope: switches
// that say their state in words, command buttons, faders held by a finger, value fields that take
// a typed text, and meters. A control of a read-only page shows its value but does not move.

import { clamp, formatDb, fromNorm, meterPosition, meterZone, numberOfText, toNorm } from "./scale.js";

export function el(tag, className = "", text = "") {
    const node = document.createElement(tag);
    if (className)
        node.className = className;
    if (text)
        node.textContent = text;
    return node;
}

function refused(scope) {
    return scope.desk.readOnly;
}

// Shows a refusal of the desk in the page's message line.
function report(error) {
    document.dispatchEvent(new CustomEvent("desk-error", { detail: error.message }));
}

// A switch: lit with `on` text and colour while on, dim with `off` text while off.
export function toggle(scope, address, on, off = on, tone = "accent") {
    const button = el("button", "switch tone-" + tone, off);
    let value = 0;
    scope.on("value", address, (msg) => {
        value = Number(msg.value) ? 1 : 0;
        button.classList.toggle("lit", value === 1);
        button.textContent = value ? on : off;
    });
    button.addEventListener("click", () => {
        if (!refused(scope))
            scope.desk.set(address, value ? 0 : 1).catch(report);
    });
    return button;
}

// A button that runs a command of the desk.
export function command(scope, address, label, className = "") {
    const button = el("button", "command " + className, label);
    button.addEventListener("click", () => {
        if (!refused(scope))
            scope.desk.invoke(address).catch(report);
    });
    return button;
}

// A finger held on `node`: `down(event)` when it lands, `move(event)` while it moves, `up()` when
// it lifts or the browser takes the touch away. The node keeps the pointer, so the finger may
// leave it.
export function hold(node, { down, move, up }) {
    let id = null;
    node.addEventListener("pointerdown", (event) => {
        if (id !== null)
            return;
        id = event.pointerId;
        node.setPointerCapture(id);
        event.preventDefault();
        down(event);
    });
    node.addEventListener("pointermove", (event) => {
        if (event.pointerId === id)
            move(event);
    });
    const lift = (event) => {
        if (event.pointerId !== id)
            return;
        id = null;
        up();
    };
    node.addEventListener("pointerup", lift);
    node.addEventListener("pointercancel", lift);
}

// A fader over `range`: vertical or horizontal, its dB text beside it. While a finger holds it
// the desk's values for it are ignored; a double tap returns it to the range's default.
// `snap(value)` puts a dragged value on the control's grid (0.1 by default).
export function fader(scope, address, range, { vertical = false, label = "", textBox = true,
    snap = (v) => Math.round(v * 10) / 10 } = {}) {
    const root = el("div", "fader " + (vertical ? "vertical" : "horizontal"));
    const track = el("div", "track");
    const fill = el("div", "fill");
    const thumb = el("div", "thumb");
    track.append(fill, thumb);
    const text = el("div", "fader-text", "–");
    if (label)
        root.append(el("div", "fader-label", label));
    root.append(track);
    if (textBox)
        root.append(text);
    let value = range.def;
    const show = (v, t) => {
        value = v;
        const n = toNorm(range, v);
        const zero = toNorm(range, clamp(0, range.min, range.max));
        const lo = Math.min(n, zero), hi = Math.max(n, zero);
        if (vertical) {
            thumb.style.bottom = `calc(${n * 100}% - 12px)`;
            fill.style.bottom = lo * 100 + "%";
            fill.style.height = (hi - lo) * 100 + "%";
        } else {
            thumb.style.left = `calc(${n * 100}% - 12px)`;
            fill.style.left = lo * 100 + "%";
            fill.style.width = (hi - lo) * 100 + "%";
        }
        text.textContent = t ?? formatDb(v);
    };
    scope.on("value", address, (msg) => show(Number(msg.value), msg.text));
    const at = (event) => {
        const box = track.getBoundingClientRect();
        const n = vertical ? (box.bottom - event.clientY) / box.height : (event.clientX - box.left) / box.width;
        return fromNorm(range, n);
    };
    let lastTap = 0;
    hold(track, {
        down: (event) => {
            if (refused(scope))
                return;
            root.classList.add("held");
            scope.desk.begin(address);
            const now = event.timeStamp;
            if (now - lastTap < 350) {
                show(range.def);
                scope.desk.setSoon(address, range.def);
            }
            lastTap = now;
        },
        move: (event) => {
            if (!root.classList.contains("held"))
                return;
            const v = clamp(snap(at(event)), range.min, range.max);
            show(v);
            scope.desk.setSoon(address, v);
        },
        up: () => {
            if (!root.classList.contains("held"))
                return;
            root.classList.remove("held");
            scope.desk.end(address);
        },
    });
    return root;
}

// A value with its name, its text as the desk formats it and − / + steps: `down`/`up` name the
// speaker's own step commands, or `step(value, direction)` gives the next value. A tap on the
// text opens an editor: Enter keeps (the desk reads the text with the parameter's own unit),
// Escape cancels; a text the desk refuses keeps the editor open, red, with the reason.
export function valueField(scope, address, label, { down = "", up = "", step = null } = {}) {
    const root = el("div", "value-field");
    const name = el("span", "value-name", label);
    const text = el("button", "value-text", "–");
    const minus = el("button", "step", "\u2212");
    const plus = el("button", "step", "+");
    let value = 0;
    scope.on("value", address, (msg) => {
        value = Number(msg.value);
        if (!root.classList.contains("editing"))
            text.textContent = msg.text ?? String(msg.value);
    });
    const stepBy = (direction) => {
        if (refused(scope))
            return;
        const cmd = direction < 0 ? down : up;
        if (cmd)
            scope.desk.invoke(cmd).catch(report);
        else if (step)
            scope.desk.set(address, step(value, direction)).catch(report);
    };
    minus.addEventListener("click", () => stepBy(-1));
    plus.addEventListener("click", () => stepBy(1));
    text.addEventListener("click", () => {
        if (refused(scope) || root.classList.contains("editing"))
            return;
        root.classList.add("editing");
        const input = el("input", "value-input");
        input.value = text.textContent;
        input.setAttribute("enterkeyhint", "done");
        const why = el("div", "value-why");
        const close = () => {
            root.classList.remove("editing", "bad");
            input.remove();
            why.remove();
            text.hidden = false;
        };
        input.addEventListener("keydown", (event) => {
            if (event.key === "Escape")
                close();
            if (event.key !== "Enter")
                return;
            scope.desk.setText(address, input.value).then(close, (error) => {
                root.classList.add("bad");
                why.textContent = error.message;
            });
        });
        input.addEventListener("blur", () => setTimeout(() => root.classList.contains("bad") || close(), 150));
        text.hidden = true;
        text.after(input);
        root.append(why);
        input.focus();
        input.select();
    });
    root.append(name, minus, text, plus);
    return root;
}

// A meter: an input level (a 0..1 gain) rising from the bottom in three zones, or a
// gain reduction (dB, 0 at the top to -12 dB) hanging from the top.
export function meter(scope, address, { reduction = false, vertical = true } = {}) {
    const root = el("div", "meter " + (vertical ? "vertical" : "horizontal") + (reduction ? " reduction" : ""));
    const bar = el("div", "level");
    root.append(bar);
    scope.on("value", address, (msg) => {
        // A gain reduction is in dB; an input level is a gain whose place on the meter is the
        // parameter's own travel ("norm", as the desk draws it).
        const db = reduction ? Number(msg.value) : 20 * Math.log10(Math.max(1e-9, Number(msg.value)));
        const n = reduction ? clamp(-db / 12, 0, 1)
            : Number.isFinite(msg.norm) ? clamp(msg.norm, 0, 1) : meterPosition(db);
        bar.style[vertical ? "height" : "width"] = (n * 100).toFixed(1) + "%";
        bar.className = "level " + (reduction ? "warning" : meterZone(db));
    });
    return root;
}

// A plain text that follows a parameter's text.
export function label(scope, address, className = "") {
    const node = el("span", className, "–");
    scope.on("value", address, (msg) => (node.textContent = msg.text ?? String(msg.value)));
    return node;
}
