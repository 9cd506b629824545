// An equaliser's response as the desk computes it (points of frequency and gain), drawn on a
// canvas over its frequency and gain grid, with a handle per band that a finger drags: sideways
// the frequency, up and down the gain, a pinch of two fingers the Q. The page does no filter
// maths: the curve comes back from the desk after every change.

import { el } from "./widgets.js";
import { formatHz, makeAxes, ranges, snapFreq, snapGain, snapQ } from "./scale.js";

const gridHz = [20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000];

// The colour of band `band` (as the desk draws its handle): eight hues.
export function bandColor(band) {
    const hue = ((band % 8) * 45 + 200) % 360;
    return `hsl(${hue} 85% 68%)`;
}

// `handles`: { count, freq(i), gain(i), q(i) } addresses of band i (0-based), or null for a curve
// without handles; `onSelect(i)` tells which band a finger picked.
export function curveView(scope, address, { top = 15, bottom = -15, handles = null, onSelect = () => {} } = {}) {
    const root = el("div", "curve");
    const canvas = el("canvas");
    root.append(canvas);
    let curve = null;
    let selected = -1;
    // Band values while a finger drags them: drawn where the finger is.
    const local = new Map();
    let pending = false;

    const axes = () => makeAxes(canvas.clientWidth, canvas.clientHeight, top, bottom);
    const draw = () => {
        pending = false;
        const ratio = window.devicePixelRatio || 1;
        const w = canvas.clientWidth, h = canvas.clientHeight;
        if (canvas.width !== Math.round(w * ratio) || canvas.height !== Math.round(h * ratio)) {
            canvas.width = Math.round(w * ratio);
            canvas.height = Math.round(h * ratio);
        }
        const g = canvas.getContext("2d");
        g.setTransform(ratio, 0, 0, ratio, 0, 0);
        g.clearRect(0, 0, w, h);
        const a = axes();
        g.font = "10px 'DejaVu Sans', sans-serif";
        g.lineWidth = 1;
        for (const hz of gridHz) {
            const x = Math.round(a.x(hz)) + 0.5;
            g.strokeStyle = "#33363d";
            g.beginPath(); g.moveTo(x, 0); g.lineTo(x, h); g.stroke();
            g.fillStyle = "#8a8f98";
            g.fillText(formatHz(hz), Math.min(x + 2, w - 22), h - 3);
        }
        const step = top - bottom > 30 ? 12 : 6;
        for (let db = Math.ceil(bottom / step) * step; db <= top; db += step) {
            const y = Math.round(a.y(db)) + 0.5;
            g.strokeStyle = db === 0 ? "#4a4e57" : "#33363d";
            g.beginPath(); g.moveTo(0, y); g.lineTo(w, y); g.stroke();
            g.fillStyle = "#8a8f98";
            if (y < h - 14)
                g.fillText((db > 0 ? "+" : "") + db, 2, Math.max(10, y - 2));
        }
        if (!curve)
            return;
        const freq = curve.freq || [], gain = curve.gain || [];
        g.strokeStyle = "#3fa9f5";
        g.lineWidth = 2;
        g.beginPath();
        freq.forEach((f, i) => (i ? g.lineTo(a.x(f), a.y(gain[i])) : g.moveTo(a.x(f), a.y(gain[i]))));
        g.stroke();
        if (!handles)
            return;
        bands().forEach((b, i) => {
            const x = a.x(b.freq), y = a.y(b.gain);
            g.globalAlpha = b.on === false ? 0.45 : 1;
            g.fillStyle = bandColor(i);
            g.strokeStyle = i === selected ? "#ffffff" : "#17181b";
            g.lineWidth = i === selected ? 3 : 2;
            g.beginPath(); g.arc(x, y, i === selected ? 13 : 11, 0, Math.PI * 2); g.fill(); g.stroke();
            g.fillStyle = "#17181b";
            g.font = "bold 11px 'DejaVu Sans', sans-serif";
            g.fillText(String(i + 1), x - 3.5, y + 4);
            g.globalAlpha = 1;
        });
    };
    const redraw = () => {
        if (!pending) {
            pending = true;
            requestAnimationFrame(draw);
        }
    };
    const bands = () => (curve && Array.isArray(curve.bands) ? curve.bands : [])
        .slice(0, handles ? handles.count : 0)
        .map((b, i) => ({ ...b, ...(local.get(i) || {}) }));

    scope.on("curve", address, (msg) => {
        curve = msg;
        redraw();
    });
    new ResizeObserver(redraw).observe(canvas);

    if (handles) {
        // Fingers on the canvas: the first drags the nearest handle, a second one pinches its Q.
        const fingers = new Map();
        let drag = null;
        let lastTap = { band: -1, time: 0 };
        const point = (event) => {
            const box = canvas.getBoundingClientRect();
            return { x: event.clientX - box.left, y: event.clientY - box.top };
        };
        const spread = () => {
            const [p, q] = [...fingers.values()];
            return Math.hypot(p.x - q.x, p.y - q.y);
        };
        const finish = () => {
            if (!drag)
                return;
            for (const address of drag.held)
                scope.desk.end(address);
            local.delete(drag.band);
            drag = null;
            redraw();
        };
        canvas.addEventListener("pointerdown", (event) => {
            if (scope.desk.readOnly)
                return;
            canvas.setPointerCapture(event.pointerId);
            fingers.set(event.pointerId, point(event));
            if (fingers.size === 1) {
                const p = point(event), a = axes();
                let best = -1, bestDistance = 44;
                bands().forEach((b, i) => {
                    const d = Math.hypot(a.x(b.freq) - p.x, a.y(b.gain) - p.y);
                    if (d < bestDistance) {
                        best = i;
                        bestDistance = d;
                    }
                });
                if (best < 0)
                    return;
                selected = best;
                onSelect(best);
                const b = bands()[best];
                drag = { band: best, held: [handles.freq(best), handles.gain(best)], q: b.q, pinch: 0 };
                for (const address of drag.held)
                    scope.desk.begin(address);
                local.set(best, { freq: b.freq, gain: b.gain });
                // A double tap on a handle resets its band: 0 dB (and Q 0.71).
                if (lastTap.band === best && event.timeStamp - lastTap.time < 350) {
                    local.set(best, { freq: b.freq, gain: 0 });
                    scope.desk.setSoon(handles.gain(best), 0);
                    if (handles.q) {
                        drag.held.push(handles.q(best));
                        scope.desk.begin(handles.q(best));
                        scope.desk.setSoon(handles.q(best), ranges.eqQ.def);
                    }
                    drag.reset = true;
                }
                lastTap = { band: best, time: event.timeStamp };
                redraw();
            } else if (fingers.size === 2 && drag && handles.q) {
                const qAddress = handles.q(drag.band);
                drag.held.push(qAddress);
                scope.desk.begin(qAddress);
                drag.pinch = spread();
            }
        });
        canvas.addEventListener("pointermove", (event) => {
            if (!fingers.has(event.pointerId) || !drag)
                return;
            fingers.set(event.pointerId, point(event));
            if (fingers.size >= 2 && drag.pinch > 0 && handles.q) {
                // Fingers apart: a wider band (lower Q).
                const q = snapQ(Math.min(ranges.eqQ.max, Math.max(ranges.eqQ.min, drag.q * drag.pinch / Math.max(1, spread()))));
                local.set(drag.band, { ...local.get(drag.band), q });
                scope.desk.setSoon(handles.q(drag.band), q);
                return;
            }
            if (fingers.size !== 1 || drag.reset)
                return;
            const p = point(event), a = axes();
            const freq = snapFreq(a.hz(p.x));
            const gain = Math.min(top, Math.max(bottom, snapGain(a.db(p.y))));
            local.set(drag.band, { freq, gain });
            scope.desk.setSoon(handles.freq(drag.band), freq);
            scope.desk.setSoon(handles.gain(drag.band), gain);
            redraw();
        });
        const lift = (event) => {
            fingers.delete(event.pointerId);
            if (fingers.size === 0)
                finish();
        };
        canvas.addEventListener("pointerup", lift);
        canvas.addEventListener("pointercancel", lift);
    }
    root.select = (i) => {
        selected = i;
        redraw();
    };
    return root;
}
