// The page's one WebSocket to the desk at /ws: requests with their replies, subscriptions counted
// per screen element (the desk is asked to unsubscribe when the last one leaves), the fingers'
// edit gestures, values drawn once per frame, and reconnection with a growing wait. Screens talk
// to the desk only through this object.

import { Coalescer, Holds, reconnectDelay } from "./frame.js";

// What a subscription of each kind asks and how it ends.
const kinds = {
    value: { on: "subscribe", off: "unsubscribe" },
    curve: { on: "subscribeCurve", off: "unsubscribeCurve" },
    rows: { on: "subscribeRows", off: "unsubscribeRows" },
    venue: { on: "subscribeVenue", off: "unsubscribeVenue" },
};

export class Desk {
    constructor({ url, schedule, onState = () => {}, onError = () => {}, onUnauthorized = () => {} }) {
        this.url = url;
        this.onState = onState;
        this.onError = onError;
        this.onUnauthorized = onUnauthorized;
        this.ws = null;
        this.online = false;
        this.readOnly = false;
        this.attempt = 0;
        this.nextId = 1;
        this.replies = new Map();
        // Ids of unsubscribes, whose refusal is not shown.
        this.quiet = new Set();
        // key "kind|address" → { kind, address, listeners: Set, last }
        this.subs = new Map();
        this.holds = new Holds();
        this.incoming = new Coalescer(schedule, (key, msg) => this.deliver(key, msg),
            (key) => this.holds.isHeld(key.slice(key.indexOf("|") + 1)) && key.startsWith("value|"));
        this.outgoing = new Coalescer(schedule, (address, value) => this.send({ op: "set", address, value }));
        this.timer = null;
        this.stopped = false;
    }

    connect() {
        clearTimeout(this.timer);
        let opened = false;
        const ws = new WebSocket(this.url);
        this.ws = ws;
        ws.onopen = () => {
            opened = true;
            this.attempt = 0;
        };
        ws.onmessage = (event) => this.receive(event.data);
        ws.onclose = () => {
            if (this.ws !== ws)
                return;
            this.ws = null;
            this.online = false;
            this.holds.clear();
            for (const [, reply] of this.replies)
                reply.reject(new Error("the desk went away"));
            this.replies.clear();
            this.onState({ online: false, readOnly: this.readOnly });
            if (this.stopped)
                return;
            // A socket refused before it opened may want the pairing code: the desk answers a
            // plain request of /ws with 401 then.
            const retry = () => {
                this.timer = setTimeout(() => this.connect(), reconnectDelay(this.attempt++));
            };
            if (opened)
                retry();
            else
                this.checkAuthorized().then((ok) => (ok ? retry() : this.onUnauthorized()));
        };
    }

    stop() {
        this.stopped = true;
        clearTimeout(this.timer);
        if (this.ws)
            this.ws.close();
    }

    // False when the desk refuses this browser until it pairs.
    async checkAuthorized() {
        try {
            const response = await fetch(this.url.replace(/^ws/, "http"), { cache: "no-store" });
            return response.status !== 401;
        } catch {
            return true;
        }
    }

    send(msg) {
        if (!this.ws || this.ws.readyState !== 1)
            return false;
        this.ws.send(JSON.stringify(msg));
        return true;
    }

    // A message that expects one reply (value, list, rows, curve, venue, done or error).
    request(msg) {
        const id = this.nextId++;
        return new Promise((resolve, reject) => {
            if (!this.send({ ...msg, id }))
                return reject(new Error("the desk is not connected"));
            this.replies.set(id, { resolve, reject });
        });
    }

    receive(text) {
        let msg;
        try {
            msg = JSON.parse(text);
        } catch {
            return;
        }
        // The desk sends what changed since its last look as one array of messages.
        if (Array.isArray(msg)) {
            for (const one of msg)
                if (one && typeof one === "object")
                    this.take(one);
            return;
        }
        if (msg && typeof msg === "object")
            this.take(msg);
    }

