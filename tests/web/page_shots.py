#!/usr/bin/python3
"""Test tool only: screenshots of the tablet page in Debian's chromium (headless, through
chromium-driver and python3-selenium) at phone portrait (390x844) and tablet landscape (1180x820):
the room, then each tab of one speaker's panel.

    python3 tests/web/page_shots.py URL SERIAL OUTDIR [PAIRING_URL]
    e.g. http://127.0.0.1:8099/ 111111111 shots/web http://127.0.0.1:8098/
PAIRING_URL, a desk that asks for the code, adds the pairing screen.
"""
import os, sys, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

url, serial, out = sys.argv[1], sys.argv[2], sys.argv[3]
pairing = sys.argv[4] if len(sys.argv) > 4 else ""
os.makedirs(out, exist_ok=True)
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars"):
    options.add_argument(arg)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    for name, (w, h) in (("phone", (390, 844)), ("tablet", (1180, 820))):
        driver.set_window_rect(width=w, height=h)
        # The window's outer size holds no browser frame headless; make the page itself w × h.
        inner = driver.execute_script("return [innerWidth, innerHeight]")
        driver.set_window_rect(width=2 * w - inner[0], height=2 * h - inner[1])
        driver.get(url)
        time.sleep(1.5)
        driver.save_screenshot(os.path.join(out, "%s-room.png" % name))
        for tab in ("main", "peq", "notch", "geq", "limiter", "presets"):
            driver.get(url.rstrip("/") + "/#speaker=%s/%s" % (serial, tab))
            driver.refresh()
            time.sleep(1.2)
            driver.save_screenshot(os.path.join(out, "%s-%s.png" % (name, tab)))
        if pairing:
            driver.get(pairing)
            time.sleep(1.5)
            driver.save_screenshot(os.path.join(out, "%s-pairing.png" % name))
    print("screenshots in", out)
finally:
    driver.quit()
