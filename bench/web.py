#!/usr/bin/env python3
"""The web page's benchmark: navigation to the first question painted against an
almost empty page (one line of text), in the same headless Chromium, the two
pages taking turns. Prints table rows in bench/run's style; judges nothing.

Usage: bench/web.py DYR SET WORKDIR ROUNDS
Exits 77 where Chromium, chromedriver or python3-selenium is missing.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

if len(sys.argv) != 5:
    print(__doc__, file=sys.stderr)
    sys.exit(2)
DYR, SET, WORK, ROUNDS = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
except ImportError:
    print("bench/web.py: python3-selenium is missing; the web page is not measured",
          file=sys.stderr)
    sys.exit(77)
chromium = shutil.which("chromium")
chromedriver = shutil.which("chromedriver")
if not chromium or not chromedriver:
    print("bench/web.py: chromium or chromedriver is missing; the web page is not measured",
          file=sys.stderr)
    sys.exit(77)

os.makedirs(WORK, exist_ok=True)
page = os.path.join(WORK, "kviz.html")
subprocess.run([DYR, "export", "html", SET, page], check=True, capture_output=True)
empty = os.path.join(WORK, "empty.html")
with open(empty, "w", encoding="utf-8") as f:
    f.write('<!DOCTYPE html>\n<html lang="sr"><head><meta charset="utf-8"><title>x</title>'
            "</head><body><p>x</p></body></html>\n")

options = webdriver.ChromeOptions()
options.binary_location = chromium
for argument in ["--headless", "--no-sandbox", "--disable-gpu",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--no-first-run", "--window-size=1280,800",
                 "--user-data-dir=" + tempfile.mkdtemp(dir=WORK)]:
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service(chromedriver), options=options)

# The first contentful paint, from the start of the navigation: on the quiz's page the
# first question is in the markup, so this is the paint that shows it.
FIRST_PAINT = """
const done = arguments[arguments.length - 1];
new PerformanceObserver((list, observer) => {
  for (const entry of list.getEntries()) {
    if (entry.name === 'first-contentful-paint') { observer.disconnect(); done(entry.startTime); }
  }
}).observe({type: 'paint', buffered: true});
"""


def measure(path):
    driver.get("about:blank")
    driver.get("file://" + path)
    return driver.execute_async_script(FIRST_PAINT)


times = {"empty": [], "quiz": []}
try:
    measure(empty)
    measure(page)  # warms the browser's own start-up
    for _ in range(ROUNDS):
        for name, path in (("empty", empty), ("quiz", page)):
            times[name].append(measure(path))
finally:
    driver.quit()

base = statistics.median(times["empty"])
ours = statistics.median(times["quiz"])
rows = [("web page: navigation to first paint, empty", times["empty"], None),
        ("web page: navigation to first question", times["quiz"], base)]
for what, values, baseline in rows:
    line = "| %-46s | %-4s | %9.3g | %9.3g |" % (what, "ms", min(values),
                                                 statistics.median(values))
    if baseline is None:
        line += " %9s | %6s | %9s | %-8s | %-7s |" % ("", "", "", "", "")
    else:
        ratio = ours / baseline
        line += " %9.3g | %5.2fx | %8.2fx | %-8s | %-7s |" % (
            baseline, ratio, min(values) / min(times["empty"]), "<= 1.2x",
            "met" if ratio <= 1.2 else "not met")
    print(line)
print("| %-46s | %-4s | %9d | %9s | %9s | %6s | %9s | %-8s | %-7s |" % (
    "web page: size of varnikol's page", "B", os.path.getsize(page), "", "", "", "",
    "<= 64 KB", "met" if os.path.getsize(page) <= 64 * 1024 else "not met"))
