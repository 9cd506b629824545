// A 31-band graphic equaliser: its response from the desk, one touch fader per third-octave band
// (20 Hz … 20 kHz, gain1 … gain31) and the on and stereo switches. `geq` is the address of a
// speaker's ".../line/ch1/geq" or a room's ".../Master/geq".

import { curveView } from "./curve.js";
import { el, fader, toggle } from "./widgets.js";
import { ranges, snapGain } from "./scale.js";

export const bandLabels = ["20", "25", "31.5", "40", "50", "63", "80", "100", "125", "160", "200", "250", "315",
    "400", "500", "630", "800", "1k", "1.25k", "1.6k", "2k", "2.5k", "3.15k", "4k", "5k", "6.3k", "8k", "10k",
    "12.5k", "16k", "20k"];

export function geqBank(scope, geq, title) {
    const root = el("div", "geq");
    const head = el("div", "row");
    head.append(el("span", "section", title), toggle(scope, geq + "/on", "GEQ ON", "GEQ OFF"),
        toggle(scope, geq + "/ston", "STEREO", "STEREO OFF"));
    const faders = el("div", "geq-faders");
    bandLabels.forEach((label, i) => {
        const band = fader(scope, geq + "/gain" + (i + 1), ranges.geqGain, { vertical: true, textBox: false, snap: snapGain });
        band.append(el("div", "geq-label", label));
        faders.append(band);
    });
    root.append(head, curveView(scope, geq, { top: 12, bottom: -12 }), faders,
        el("div", "hint", "Double tap a band: 0 dB"));
    return root;
}
