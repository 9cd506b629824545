#!/usr/bin/env python3
"""Test tool only: a stand-in desk for looking at the tablet page without roomdesk.

Serves resources/web/ and answers the page's WebSocket protocol at /ws with canned data: a venue of
two rooms (or none with --no-venue), three speakers (one offline), values that echo what the page
sets, made-up curves and moving meters. --pair asks for the code 123456 first, --read-only opens
the page read-only. Listens on 127.0.0.1 only.

    python3 tests/web/mock_desk.py --port 8099 [--pair] [--read-only] [--no-venue]
"""
import argparse, base64, hashlib, json, math, os, random, socketserver, struct, threading, time

WEB = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "web")
TYPES = {".html": "text/html", ".js": "text/javascript", ".css": "text/css"}
VENUE = "/roomdesk/VenueManager/activeVenue"
SPEAKERS = [("111111111", "TX20A", True, 0), ("222222222", "TX20A", True, 0), ("666666666", "TX40S", True, 1),
            ("333333333", "TX10A", False, 1)]

values = {}
lock = threading.Lock()
state = {"room": 0, "tokens": set(), "tries": []}


def default(address):
    name = address.rsplit("/", 1)[-1]
    table = {"volume": (-6.0, "dB"), "delay": (1.5, "ms"), "threshold": (-3.0, "dB"), "release": (200.0, "ms"),
             "maxVolume": (-6.0, "dB"), "scrollParam": (0, "")}
    if name in table:
        return table[name]
    for prefix, v, unit in (("eqfreq", None, "Hz"), ("notchfreq", None, "Hz"), ("eqgain", None, "dB"),
                            ("notchgain", -12.0, "dB"), ("gain", 0.0, "dB"), ("eqq", 0.71, "")):
        if name.startswith(prefix):
            if v is None:
                n = int(name[len(prefix):] or 1)
                v = 60 * 2 ** (n - 1) if "freq" in prefix else [3, -4, 2, 0, -6, 4, 0, 1][(n - 1) % 8]
            return float(v), unit
    return 0, ""


def text_of(v, unit):
    if unit == "dB":
        return "%.2f dB" % v
    if unit == "Hz":
        return "%.2f kHz" % (v / 1000) if v >= 1000 else "%.2f Hz" % v
    if unit == "ms":
        return "%.1f ms" % v
    if isinstance(v, float):
        return "%.2f" % v
    return "On" if v else "Off"


def value_msg(address):
    with lock:
        v, unit = values.get(address) or default(address)
    return {"op": "value", "address": address, "value": v, "text": text_of(v, unit)}


def curve_msg(address, points=128):
    freq = [20 * 1000 ** (i / (points - 1)) for i in range(points)]
    bands, gain = [], [0.0] * points
    if address.endswith("geq"):
        for n in range(31):
            g = values.get(address + "/gain%d" % (n + 1), default("gain"))[0]
            f = 20 * 2 ** (n / 3)
            for i, x in enumerate(freq):
                gain[i] += g * math.exp(-(math.log2(x / f) * 3) ** 2)
    else:
        notch = address.endswith("notch")
        for n in range(8):
            pre = address + ("/notch" if notch else "/eq")
            f = values.get(pre + "freq%d" % (n + 1), default(pre.rsplit("/", 1)[-1] + "freq%d" % (n + 1)))[0]
            g = values.get(pre + "gain%d" % (n + 1), default(pre.rsplit("/", 1)[-1] + "gain%d" % (n + 1)))[0]
            q = 24.0 if notch else values.get(address + "/eqq%d" % (n + 1), (0.71,))[0]
            bands.append({"freq": f, "gain": g, "q": q, "on": True})
            for i, x in enumerate(freq):
                gain[i] += g * math.exp(-(math.log2(x / f) * q * 1.5) ** 2)
    return {"op": "curve", "address": address, "freq": freq, "gain": gain, "bands": bands}


