// Pairing: a desk that listens beyond its own computer lets a browser in only after the six-digit
// code shown on the desk was typed here once; the desk then keeps this browser's token in a
// cookie. `paired()` is called once the desk took the code.

import { el } from "./widgets.js";

// The message for an answer of POST /pair, "" when the code was taken.
export function pairingMessage(status) {
    if (status === 200 || status === 204)
        return "";
    if (status === 403)
        return "wrong code";
    if (status === 429)
        return "too many tries, wait a minute";
    return "the desk did not take the code (" + status + ")";
}

export function pairingScreen(paired) {
    const root = el("form", "pairing card");
    const input = el("input", "code");
    input.inputMode = "numeric";
    input.autocomplete = "one-time-code";
    input.maxLength = 6;
    input.pattern = "[0-9]{6}";
    input.placeholder = "000000";
    input.setAttribute("aria-label", "Pairing code");
    const message = el("div", "pair-message");
    const submit = el("button", "command lit", "PAIR");
    submit.type = "submit";
    root.append(el("h1", "", "Pair with the desk"),
        el("p", "hint", "Type the six-digit code the desk shows (About › Remote devices)."), input, submit, message);
    root.addEventListener("submit", async (event) => {
        event.preventDefault();
        const code = input.value.replace(/\D/g, "");
        if (code.length !== 6) {
            message.textContent = "the code has six digits";
            return;
        }
        submit.disabled = true;
        try {
            const response = await fetch("/pair", {
                method: "POST",
                headers: { "Content-Type": "application/json" },
                body: JSON.stringify({ code }),
                credentials: "same-origin",
            });
            message.textContent = pairingMessage(response.status);
            if (message.textContent === "")
                paired();
        } catch {
            message.textContent = "the desk cannot be reached";
        } finally {
            submit.disabled = false;
            input.select();
        }
    });
    setTimeout(() => input.focus(), 0);
    return root;
}