    take(msg) {
        if (msg.op === "hello") {
            this.online = true;
            this.readOnly = Boolean(msg.readOnly);
            this.onState({ online: true, readOnly: this.readOnly, desk: msg.desk });
            this.resubscribe();
            return;
        }
        const reply = msg.id !== undefined ? this.replies.get(msg.id) : undefined;
        if (reply) {
            this.replies.delete(msg.id);
            if (msg.op === "error")
                reply.reject(new Error(msg.reason || "refused"));
            else
                reply.resolve(msg);
        } else if (msg.op === "error") {
            if (!this.quiet.delete(msg.id))
                this.onError(msg.reason || "refused", msg.address || "");
            return;
        }
        const kind = msg.op === "value" ? "value" : msg.op === "curve" ? "curve" : msg.op === "rows" ? "rows"
            : msg.op === "venue" ? "venue" : null;
        if (kind)
            this.incoming.push(kind + "|" + (kind === "venue" ? "" : msg.address), msg);
    }

    deliver(key, msg) {
        const sub = this.subs.get(key);
        if (!sub)
            return;
        sub.last = msg;
        for (const listener of sub.listeners)
            listener(msg);
    }

    // Calls `listener` with every message of `kind` for `address` (at once with the last one known);
    // returns the function that ends this listener.
    subscribe(kind, address, listener) {
        const key = kind + "|" + address;
        let sub = this.subs.get(key);
        if (!sub) {
            sub = { kind, address, listeners: new Set(), last: null };
            this.subs.set(key, sub);
            this.sendSubscribe(sub, true);
        } else if (sub.last) {
            listener(sub.last);
        }
        sub.listeners.add(listener);
        return () => {
            sub.listeners.delete(listener);
            if (sub.listeners.size === 0 && this.subs.get(key) === sub) {
                this.subs.delete(key);
                this.incoming.drop(key);
                this.sendSubscribe(sub, false);
            }
        };
    }

    sendSubscribe(sub, on) {
        const op = kinds[sub.kind][on ? "on" : "off"];
        const msg = sub.kind === "venue" ? { op } : { op, address: sub.address };
        if (sub.kind === "curve" && on)
            msg.points = 128;
        // An unsubscribe the desk refuses (it holds no such subscription) is no news to the user.
        if (!on) {
            msg.id = this.nextId++;
            this.quiet.add(msg.id);
            // The desk may answer nothing: keep only the newest few.
            if (this.quiet.size > 256)
                this.quiet.delete(this.quiet.values().next().value);
        }
        this.send(msg);
    }

    resubscribe() {
        for (const sub of this.subs.values())
            this.sendSubscribe(sub, true);
    }

    // The newest value known of `address` (a message of op "value"), or null.
    last(address) {
        const sub = this.subs.get("value|" + address);
        return sub ? sub.last : null;
    }

    // A finger went down on the control of `address`: incoming values for it are ignored until
    // it lifts.
    begin(address) {
        this.incoming.drop("value|" + address);
        if (this.holds.begin(address))
            this.send({ op: "begin", address });
    }

    // The finger lifted: the gesture ends and the desk's value is fetched, as what came in
    // meanwhile was ignored.
    end(address) {
        this.outgoing.flush();
        if (this.holds.end(address)) {
            this.send({ op: "end", address });
            this.send({ op: "get", address });
        }
    }

    // A value set while a finger moves: sent at most once per frame, the newest only.
    setSoon(address, value) {
        this.outgoing.push(address, value);
    }

    set(address, value) {
        return this.request({ op: "set", address, value });
    }

    setText(address, text) {
        return this.request({ op: "set", address, text });
    }

    invoke(address) {
        return this.request({ op: "invoke", address });
    }

    // What a screen holds of the desk: its subscriptions end together when it leaves.
    scope() {
        const ends = [];
        return {
            desk: this,
            on: (kind, address, listener) => {
                ends.push(this.subscribe(kind, address, listener));
            },
            dispose: () => {
                for (const end of ends.splice(0))
                    end();
            },
        };
    }
}
