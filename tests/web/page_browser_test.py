#!/usr/bin/python3
"""The tablet page in a real browser against a real desk.

roomdesk runs offscreen with two simulated speakers placed in one room of a venue; Debian's
chromium, headless and driven through chromium-driver, opens the page the desk serves. The page
must list the room's speakers; a tap on MUTE ALL mutes both simulators; a drag on a volume fader
reaches its simulator; a PEQ handle dragged with a finger (touch events) moves the band's frequency
and gain at the speaker; and a change made meanwhile by another client (roomctl) shows on the page.
Screenshots of the page at phone (390x844) and tablet (1180x820) size go to OUTDIR.

    page_browser_test.py ROOMDESK TARNSIM ROOMCTL OUTDIR

Exits 77 (skipped) when chromium, chromium-driver or selenium is missing.
"""
import json, os, shutil, signal, socket, subprocess, sys, tempfile, time

CHROMIUM, DRIVER = "/usr/bin/chromium", "/usr/bin/chromedriver"
try:
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions import interaction
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.pointer_input import PointerInput
    from selenium.webdriver.common.by import By
except ImportError:
    print("python3-selenium is not installed: the browser test is skipped")
    sys.exit(77)
if not (os.access(CHROMIUM, os.X_OK) and os.access(DRIVER, os.X_OK)):
    print("chromium or chromium-driver is not installed: the browser test is skipped")
    sys.exit(77)

ROOMDESK, TARNSIM, ROOMCTL, OUTDIR = sys.argv[1:5]
FIRST, SECOND = "111111111", "222222222"
VENUE_ID = "{0123ABCD-0000-4000-8000-0000000000CC}"
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def until(probe, seconds=20.0):
    """Asks `probe` again until it answers something true; returns its last answer."""
    end = time.monotonic() + seconds
    while True:
        answer = probe()
        if answer or time.monotonic() > end:
            return answer
        time.sleep(0.1)


home = tempfile.mkdtemp(prefix="page-browser-")
env = dict(os.environ)
env.update({
    "HOME": home, "XDG_CONFIG_HOME": home + "/.config", "XDG_DATA_HOME": home + "/.local/share",
    "XDG_RUNTIME_DIR": home + "/runtime", "APPDATA": home + "/appdata", "QT_QPA_PLATFORM": "offscreen",
    "LKNET_LOOPBACK_ONLY": "1", "LKNET_DISCOVERY_PORT": str(free_port(socket.SOCK_DGRAM)),
    "ROOMDESK_OSC_PORT": str(free_port(socket.SOCK_DGRAM)), "ROOMDESK_WEB_PORT": str(free_port(socket.SOCK_STREAM)),
    "ROOMDESK_WEB_BIND": "127.0.0.1",
})
os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
os.makedirs(OUTDIR, exist_ok=True)
processes = []


def start(program, *args, extra=None):
    process_env = dict(env, **(extra or {}))
    log = open(os.path.join(home, os.path.basename(program) + "-%d.log" % len(processes)), "w")
    processes.append(subprocess.Popen([program, *args], env=process_env, stdout=log, stderr=subprocess.STDOUT))
    return processes[-1]


def roomctl(*args):
    run = subprocess.run([ROOMCTL, *args], env=env, capture_output=True, text=True, timeout=30)
    return run.stdout.strip() if run.returncode == 0 else None


def desk(*args):
    return roomctl("desk", "--port", env["ROOMDESK_OSC_PORT"], *args)


def number(text):
    try:
        return float(str(text).split()[0])
    except (ValueError, IndexError):
        return None


