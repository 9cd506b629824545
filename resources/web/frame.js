// Keeping the screen in step with the desk at the screen's frame rate: incoming values are kept
// per address and drawn once per frame (only the newest counts), outgoing values of a dragged
// control are sent at most once per frame, and an address held by a finger ignores what comes
// in until the finger lifts. Pure logic: the frame scheduler is handed in (requestAnimationFrame
// in the browser, a plain function in the tests).

// Addresses a finger holds (between `begin` and `end`).
export class Holds {
    constructor() {
        this.held = new Map();
    }
    // A finger down on `address`: true when the address was not held yet (a `begin` goes out).
    begin(address) {
        const n = this.held.get(address) || 0;
        this.held.set(address, n + 1);
        return n === 0;
    }
    // A finger up: true when the last finger on the address lifted (an `end` goes out).
    end(address) {
        const n = this.held.get(address) || 0;
        if (n <= 1) {
            this.held.delete(address);
            return n === 1;
        }
        this.held.set(address, n - 1);
        return false;
    }
    isHeld(address) {
        return this.held.has(address);
    }
    // Every held address, emptied (the socket closed: the desk ended its gestures).
    clear() {
        const all = [...this.held.keys()];
        this.held.clear();
        return all;
    }
}

// Keeps the newest item per key and hands them over once per frame.
export class Coalescer {
    // `schedule(fn)` runs fn at the next frame; `deliver(key, item)` is called once per key per
    // frame; `skip(key)` tells a key whose items are dropped (a held control).
    constructor(schedule, deliver, skip = () => false) {
        this.schedule = schedule;
        this.deliver = deliver;
        this.skip = skip;
        this.pending = new Map();
        this.scheduled = false;
    }
    push(key, item) {
        if (this.skip(key))
            return;
        this.pending.set(key, item);
        if (!this.scheduled) {
            this.scheduled = true;
            this.schedule(() => this.flush());
        }
    }
    // Forgets what waits for `key` (a finger went down on it).
    drop(key) {
        this.pending.delete(key);
    }
    flush() {
        this.scheduled = false;
        const batch = this.pending;
        this.pending = new Map();
        for (const [key, item] of batch)
            if (!this.skip(key))
                this.deliver(key, item);
    }
}

// The wait before the next attempt to reach the desk: 0.5 s, doubling, at most 8 s.
export function reconnectDelay(attempt) {
    return Math.min(8000, 500 * Math.pow(2, Math.max(0, attempt)));
}
