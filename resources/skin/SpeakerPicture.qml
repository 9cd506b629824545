import QtQuick
import "."

// A drawn picture of a speaker model: "TX10A", "TX20A", "TX30A" (tops of growing size, one woofer
// and a horn), "TX40S" (a subwoofer with two woofers), anything else the unknown box.
// `selected` lights the front in the accent colour.
Canvas {
    id: picture
    property string model: "Unknown"
    property bool selected: false
    implicitWidth: 44
    implicitHeight: 44
    onModelChanged: requestPaint()
    onSelectedChanged: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()

    function woofer(ctx, cx, cy, r) {
        ctx.beginPath(); ctx.arc(cx, cy, r, 0, 2 * Math.PI); ctx.fillStyle = "#101114"; ctx.fill()
        ctx.lineWidth = 1.2; ctx.strokeStyle = picture.selected ? Theme.accent : "#5a606b"; ctx.stroke()
        ctx.beginPath(); ctx.arc(cx, cy, r * 0.55, 0, 2 * Math.PI); ctx.strokeStyle = "#3a3f48"; ctx.stroke()
        ctx.beginPath(); ctx.arc(cx, cy, r * 0.2, 0, 2 * Math.PI); ctx.fillStyle = "#2b2e34"; ctx.fill()
    }
    function horn(ctx, cx, cy, w, h) {
        ctx.beginPath()
        ctx.moveTo(cx - w / 2, cy - h / 2); ctx.lineTo(cx + w / 2, cy - h / 2)
        ctx.lineTo(cx + w / 6, cy + h / 2); ctx.lineTo(cx - w / 6, cy + h / 2); ctx.closePath()
        ctx.fillStyle = "#101114"; ctx.fill()
        ctx.strokeStyle = picture.selected ? Theme.accent : "#5a606b"; ctx.lineWidth = 1; ctx.stroke()
    }

    onPaint: {
        const ctx = getContext("2d")
        ctx.reset()
        const w = width, h = height
        // Cabinet size grows with the model; the sub is wide and low.
        let cw = w * 0.62, ch = h * 0.92
        if (model === "TX10A") { cw = w * 0.5; ch = h * 0.78 }
        else if (model === "TX20A") { cw = w * 0.56; ch = h * 0.86 }
        else if (model === "TX30A") { cw = w * 0.64; ch = h * 0.96 }
        else if (model === "TX40S") { cw = w * 0.96; ch = h * 0.7 }
        const x = (w - cw) / 2, y = (h - ch) / 2
        ctx.beginPath()
        const r = 3
        ctx.moveTo(x + r, y); ctx.lineTo(x + cw - r, y); ctx.quadraticCurveTo(x + cw, y, x + cw, y + r)
        ctx.lineTo(x + cw, y + ch - r); ctx.quadraticCurveTo(x + cw, y + ch, x + cw - r, y + ch)
        ctx.lineTo(x + r, y + ch); ctx.quadraticCurveTo(x, y + ch, x, y + ch - r)
        ctx.lineTo(x, y + r); ctx.quadraticCurveTo(x, y, x + r, y); ctx.closePath()
        ctx.fillStyle = picture.selected ? "#1d3447" : "#2b2e34"; ctx.fill()
        ctx.lineWidth = 1.5; ctx.strokeStyle = picture.selected ? Theme.accent : "#4a4f58"; ctx.stroke()

        if (model === "TX40S") {
            woofer(ctx, x + cw * 0.28, y + ch * 0.5, Math.min(cw * 0.21, ch * 0.38))
            woofer(ctx, x + cw * 0.72, y + ch * 0.5, Math.min(cw * 0.21, ch * 0.38))
        } else if (model === "TX10A" || model === "TX20A" || model === "TX30A") {
            horn(ctx, x + cw / 2, y + ch * 0.24, cw * 0.7, ch * 0.22)
            woofer(ctx, x + cw / 2, y + ch * 0.66, cw * 0.36)
        } else {
            ctx.fillStyle = picture.selected ? Theme.accent : Theme.dimmed
            ctx.font = "bold " + Math.round(ch * 0.5) + "px 'DejaVu Sans'"
            ctx.textAlign = "center"; ctx.textBaseline = "middle"
            ctx.fillText("?", w / 2, h / 2)
        }
    }
}