def venue_msg(open_venue):
    if not open_venue:
        return {"op": "venue", "open": False}
    rooms = [{"title": t, "address": VENUE + "/room[%d]" % i, "active": i == state["room"]}
             for i, t in enumerate(("Main Hall", "Balcony"))]
    groups = [{"title": "Tops", "positions": []}, {"title": "Subs", "positions": []}]
    for serial, model, online, g in SPEAKERS:
        groups[g]["positions"].append({"serial": serial, "name": model, "online": online,
                                       "address": "/speaker/" + serial})
    room = rooms[state["room"]]["address"]
    return {"op": "venue", "open": True, "name": "Club", "rooms": rooms,
            "room": {"address": room, "title": rooms[state["room"]]["title"], "locked": False,
                     "masterGeq": room + "/Master/geq", "groups": groups}}


class Client:
    def __init__(self, sock, opts):
        self.sock, self.opts, self.subs, self.alive = sock, opts, set(), True
        self.send_lock = threading.Lock()

    def send(self, obj):
        data = json.dumps(obj).encode()
        head = bytes([0x81])
        n = len(data)
        head += bytes([n]) if n < 126 else bytes([126]) + struct.pack(">H", n) if n < 65536 else bytes([127]) + struct.pack(">Q", n)
        try:
            with self.send_lock:
                self.sock.sendall(head + data)
        except OSError:
            self.alive = False

    def read_frame(self):
        def exact(n):
            buf = b""
            while len(buf) < n:
                chunk = self.sock.recv(n - len(buf))
                if not chunk:
                    raise EOFError
                buf += chunk
            return buf
        b0, b1 = exact(2)
        n = b1 & 0x7F
        if n == 126:
            n = struct.unpack(">H", exact(2))[0]
        elif n == 127:
            n = struct.unpack(">Q", exact(8))[0]
        mask = exact(4) if b1 & 0x80 else b"\0\0\0\0"
        data = bytes(c ^ mask[i % 4] for i, c in enumerate(exact(n)))
        return b0 & 0x0F, data

    def handle(self, msg):
        op, address = msg.get("op"), msg.get("address", "")
        reply = None
        ro = self.opts.read_only and op in ("set", "invoke", "begin")
        if ro:
            reply = {"op": "error", "address": address, "reason": "this page is read-only"}
        elif op == "get":
            reply = value_msg(address)
        elif op == "set":
            if address.endswith("/roomList"):
                state["room"] = int(msg.get("value", 0))
                broadcast_venue(self.opts)
            with lock:
                unit = (values.get(address) or default(address))[1]
                if "value" in msg:
                    values[address] = (msg["value"], unit)
                else:
                    try:
                        values[address] = (float(str(msg["text"]).split()[0]), unit)
                    except ValueError:
                        reply = {"op": "error", "address": address, "reason": '"%s" cannot be read' % msg["text"]}
            if reply is None:
                reply = value_msg(address)
                notify(address)
        elif op == "invoke":
            reply = {"op": "done", "address": address}
        elif op in ("subscribe", "subscribeCurve", "subscribeRows", "subscribeVenue"):
            self.subs.add((op, address))
            reply = (value_msg(address) if op == "subscribe" else curve_msg(address) if op == "subscribeCurve"
                     else venue_msg(not self.opts.no_venue) if op == "subscribeVenue" else rows_msg(address))
        elif op.startswith("unsubscribe"):
            self.subs.discard((op.replace("unsubscribe", "subscribe") or "subscribe", address))
            return
        elif op in ("begin", "end"):
            return
        else:
            reply = {"op": "error", "address": address, "reason": "unknown op"}
        if reply is not None:
            if "id" in msg:
                reply["id"] = msg["id"]
            self.send(reply)


def rows_msg(address):
    if address.endswith("NetworkList"):
        rows = [{"serial": s, "name": m, "path": "/roomdesk/SpeakerNetwork/" + s} for s, m, on, g in SPEAKERS if on]
    else:
        rows = [{"name": n} for n in ("Show EQ", "Warm", "Speech")]
    return {"op": "rows", "address": address, "rows": rows}


clients = []


def notify(address):
    for c in list(clients):
        if ("subscribe", address) in c.subs:
            c.send(value_msg(address))
        for op, a in list(c.subs):
            if op == "subscribeCurve" and address.startswith(a + "/"):
                c.send(curve_msg(a))


