// Mapping between a control's value and its place on the screen: faders (linear, skewed and
// logarithmic ranges), the curve's frequency and gain axes, meters, and the value grids the desk
// itself uses (0.5 dB, twelfth-octave preferred frequencies, the Q steps). Pure functions only.

export function clamp(v, lo, hi) {
    return Math.min(hi, Math.max(lo, v));
}

// A range as the speaker's model documents describe it: min, max, and for a skewed range the
// value that sits half way (the volume fader: -84 … +10 dB with -9 dB in the middle).
export function makeRange(min, max, { mid = null, log = false, def = 0 } = {}) {
    return { min, max, mid, log, def };
}

// Where `value` lies on the range's travel, 0 at min and 1 at max.
export function toNorm(range, value) {
    const { min, max, mid, log } = range;
    const v = clamp(Number(value), min, max);
    if (!Number.isFinite(v))
        return 0;
    if (log)
        return Math.log(v / min) / Math.log(max / min);
    const lin = (v - min) / (max - min);
    if (mid === null)
        return lin;
    return Math.pow(lin, skewExponent(range));
}

// The value at `norm` (0..1) of the range's travel.
export function fromNorm(range, norm) {
    const { min, max, mid, log } = range;
    const n = clamp(Number(norm), 0, 1);
    if (log)
        return min * Math.pow(max / min, n);
    if (mid === null)
        return min + n * (max - min);
    return min + Math.pow(n, 1 / skewExponent(range)) * (max - min);
}

// The power that puts `mid` half way along a skewed range.
function skewExponent({ min, max, mid }) {
    const at = (mid - min) / (max - min);
    return at > 0 && at < 1 ? Math.log(0.5) / Math.log(at) : 1;
}

// The ranges of the controls the page shows, as the speaker publishes them.
export const ranges = {
    volume: makeRange(-84, 10, { mid: -9, def: 0 }),
    threshold: makeRange(-28, 0, { def: 0 }),
    delay: makeRange(0, 500, { def: 0 }),
    eqGain: makeRange(-15, 15, { def: 0 }),
    eqFreq: makeRange(20, 20000, { log: true, def: 1000 }),
    eqQ: makeRange(0.1, 4, { mid: 0.71, def: 0.71 }),
    notchGain: makeRange(-48, 0, { def: 0 }),
    // The graphic equaliser's faders show ±12 dB, as on the desk.
    geqGain: makeRange(-12, 12, { def: 0 }),
    reduction: makeRange(-12, 0, { def: 0 }),
};

// Gain lands on a 0.5 dB grid, as a drag on the desk does.
export function snapGain(db, step = 0.5) {
    return Math.round(db / step) * step;
}

// The preferred numbers a twelfth of an octave apart (they hold the ISO third-octave series).
const preferred = [1.0, 1.06, 1.12, 1.18, 1.25, 1.32, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.12, 2.24, 2.36,
    2.5, 2.65, 2.8, 3.0, 3.15, 3.35, 3.55, 3.75, 4.0, 4.25, 4.5, 4.75, 5.0, 5.3, 5.6, 6.0, 6.3, 6.7,
    7.1, 7.5, 8.0, 8.5, 9.0, 9.5];

// A frequency moved to the nearest preferred number (nearest on a log scale), within 20 Hz … 20 kHz.
export function snapFreq(hz) {
    const f = clamp(Number(hz), 20, 20000);
    const decade = Math.pow(10, Math.floor(Math.log10(f)));
    let best = f;
    let bestDistance = Infinity;
    for (const p of [...preferred, 10]) {
        const candidate = p * decade;
        const distance = Math.abs(Math.log(candidate / f));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return clamp(Math.round(best * 1000) / 1000, 20, 20000);
}

export const qSteps = [0.25, 0.35, 0.5, 0.71, 1, 1.4, 2, 2.8, 4];

// The Q step nearest to `q` (on a log scale).
export function snapQ(q) {
    let best = qSteps[0];
    for (const s of qSteps)
        if (Math.abs(Math.log(s / q)) < Math.abs(Math.log(best / q)))
            best = s;
    return best;
}

// The curve's axes: frequency 20 Hz … 20 kHz left to right on a log scale, gain `top` … `bottom`
// dB top to bottom, inside a plot of `width` × `height` pixels.
export function makeAxes(width, height, top = 15, bottom = -15) {
    const fr = ranges.eqFreq;
    return {
        width, height, top, bottom,
        x: (hz) => toNorm(fr, hz) * width,
        hz: (x) => fromNorm(fr, x / width),
        y: (db) => ((top - clamp(db, bottom, top)) / (top - bottom)) * height,
        db: (y) => top - (clamp(y, 0, height) / height) * (top - bottom),
    };
}

// Where an input level in dB sits on the meter (0 bottom, 1 top): -12 dB half way up, 0 dB at the
// top, -60 dB and below at the bottom.
export function meterPosition(db) {
    if (!Number.isFinite(db))
        return 0;
    if (db >= -12)
        return clamp(0.5 + (db + 12) / 24, 0.5, 1);
    return clamp(0.5 * (db + 60) / 48, 0, 0.5);
}

// The colour zone of a level: "good" up to -12 dB, "warning" to -3 dB, "error" above.
export function meterZone(db) {
    return db > -3 ? "error" : db > -12 ? "warning" : "good";
}

// The number in a parameter's text ("-6.00 dB", "2.5 kHz" → 2500, "-inf dB" → -Infinity);
// NaN when there is none.
export function numberOfText(text) {
    const s = String(text ?? "").trim().replace(",", ".");
    if (/^-\s*inf/i.test(s))
        return -Infinity;
    const m = /^[-+]?\d*\.?\d+(e[-+]?\d+)?/i.exec(s);
    if (!m)
        return NaN;
    const n = parseFloat(m[0]);
    return /^k/i.test(s.slice(m[0].length).trim()) ? n * 1000 : n;
}

// A gain as the desk writes it: "-6.00 dB".
export function formatDb(db) {
    if (!Number.isFinite(db))
        return db < 0 ? "-inf dB" : "–";
    return (Math.abs(db) < 0.005 ? 0 : db).toFixed(2) + " dB";
}

// A frequency for an axis label: "20", "500", "1k", "2.5k".
export function formatHz(hz) {
    return hz >= 1000 ? String(Math.round(hz / 100) / 10).replace(/\.0$/, "") + "k" : String(Math.round(hz));
}