driver = None
try:
    # Two speakers in the room "Stage", one group.
    for serial in (FIRST, SECOND):
        start(TARNSIM, "TX20A", extra={"TARNSIM_SERIAL": serial, "APPDATA": home + "/sim-" + serial})
    venues = os.path.join(home, "Documents", "Vellaris", "Ambrel", "Venues")
    os.makedirs(venues)
    with open(os.path.join(venues, "Browser Venue_%s.venue" % VENUE_ID), "w") as f:
        json.dump({"venueID": VENUE_ID, "title": "Browser Venue", "rooms": [{
            "roomID": "{0123ABCD-0000-4000-8000-0000000000C1}", "title": "Stage",
            "groups": [{"type": 3, "positions": [{"speakerID": FIRST, "speaker": {}},
                                                 {"speakerID": SECOND, "speaker": {}}]}]}]}, f)
    start(ROOMDESK)
    entry = "/roomdesk/VenueManager/HistoryList/Browser Venue_%s/loadVenue" % VENUE_ID
    if not check(until(lambda: desk("invoke", entry) is not None, 30) is not False
                 and until(lambda: desk("get", "/speaker/%s/line/ch1/volume" % SECOND), 30) is not None,
                 "the desk opened the venue and mirrors both speakers"):
        raise SystemExit(1)
    for serial in (FIRST, SECOND):
        roomctl("set", serial, "line/ch1/volume", "-6")
        roomctl("set", serial, "line/ch1/mute", "Off")

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                "--disable-dev-shm-usage", "--user-data-dir=" + home + "/chromium"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    url = "http://127.0.0.1:%s/" % env["ROOMDESK_WEB_PORT"]

    def size(w, h):
        # Headless, the window has no frame: make the page itself w x h.
        driver.set_window_rect(width=w, height=h)
        inner = driver.execute_script("return [innerWidth, innerHeight]")
        driver.set_window_rect(width=2 * w - inner[0], height=2 * h - inner[1])

    def tile(serial):
        for node in driver.find_elements(By.CSS_SELECTOR, ".tile"):
            if serial in node.find_element(By.CSS_SELECTOR, ".serial").text:
                return node
        return None

    def button(text):
        for node in driver.find_elements(By.CSS_SELECTOR, "button"):
            if node.text.strip() == text and node.is_displayed():
                return node
        return None

    size(390, 844)
    driver.get(url)
    check(until(lambda: tile(FIRST) and tile(SECOND)), "the page lists the room's two speakers")
    driver.save_screenshot(os.path.join(OUTDIR, "phone-room.png"))

    # MUTE ALL mutes both speakers; a second tap lets them play again.
    mute_all = until(lambda: button("MUTE ALL"))
    if check(mute_all is not None, "the room's MUTE ALL is on the page"):
        mute_all.click()
        check(until(lambda: all(roomctl("get", s, "line/ch1/mute") == "On" for s in (FIRST, SECOND))),
              "a tap on MUTE ALL mutes both simulators")
        all_muted = until(lambda: button("ALL MUTED"))
        if check(all_muted is not None, "the page shows the room muted"):
            all_muted.click()
            check(until(lambda: all(roomctl("get", s, "line/ch1/mute") == "Off" for s in (FIRST, SECOND))),
                  "a second tap lets both play again")

    # A drag on the first speaker's volume fader, to the left: quieter at the simulator.
    before = number(roomctl("get", FIRST, "line/ch1/volume"))
    thumb = tile(FIRST).find_element(By.CSS_SELECTOR, ".fader .thumb")
    ActionChains(driver).click_and_hold(thumb).pause(0.1).move_by_offset(-30, 0).pause(0.1) \
        .move_by_offset(-30, 0).pause(0.2).release().perform()
    after = until(lambda: (lambda v: v if v is not None and v < before - 1 else None)(
        number(roomctl("get", FIRST, "line/ch1/volume"))))
    check(after is not None, "a drag on the volume fader reaches the simulator (%s dB -> %s dB)" % (before, after))

    # A change made elsewhere shows on the page.
    roomctl("set", SECOND, "line/ch1/volume", "-20")
    check(until(lambda: "-20.00 dB" in tile(SECOND).find_element(By.CSS_SELECTOR, ".fader-text").text),
          "a roomctl set on the second speaker shows on the page")

    size(1180, 820)
    driver.get(url)
    until(lambda: tile(FIRST))
    time.sleep(0.5)
    driver.save_screenshot(os.path.join(OUTDIR, "tablet-room.png"))

    # The first speaker's PEQ: band 1's handle dragged by a finger, right and up.
    eq = "line/ch1/eq/"
    roomctl("set", FIRST, eq + "eqallon", "On")
    roomctl("set", FIRST, eq + "eqbandon1", "On")
    freq0, gain0 = number(roomctl("get", FIRST, eq + "eqfreq1")), number(roomctl("get", FIRST, eq + "eqgain1"))
    driver.get(url + "#speaker=%s/peq" % FIRST)
    driver.refresh()
    canvas = until(lambda: next((c for c in driver.find_elements(By.CSS_SELECTOR, ".speaker-panel .curve canvas")
                                 if c.is_displayed() and c.size["width"] > 100), None))
    if check(canvas is not None, "the speaker's PEQ curve is on the page"):
        time.sleep(1.0)  # the curve and its handles arrive
        # Where the page draws band 1: its own axes, from its own scale module.
        start_x, start_y = driver.execute_async_script("""
            const [canvas, freq, gain, done] = arguments;
            import("/scale.js").then(({ makeAxes }) => {
                const a = makeAxes(canvas.clientWidth, canvas.clientHeight);
                done([a.x(freq) - canvas.clientWidth / 2, a.y(gain) - canvas.clientHeight / 2]);
            });""", canvas, freq0, gain0)
        finger = PointerInput(interaction.POINTER_TOUCH, "finger")
        touch = ActionBuilder(driver, mouse=finger)
        touch.pointer_action.move_to(canvas, int(start_x), int(start_y)).pointer_down()
        for step in range(1, 6):
            touch.pointer_action.pause(0.05).move_to(canvas, int(start_x + 16 * step), int(start_y - 8 * step))
        touch.pointer_action.pause(0.2).pointer_up()
        touch.perform()
        moved = until(lambda: (lambda f, g: (f, g) if f and g is not None and f > freq0 * 1.1 and g > gain0 + 1 else None)(
            number(roomctl("get", FIRST, eq + "eqfreq1")), number(roomctl("get", FIRST, eq + "eqgain1"))))
        check(moved is not None, "a finger on band 1's handle moves eq/eqfreq1 and eq/eqgain1 (from %s Hz, %s dB to %s)"
              % (freq0, gain0, moved))
        time.sleep(0.5)
        driver.save_screenshot(os.path.join(OUTDIR, "tablet-peq.png"))
        size(390, 844)
        driver.refresh()
        time.sleep(1.5)
        driver.save_screenshot(os.path.join(OUTDIR, "phone-peq.png"))
    errors = [e["message"] for e in driver.get_log("browser") if e.get("level") == "SEVERE"]
    check(not errors, "the page logged no errors %s" % errors)
    print("screenshots in", OUTDIR)
except WebDriverException as error:
    check(False, "the browser: %s" % error.msg)
finally:
    if driver:
        driver.quit()
    for process in reversed(processes):
        process.send_signal(signal.SIGTERM)
    for process in reversed(processes):
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
    if failures:
        for name in sorted(os.listdir(home)):
            if name.endswith(".log"):
                print("---", name)
                print(open(os.path.join(home, name), errors="replace").read()[-3000:])
    shutil.rmtree(home, ignore_errors=True)
sys.exit(1 if failures else 0)