def broadcast_venue(opts):
    for c in list(clients):
        if ("subscribeVenue", "") in c.subs:
            c.send(venue_msg(not opts.no_venue))


def meters(opts):
    while True:
        time.sleep(0.05)
        for c in list(clients):
            for op, a in list(c.subs):
                if op == "subscribe" and a.endswith("/meter"):
                    db = -20 + 14 * math.sin(time.time() * 3 + hash(a) % 7) + random.uniform(-2, 2)
                    c.send({"op": "value", "address": a, "value": 10 ** (db / 20), "text": "%.2f dB" % db})
                elif op == "subscribe" and a.endswith("gr_peakmeter"):
                    db = min(0, -2 - 2 * math.sin(time.time() * 2 + hash(a) % 5))
                    c.send({"op": "value", "address": a, "value": db, "text": "%.2f dB" % db})


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        f = self.request.makefile("rb")
        line = f.readline().decode()
        if not line:
            return
        method, path, _ = line.split(" ", 2)
        headers = {}
        while True:
            h = f.readline().decode().strip()
            if not h:
                break
            k, _, v = h.partition(":")
            headers[k.strip().lower()] = v.strip()
        body = f.read(int(headers.get("content-length", "0") or 0)) if method == "POST" else b""
        opts = self.server.opts
        token = None
        for part in headers.get("cookie", "").split(";"):
            k, _, v = part.strip().partition("=")
            if k == "roomdesk":
                token = v
        paired = not opts.pair or token in state["tokens"]
        if path == "/pair" and method == "POST":
            now = time.time()
            state["tries"] = [t for t in state["tries"] if now - t < 60] + [now]
            if len(state["tries"]) > 5:
                return self.reply(429, b"too many tries")
            if json.loads(body or b"{}").get("code") != "123456":
                return self.reply(403, b"wrong code")
            tok = base64.urlsafe_b64encode(os.urandom(18)).decode()
            state["tokens"].add(tok)
            return self.reply(200, b"{}", extra="Set-Cookie: roomdesk=%s; HttpOnly; SameSite=Strict; Path=/\r\n" % tok)
        if path == "/ws":
            if not paired:
                return self.reply(401, b"pair first")
            if headers.get("upgrade", "").lower() != "websocket":
                return self.reply(400, b"websocket only")
            accept = base64.b64encode(hashlib.sha1((headers["sec-websocket-key"] +
                                                    "258EAFA5-E914-47DA-95CA-C5AB0DC85B11").encode()).digest()).decode()
            self.request.sendall(("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                  "Sec-WebSocket-Accept: %s\r\n\r\n" % accept).encode())
            client = Client(self.request, opts)
            clients.append(client)
            client.send({"op": "hello", "readOnly": opts.read_only, "desk": "Ambrel"})
            try:
                while client.alive:
                    opcode, data = client.read_frame()
                    if opcode == 8:
                        break
                    if opcode == 1:
                        client.handle(json.loads(data))
            except (EOFError, OSError, ValueError):
                pass
            clients.remove(client)
            return
        name = "index.html" if path in ("/", "") else path.lstrip("/").split("?")[0]
        full = os.path.realpath(os.path.join(WEB, name))
        if not full.startswith(os.path.realpath(WEB)) or not os.path.isfile(full):
            return self.reply(404, b"not found")
        with open(full, "rb") as fh:
            self.reply(200, fh.read(), TYPES.get(os.path.splitext(full)[1], "application/octet-stream"))

    def reply(self, status, body, ctype="text/plain", extra=""):
        reason = {200: "OK", 400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found",
                  429: "Too Many Requests"}[status]
        self.request.sendall(("HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %d\r\n%sConnection: close\r\n\r\n"
                              % (status, reason, ctype, len(body), extra)).encode() + body)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, default=8099)
    p.add_argument("--pair", action="store_true")
    p.add_argument("--read-only", action="store_true")
    p.add_argument("--no-venue", action="store_true")
    opts = p.parse_args()
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", opts.port), Handler)
    server.daemon_threads = True
    server.opts = opts
    threading.Thread(target=meters, args=(opts,), daemon=True).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
