#!/usr/bin/env python3
"""The quiz as a web page (dyr export html), played in headless Chromium.

Usage: tst_web.py DYR AXE WORKDIR [TEST...]
  DYR      the dyr program
  AXE      axe-core's axe.min.js (tests/web: npm ci)
  WORKDIR  a folder for the sets, the pages and the browser's profile

Plays whole quizzes with the mouse and with the keyboard at desktop and phone
sizes, the table of odd sets (tests/data/oddsets.json, which the quiz window and
the quiz's rules play too), "Ponovo" and reduced motion; the review and the
result to post after the score, pages that draw and shuffle, reloads, and the
printed sheet. Checks that the page asks nothing of the network and that axe-core
finds no violation in each state. Exits 77 (skipped) where Chromium,
chromedriver, selenium or axe-core is missing.
"""
import base64
import functools
import json
import http.server
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SKIP = 77


def skip(reason):
    print("tst_web: skipped: " + reason)
    sys.exit(SKIP)


if len(sys.argv) < 4:
    print(__doc__, file=sys.stderr)
    sys.exit(2)
DYR, AXE, WORK = sys.argv[1:4]
del sys.argv[1:4]  # what follows goes to unittest (a test's name, -v)

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    skip("python3-selenium is not installed (apt-get install python3-selenium)")
CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
CHROMEDRIVER = shutil.which("chromedriver")
if not CHROMIUM or not CHROMEDRIVER:
    skip("chromium or chromedriver is missing (apt-get install chromium chromium-driver)")
if not os.path.isfile(AXE):
    skip("axe-core is missing: run 'npm ci' in tests/web")

TITLE = "[qo] Kviz"
HEADING = "Pogresne odgovore ste dali na pitanjima "
# The shipped set's right answers, records 1 to 5.
VARNIKOL_RIGHT = [1, 2, 0, 3, 1]
SIZES = {"desktop": (1280, 800, False), "zoom 200%": (640, 400, False),
         "phone": (360, 740, True), "narrow phone": (320, 568, True)}


def record(n, number, correct="A", question=None):
    question = question or "Pitanje broj %d?" % n
    return ("number: %s\nquestion: %s\na: Prvi %d\nb: Drugi %d\nc: Treci %d\nd: Cetvrti %d\n"
            "correct: %s\n\n" % (number, question, n, n, n, n, correct))


# Sets in dyr's text form, each built into a set and exported as a page.
SETS = {
    "early": "".join(record(n, num) for n, num in enumerate(["1", "2", "5", "4", "5"], 1)),
    "texts": record(1, "1", "C", "<b>Tom & Jerry</b> \u0161\u0111\u010d\u0107\u017e "
                    "\u0160\u0110\u010c\u0106\u017d?") + "".join(
        record(n, str(n)) for n in range(2, 6)),
    "twenty": "".join(record(n, str(n), "ABCD"[n % 4]) for n in range(1, 21)),
}
# Pages written with export's options: name, set, options.
OPTION_PAGES = {
    "draw3": ("twenty", ["--draw", "3"]),
    "shuffled": ("varnikol", ["--shuffle", "--title", "Forumski kviz"]),
    "drawn-shuffled": ("twenty", ["--draw=4", "--shuffle"]),
}


with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "oddsets.json"),
          encoding="utf-8") as f:
    ODD_SETS = json.load(f)["sets"]


def set_bytes(records):
    """A set file of the table's records, as tests/testsupport.cpp makes them."""
    def field(text, width):
        if text is None:
            return bytes(width)  # never filled: NUL bytes
        return text.encode("cp1250")[:width].ljust(width, b" ")
    out = b""
    for place, fields in enumerate(records, 1):
        number, correct = fields[0], fields[1]
        question = fields[2] if len(fields) > 2 else "Pitanje broj %d?" % place
        out += field(number, 10) + field(question, 80) + struct.pack("<h", correct)
        for letter in "ABCD":
            out += field("Odgovor %s %d" % (letter, place), 80)
    return out


class Server(http.server.ThreadingHTTPServer):
    """Serves the pages and remembers every path asked for."""

    def __init__(self, folder):
        self.paths = []
        handler = functools.partial(self.Handler, directory=folder)
        super().__init__(("127.0.0.1", 0), handler)

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            self.server.paths.append(self.path)


class WebPage(unittest.TestCase):
    opened = 0

    @classmethod
    def setUpClass(cls):
        cls.pages = os.path.join(WORK, "pages")
        shutil.rmtree(WORK, ignore_errors=True)
        os.makedirs(cls.pages)
        sources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "sets")
        texts = dict(SETS)
        with open(os.path.join(sources, "varnikol.txt"), encoding="utf-8") as f:
            texts["varnikol"] = f.read()
        for name, text in texts.items():
            source = os.path.join(WORK, name + ".txt")
            with open(source, "w", encoding="utf-8") as f:
                f.write(text)
            dyr_set = os.path.join(WORK, name + ".dyr")
            subprocess.run([DYR, "build", source, dyr_set], check=True, capture_output=True)
            subprocess.run([DYR, "export", "html", dyr_set, os.path.join(cls.pages, name + ".html")],
                           check=True, capture_output=True)
        for name, (source, options) in OPTION_PAGES.items():
            subprocess.run([DYR, "export", "html"] + options + [
                os.path.join(WORK, source + ".dyr"), os.path.join(cls.pages, name + ".html")],
                check=True, capture_output=True)
        with open(os.path.join(cls.pages, "blank.html"), "w", encoding="utf-8") as f:
            f.write("<!DOCTYPE html><title>x</title>")
        # The shipped set's questions, for telling answers by their text.
        cls.varnikol = []
        for block in texts["varnikol"].split("\n\n"):
            fields = dict(line.split(": ", 1) for line in block.splitlines()
                          if ": " in line and not line.startswith("#"))
            if "question" in fields:
                cls.varnikol.append((fields["question"], [fields[c] for c in "abcd"],
                                     "ABCD".index(fields["correct"])))
        # The odd sets: the page of each, or dyr's refusal.
        cls.refusals = {}
        for k, row in enumerate(ODD_SETS):
            dyr_set = os.path.join(WORK, "odd%d.dyr" % k)
            with open(dyr_set, "wb") as f:
                f.write(set_bytes(row["records"]))
            done = subprocess.run([DYR, "export", "html", dyr_set,
                                   os.path.join(cls.pages, "odd%d.html" % k)],
                                  capture_output=True, text=True)
            cls.refusals[k] = (done.returncode, done.stderr)
        with open(AXE, encoding="utf-8") as f:
            cls.axe = f.read()

        cls.server = Server(cls.pages)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ["--headless", "--no-sandbox", "--disable-gpu",
                         "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", "--no-first-run", "--disable-dev-shm-usage",
                         "--user-data-dir=" + tempfile.mkdtemp(dir=WORK),
                         "--window-size=1280,800"]:
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        cls.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        cls.driver.set_script_timeout(30)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()

    # -- driving the page ----------------------------------------------------

    def open(self, name="varnikol", size="desktop", reduced=False, keep=False):
        width, height, mobile = SIZES[size]
        d = self.driver
        if not keep:
            # Every test starts without an attempt kept in the tab from an earlier one.
            d.get("http://127.0.0.1:%d/blank.html" % self.server.server_port)
            d.execute_script("try { sessionStorage.clear(); } catch (e) { /* refused */ }")
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": width, "height": height, "deviceScaleFactor": 1,
                           "mobile": mobile})
        d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "", "features": [
            {"name": "prefers-reduced-motion", "value": "reduce" if reduced else ""}]})
        d.get_log("performance")
        d.get_log("browser")
        del self.server.paths[:]
        # A query of its own each time, so that the page comes from the server, not a cache.
        WebPage.opened += 1
        self.url = "http://127.0.0.1:%d/%s.html?%d" % (self.server.server_port, name, self.opened)
        d.get(self.url)
        self.until(lambda: d.execute_script("return document.documentElement.className")
                   == "ready")

    def until(self, condition, timeout=6.0):
        end = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > end:
                self.fail("timed out waiting")
            time.sleep(0.03)

    def by_id(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    def text(self, element_id):
        return self.driver.execute_script(
            "return document.getElementById(arguments[0]).textContent", element_id)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def dialog(self):
        """The open message box as (title, prompt), after checking that it is modal
        and that its OK has the focus."""
        state = self.until(lambda: self.js(
            "const d = document.getElementById('poruka');"
            "return d.open && [d.matches(':modal'), document.activeElement.id,"
            " document.getElementById('naslov').textContent,"
            " document.getElementById('tekst').textContent]"))
        self.assertEqual(state[:2], [True, "ok"])
        return tuple(state[2:])

    def close_dialog(self, key=Keys.ENTER):
        ActionChains(self.driver).send_keys(key).perform()
        self.until(lambda: not self.js("return document.getElementById('poruka').open"))

    def click_answer(self, index):
        self.driver.find_element(By.ID, "t%d" % index).click()

    def answer_with_mouse(self, index):
        self.click_answer(index)
        self.by_id("sledece").click()
        verdict = self.dialog()
        self.by_id("ok").click()
        self.until(lambda: not self.js("return document.getElementById('poruka').open"))
        return verdict

    def play(self, answers):
        """Answers the questions on screen one after another, as the mouse would (a
        click on the answer, on "Sledece", on the box's OK), and gives for each the
        question's number, its text, its four answers as shown and the verdict."""
        return self.js("""
            const $ = (id) => document.getElementById(id);
            return arguments[0].map((chosen) => {
              const shown = [$("broj").textContent, $("pitanje").textContent,
                             [0, 1, 2, 3].map((i) => $("t" + i).textContent)];
              $("t" + chosen).click();
              $("sledece").click();
              const verdict = $("tekst").textContent;
              $("ok").click();
              return shown.concat([verdict === "TACAN odgovor"]);
            });""", answers)

    def shown_answers(self):
        return [self.text("t%d" % i) for i in range(4)]

    def visible(self, selector):
        return [e for e in self.driver.find_elements(By.CSS_SELECTOR, selector)
                if e.is_displayed()]

    def score(self):
        self.until(lambda: self.by_id("frame2").get_attribute("aria-hidden") is None)
        return [self.text("label6"), self.text("label7"), self.text("label8")]

    def assert_quiet(self):
        """Nothing was asked of the network but the page itself, and the browser logged
        no error (a blocked request or a script error)."""
        self.assertEqual(self.server.paths, ["/" + self.url.rsplit("/", 1)[1]])
        requests = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"]
                if url != self.url and not url.startswith("data:"):
                    requests.append(url)
        self.assertEqual(requests, [])
        errors = [e["message"] for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def assert_axe_clean(self, state):
        result = self.driver.execute_async_script(
            self.axe + "\n;const done = arguments[arguments.length - 1];"
            "axe.run(document).then(r => done(r.violations.map(v => v.id + ': ' + "
            "v.nodes.map(n => n.target.join(' ')).join(', '))), e => done(['axe: ' + e]));")
        self.assertEqual(result, [], state)

    def assert_fits(self, size):
        self.assertLessEqual(self.js("return document.documentElement.scrollWidth"),
                             SIZES[size][0], size + ": scrolls sideways")

    # -- the tests -----------------------------------------------------------

    def test_whole_quiz_with_the_mouse(self):
        rows = [  # size, answers given, score lines
            ("desktop", VARNIKOL_RIGHT, ["pogodili ste 5 pitanja!", "a 0 niste!", ""]),
            ("phone", [1, 0, 0, 0, 1],
             ["pogodili ste 3 pitanja!", "a 2 niste!", HEADING + "2, 4, ..."]),
            ("zoom 200%", [0, 0, 1, 0, 0],
             ["pogodili ste 0 pitanja!", "a 5 niste!", HEADING + "1, 2, 3, 4, 5, ..."]),
            ("narrow phone", [1, 2, 0, 3, 0],
             ["pogodili ste 4 pitanja!", "a 1 niste!", HEADING + "5, ..."]),
        ]
        for size, answers, lines in rows:
            with self.subTest(size=size):
                self.open("varnikol", size)
                self.assert_fits(size)
                for k, chosen in enumerate(answers):
                    self.assertEqual(self.text("broj"), "Pitanje %d" % (k + 1))
                    self.assertEqual(self.js("return document.querySelectorAll("
                                             "'input:checked').length"), 0)
                    right = chosen == VARNIKOL_RIGHT[k]
                    self.assertEqual(self.answer_with_mouse(chosen),
                                     (TITLE, "TACAN odgovor" if right else "POGRESAN odgovor"))
                self.assertFalse(self.by_id("sledece").is_enabled())
                self.assertEqual(self.score(), lines)
                self.assertEqual(self.text("najava"),
                                 " ".join(["Ukupan skor"] + lines).strip())
                self.assert_fits(size)
                self.assert_quiet()

    def test_whole_quiz_with_the_keyboard(self):
        self.open("varnikol")
        keys = ActionChains(self.driver)
        # Nothing chosen: Enter tells to choose; Esc closes, nothing changes.
        keys.send_keys(Keys.TAB).perform()
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "o0")
        ActionChains(self.driver).send_keys(Keys.ENTER).perform()
        self.assertEqual(self.dialog(), ("Greska", "Izaberite odgovor na pitanje"))
        self.close_dialog(Keys.ESCAPE)
        self.assertEqual(self.text("broj"), "Pitanje 1")
        # An arrow, then digits and letters choose; Enter answers; Enter or Esc closes.
        rows = [([Keys.ARROW_DOWN], 1, "TACAN odgovor", Keys.ENTER),
                (["3"], 2, "TACAN odgovor", Keys.ESCAPE),
                (["b"], 1, "POGRESAN odgovor", Keys.ENTER),
                (["4"], 3, "TACAN odgovor", Keys.ENTER),
                (["A"], 0, "POGRESAN odgovor", Keys.ESCAPE)]
        for k, (press, chosen, verdict, close) in enumerate(rows):
            self.assertEqual(self.text("broj"), "Pitanje %d" % (k + 1))
            ActionChains(self.driver).send_keys(*press).perform()
            self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                             "o%d" % chosen)
            self.assertTrue(self.by_id("o%d" % chosen).is_selected())
            ActionChains(self.driver).send_keys(Keys.ENTER).perform()
            self.assertEqual(self.dialog(), (TITLE, verdict))
            self.close_dialog(close)
        self.assertEqual(self.score(),
                         ["pogodili ste 3 pitanja!", "a 2 niste!", HEADING + "3, 5, ..."])
        # The focus waits on "Ponovo"; Enter starts anew.
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "ponovo")
        ActionChains(self.driver).send_keys(Keys.ENTER).perform()
        self.assertEqual(self.text("broj"), "Pitanje 1")
        self.assertTrue(self.by_id("sledece").is_enabled())
        self.assert_quiet()

    def test_screen_reader_names(self):
        self.open("varnikol")
        group = self.driver.find_element(By.CSS_SELECTOR, "[role=radiogroup]")
        self.assertEqual(group.aria_role, "radiogroup")
        self.assertEqual(group.accessible_name,
                         "Pitanje 1 Sta znaci kada neko na forumu pise SVIM VELIKIM SLOVIMA?")
        names = [self.by_id("o%d" % i).accessible_name for i in range(4)]
        self.assertEqual(names, ["(A) Da mu je pokvarena tastatura", "(B) Da vice na sagovornike",
                                 "(C) Da je on administrator foruma",
                                 "(D) Da je to najvaznija tema dana"])
        self.assertEqual([self.by_id("o%d" % i).aria_role for i in range(4)], ["radio"] * 4)
        self.assertEqual(self.by_id("frame2").get_attribute("aria-hidden"), "true")
        self.assertEqual(self.by_id("tekst").get_attribute("role"), "alert")
        self.assertEqual(self.by_id("najava").get_attribute("aria-live"), "polite")

    def test_odd_sets(self):
        """The table the quiz window and the quiz's rules play: the same questions,
        verdicts and score lines; the page names a faulty question on it."""
        for k, row in enumerate(ODD_SETS):
            with self.subTest(set=row["name"]):
                status, err = self.refusals[k]
                if "refused" in row:
                    self.assertEqual(status, 1)
                    self.assertIn(row["refused"], err)
                    self.assertFalse(os.path.exists(os.path.join(self.pages, "odd%d.html" % k)))
                    continue
                self.assertEqual(status, 0, err)
                self.open("odd%d" % k, reduced=True)  # the score at once, not after the slide
                # The whole quiz in one go: each answer clicked, "Sledece" clicked, the
                # box read and closed with its OK, as the mouse tests do one by one.
                asked = self.js("""
                    const $ = (id) => document.getElementById(id);
                    return arguments[0].map((chosen) => {
                      const shown = [$("broj").textContent, $("greska").hidden ? null
                                     : $("greska").textContent];
                      $("t" + chosen).click();
                      $("sledece").click();
                      const box = [$("poruka").open, $("naslov").textContent,
                                   $("tekst").textContent];
                      $("ok").click();
                      return shown.concat(box, [$("poruka").open]);
                    });""", row["answers"])
                faulty = {int(o.split()[0]) for o in row["oddities"]
                          if not o.endswith(" EndsEarly")}
                numbers, verdicts = [], []
                for place, (number, fault, opened, title, verdict, still) in enumerate(asked, 1):
                    self.assertEqual((opened, title, still), (True, TITLE, False))
                    self.assertTrue(number.startswith("Pitanje "))
                    numbers.append(number[len("Pitanje "):])
                    verdicts.append(verdict == "TACAN odgovor")
                    if place in faulty:
                        self.assertTrue(fault.startswith("Greska u pitanju %d: " % place), fault)
                    else:
                        self.assertIsNone(fault)
                self.assertEqual(numbers, row["numbers"])
                self.assertEqual(verdicts, row["verdicts"])
                self.assertFalse(self.by_id("sledece").is_enabled())
                self.assertEqual(self.score(), row["score"])
                if row["name"] == "a number that is none and no right answer":
                    self.assert_axe_clean(row["name"])
                self.assert_quiet()

    def test_texts_are_exact(self):
        self.open("texts")
        self.assertEqual(self.text("pitanje"), "<b>Tom & Jerry</b> \u0161\u0111\u010d\u0107\u017e "
                         "\u0160\u0110\u010c\u0106\u017d?")
        self.assertEqual(self.js("return document.getElementById('pitanje').childElementCount"), 0)
        self.assertEqual([self.text("t%d" % i) for i in range(4)],
                         ["Prvi 1", "Drugi 1", "Treci 1", "Cetvrti 1"])
        self.assertEqual(self.answer_with_mouse(2), (TITLE, "TACAN odgovor"))
        self.assertEqual(self.text("broj"), "Pitanje 2")

    def test_ponovo_starts_anew_and_carries_title_and_icon(self):
        self.open("early")
        # The faces' pictures come once the first question is on the screen.
        faces = self.until(lambda: self.js(
            "const f = Array.from(document.querySelectorAll('.faces img'), i => i.src);"
            "return f.every((src) => src.startsWith('data:image/png')) && f"))
        # Every tick, as the title and icon it leaves; "|" where a message box closes.
        self.js("""window.seen = [];
            const link = document.querySelector('link[rel=icon]');
            new MutationObserver(() => window.seen.push([document.title, link.href]))
                .observe(link, {attributes: true});
            document.getElementById('poruka').addEventListener('close', () => seen.push('|'));
            document.addEventListener('click', (e) => {
                if (e.target.closest('#ponovo')) seen.push('P');
            }, true);""")

        def ticks_after(mark, count):
            def after():
                seen = self.js("return window.seen")
                rest = seen[len(seen) - seen[::-1].index(mark):]
                return len(rest) >= count and [(t, faces.index(i)) for t, i in rest[:count]]
            return self.until(after, timeout=4)

        for _ in range(3):
            self.answer_with_mouse(1)
        # The tally leaves the title's position at 5: the next tick shows six characters.
        seen = ticks_after("|", 2)
        self.assertEqual([title for title, _ in seen], [TITLE[:6], TITLE[:7]])
        self.assertEqual((seen[0][1] + 1) % 8, seen[1][1])
        self.score()
        self.by_id("ponovo").click()
        self.assertEqual(self.text("broj"), "Pitanje 1")
        self.assertEqual(self.js("return document.title"), TITLE)
        self.assertTrue(self.by_id("sledece").is_enabled())
        self.assertEqual(self.by_id("frame2").get_attribute("aria-hidden"), "true")
        self.assertIsNone(self.by_id("frame1").get_attribute("aria-hidden"))
        self.assertEqual(self.text("label8"), HEADING)
        # Title and icon go on from where they stood: the icon the new quiz shows first
        # is the last one, and the next tick steps on from both.
        before = self.js("return window.seen.slice(0, window.seen.lastIndexOf('P'))")
        title, face = before[-1]
        (shown_title, shown_face), (next_title, next_face) = ticks_after("P", 2)
        self.assertEqual((shown_title, shown_face), (TITLE, faces.index(face)))
        self.assertEqual(next_face, (faces.index(face) + 1) % 8)
        position = 0 if title == "" else len(title) if title != TITLE else None
        if position is not None:
            self.assertEqual(next_title, TITLE[:position + 1])
        # A new quiz counts from nothing.
        for answer in [0, 0, 0]:
            self.answer_with_mouse(answer)
        self.assertEqual(self.score(),
                         ["pogodili ste 3 pitanja!", "a 2 niste!", HEADING + "4, 5, ..."])
        self.assert_quiet()

    def test_motion(self):
        rows = [(False, 1.5), (True, 0)]  # reduced motion, the least time the slide takes
        for reduced, slide in rows:
            with self.subTest(reduced=reduced):
                self.open("early", reduced=reduced)
                titles = set()
                for _ in range(3):
                    self.answer_with_mouse(0)
                start = time.monotonic()
                # The panel is hidden from assistive technology until it has arrived.
                while self.by_id("frame2").get_attribute("aria-hidden") == "true":
                    titles.add(self.js("return document.title"))
                    time.sleep(0.03)
                took = time.monotonic() - start
                self.assertGreaterEqual(took, slide)
                self.assertLess(took, slide + 2)
                transform = self.js("return getComputedStyle(document.getElementById('frame2'))"
                                    ".transform")
                self.assertIn(transform, ("none", "matrix(1, 0, 0, 1, 0, 0)"))
                end = time.monotonic() + 2
                while time.monotonic() < end:
                    titles.add(self.js("return document.title"))
                    time.sleep(0.05)
                if reduced:
                    self.assertEqual(titles, {TITLE})
                else:
                    self.assertGreater(len(titles), 1)
                    self.assertTrue(all(TITLE.startswith(t) for t in titles))

    def test_review(self):
        """After the score, and not before: every question, the answer given, the right
        one where it was wrong, in words; reached from the keyboard; on a phone."""
        for size in ["desktop", "phone", "zoom 200%"]:
            with self.subTest(size=size):
                # The panel slides on a desktop; elsewhere it is there at once.
                self.open("varnikol", size, reduced=size != "desktop")
                self.assertFalse(self.by_id("posle").is_displayed())
                self.play([1, 0, 0, 0])
                self.assertFalse(self.by_id("pregled").is_displayed())
                self.answer_with_mouse(1)
                self.score()
                # From "Ponovo", where the focus waits, back to the review's button.
                self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                                 "ponovo")
                ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB, Keys.TAB) \
                    .key_up(Keys.SHIFT).perform()
                self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                                 "pregled")
                self.assertEqual(self.by_id("pregled").get_attribute("aria-expanded"), "false")
                ActionChains(self.driver).send_keys(Keys.ENTER).perform()
                self.assertEqual(self.by_id("pregled").get_attribute("aria-expanded"), "true")
                self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                                 "pregled-naslov")
                items = self.driver.find_elements(By.CSS_SELECTOR, "#pregled-lista > li")
                self.assertEqual(self.by_id("pregled-lista").aria_role, "list")
                self.assertEqual([i.aria_role for i in items], ["listitem"] * 5)
                given = [1, 0, 0, 0, 1]
                for k, item in enumerate(items):
                    question, answers, right = self.varnikol[k]
                    lines = item.text.split("\n")
                    expected = ["Pitanje %d: %s" % (k + 1, question),
                                "Vas odgovor: (%s) %s" % ("ABCD"[given[k]], answers[given[k]])]
                    if given[k] != right:
                        expected.append("Tacan odgovor: (%s) %s" % ("ABCD"[right], answers[right]))
                    expected.append("Tacno" if given[k] == right else "Netacno")
                    self.assertEqual(lines, expected)
                self.assert_fits(size)
                self.assert_axe_clean(size + ": the review")
                # Again closes it.
                self.by_id("pregled").click()
                self.assertFalse(self.by_id("pregled-odgovora").is_displayed())
                self.assert_quiet()

    def test_result_to_post(self):
        """The score for a forum post, on the clipboard, or where the browser refuses
        the clipboard in a box, selected for Ctrl+C; no right answer in it."""
        bbcode = "[b]varnikol[/b]: [b]3 od 5[/b]\nPogresni odgovori na pitanjima: 2, 4"
        plain = "varnikol: 3 od 5\nPogresni odgovori na pitanjima: 2, 4"
        origin = "http://127.0.0.1:%d" % self.server.server_port
        for clipboard in ["granted", "denied"]:
            for size in ["desktop", "phone"]:
                with self.subTest(clipboard=clipboard, size=size):
                    self.open("varnikol", size, reduced=True)
                    self.driver.execute_cdp_cmd("Browser.setPermission", {
                        "origin": origin, "permission": {"name": "clipboard-write"},
                        "setting": clipboard})
                    self.driver.execute_cdp_cmd("Browser.setPermission", {
                        "origin": origin, "permission": {"name": "clipboard-read"},
                        "setting": "granted"})
                    self.play([1, 0, 0, 0, 1])
                    self.score()
                    self.by_id("kopiraj").click()
                    if clipboard == "granted":
                        self.until(lambda: self.text("najava") == "Rezultat je kopiran.")
                        self.assertFalse(self.js("return document.getElementById('rezultat')"
                                                 ".open"))
                        copied = self.driver.execute_async_script("""
                            const done = arguments[arguments.length - 1];
                            navigator.clipboard.read().then(async (items) => {
                              const out = {};
                              for (const type of items[0].types)
                                out[type] = await (await items[0].getType(type)).text();
                              done(out);
                            }, (e) => done(String(e)));""")
                        self.assertEqual(copied["text/plain"], bbcode)
                        self.assertIn("<b>varnikol</b>: <b>3 od 5</b>", copied["text/html"])
                    else:
                        self.until(lambda: self.js("return document.getElementById('rezultat')"
                                                   ".open"))
                        state = self.js("""const b = document.getElementById('bbcode');
                            return [document.activeElement.id, b.value, b.selectionStart,
                                    b.selectionEnd, document.getElementById('obican').value,
                                    document.getElementById('rezultat').matches(':modal')]""")
                        self.assertEqual(state, ["bbcode", bbcode, 0, len(bbcode), plain, True])
                        self.assert_fits(size)
                        self.assert_axe_clean(size + ": the result box")
                        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
                        self.until(lambda: not self.js(
                            "return document.getElementById('rezultat').open"))
                        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                                         "kopiraj")
                    self.assert_quiet()

    def test_draw(self):
        """--draw 3 over a set of twenty: three questions in the set's order, a new draw
        for each attempt, the end after the third."""
        self.open("draw3", reduced=True)
        draws = set()
        for attempt in range(20):
            asked = self.play([0, 1, 2])
            self.assertEqual([a[0] for a in asked], ["Pitanje 1", "Pitanje 2", "Pitanje 3"])
            records = [int(a[1].split()[2].rstrip("?")) for a in asked]
            self.assertEqual(records, sorted(set(records)))
            for (number, question, answers, right), chosen in zip(asked, [0, 1, 2]):
                n = int(question.split()[2].rstrip("?"))
                self.assertEqual(answers, ["Prvi %d" % n, "Drugi %d" % n, "Treci %d" % n,
                                           "Cetvrti %d" % n])
                self.assertEqual(right, chosen == n % 4)
            draws.add(tuple(records))
            self.assertFalse(self.by_id("sledece").is_enabled())
            wrong = [k + 1 for k, a in enumerate(asked) if not a[3]]
            rights = 3 - len(wrong)
            self.assertEqual(self.score(), [
                "pogodili ste %d pitanja!" % rights, "a %d niste!" % len(wrong),
                HEADING + "".join("%d, " % k for k in wrong) + "..." if wrong else ""])
            self.by_id("ponovo").click()
        self.assertGreater(len(draws), 10)
        # A draw larger than the set's questions is refused.
        done = subprocess.run([DYR, "export", "html", "--draw", "21",
                               os.path.join(WORK, "twenty.dyr"), os.path.join(WORK, "x.html")],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("--draw 21", done.stderr)
        self.assertFalse(os.path.exists(os.path.join(WORK, "x.html")))
        self.assert_quiet()

    def test_shuffle(self):
        """--shuffle: the answers in a new order each attempt, the letters on the new
        places, the verdict on the answer itself."""
        self.open("shuffled", reduced=True)
        orders = set()
        for attempt in range(8):
            shown = []
            for k, (question, answers, right) in enumerate(self.varnikol[:5]):
                self.assertEqual(self.text("pitanje"), question)
                on_screen = self.shown_answers()
                self.assertEqual(sorted(on_screen), sorted(answers))
                shown.append(on_screen)
                orders.add(tuple(on_screen))
                # The right answer where it now stands on odd questions, the first
                # place on the others.
                place = on_screen.index(answers[right]) if k % 2 == 0 else 0
                verdict = self.play([place])[0][3]
                self.assertEqual(verdict, on_screen[place] == answers[right])
            self.score()
            self.by_id("pregled").click()
            # The review names each answer by the letter of the place it stood in.
            for item, on_screen, (question, answers, right) in zip(
                    self.driver.find_elements(By.CSS_SELECTOR, "#pregled-lista > li"), shown,
                    self.varnikol):
                for line in item.text.split("\n")[1:-1]:
                    letter, text = line.split(": ", 1)[1].split(" ", 1)
                    self.assertEqual(letter, "(%s)" % "ABCD"[on_screen.index(text)])
            self.by_id("ponovo").click()
        self.assertGreater(len(orders), 5)
        self.assert_quiet()

    def test_reload(self):
        """An attempt survives a reload: in the middle, after its end, and on a page
        that draws and shuffles; where storage is refused the page plays as before."""
        self.open("drawn-shuffled", reduced=True)
        before = self.play([0, 1])
        on_screen = (self.text("broj"), self.text("pitanje"), self.shown_answers())
        self.driver.refresh()
        self.until(lambda: self.js("return document.documentElement.className") == "ready")
        self.assertEqual((self.text("broj"), self.text("pitanje"), self.shown_answers()),
                         on_screen)
        # Opened anew in the same tab (a link to it, its address typed again), after the
        # first paint.
        self.open("drawn-shuffled", reduced=True, keep=True)
        self.until(lambda: (self.text("broj"), self.text("pitanje"), self.shown_answers())
                   == on_screen)
        rest = self.play([2, 3])
        wrong = [k + 1 for k, a in enumerate(before + rest) if not a[3]]
        lines = self.score()
        self.assertEqual(lines[1], "a %d niste!" % len(wrong))
        self.by_id("pregled").click()
        review = self.text("pregled-lista")
        # After the end: the score and the review, at once.
        self.driver.refresh()
        self.until(lambda: self.js("return document.documentElement.className") == "ready")
        self.assertIsNone(self.by_id("frame2").get_attribute("aria-hidden"))
        self.assertEqual([self.text("label6"), self.text("label7"), self.text("label8")], lines)
        self.assertFalse(self.by_id("sledece").is_enabled())
        self.assertTrue(self.by_id("pregled-odgovora").is_displayed())
        self.assertEqual(self.text("pregled-lista"), review)
        self.assert_axe_clean("a finished attempt after a reload")
        # "Ponovo" starts another, which a reload keeps too.
        self.by_id("ponovo").click()
        self.assertEqual(self.text("broj"), "Pitanje 1")
        self.assertFalse(self.by_id("pregled-odgovora").is_displayed())
        first = (self.text("pitanje"), self.shown_answers())
        self.driver.refresh()
        self.until(lambda: self.js("return document.documentElement.className") == "ready")
        self.assertEqual((self.text("pitanje"), self.shown_answers()), first)

        # Storage refused: the page plays, and a reload starts anew.
        refuse = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "Object.defineProperty(window, 'sessionStorage', {get() {"
                      " throw new DOMException('refused', 'SecurityError'); }});"})
        try:
            self.open("varnikol", reduced=True)
            self.play([1, 2])
            self.driver.refresh()
            self.until(lambda: self.js("return document.documentElement.className") == "ready")
            self.assertEqual(self.text("broj"), "Pitanje 1")
            self.play([1, 2, 0, 3, 1])
            self.assertEqual(self.score(), ["pogodili ste 5 pitanja!", "a 0 niste!", ""])
            self.assertEqual([e["message"] for e in self.driver.get_log("browser")
                              if e["level"] == "SEVERE"], [])
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", refuse)

    def test_print(self):
        """Printed, the page is a sheet: every question with its four answers, nothing
        marked, no buttons, faces or boxes, black on white, on A4 and on Letter."""
        self.open("varnikol")
        self.play([1])
        self.click_answer(2)  # chosen, not answered: the sheet shows nothing of it
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        self.assertEqual(self.visible("button, input, img, dialog, legend"), [])
        blocks = self.visible(".sheet-question")
        self.assertEqual(len(blocks), 5)
        for block, (question, answers, right) in zip(blocks, self.varnikol):
            self.assertEqual(block.text.split("\n"),
                             ["Pitanje %d %s" % (blocks.index(block) + 1, question)] +
                             ["(%s) %s" % ("ABCD"[i], a) for i, a in enumerate(answers)])
        colours = self.js("""return Array.from(document.querySelectorAll('.sheet, .sheet *'),
            (e) => getComputedStyle(e).color).concat(getComputedStyle(document.body)
            .backgroundColor)""")
        self.assertEqual(set(colours), {"rgb(0, 0, 0)", "rgb(255, 255, 255)"})
        for paper, (width, height) in {"A4": (8.27, 11.69), "Letter": (8.5, 11)}.items():
            pdf = self.driver.execute_cdp_cmd("Page.printToPDF", {
                "paperWidth": width, "paperHeight": height, "preferCSSPageSize": False})
            pages = re.findall(rb"/Type\s*/Page(?!s)", base64.b64decode(pdf["data"]))
            self.assertEqual(len(pages), 1, paper)

    def test_axe_in_each_state(self):
        for size in ["desktop", "phone"]:
            with self.subTest(size=size):
                self.open("varnikol", size)
                self.assert_axe_clean(size + ": a question")
                self.by_id("sledece").click()
                self.dialog()
                self.assert_axe_clean(size + ": the hint box")
                self.close_dialog()
                for k in range(4):
                    self.answer_with_mouse(VARNIKOL_RIGHT[k])
                self.click_answer(0)
                self.by_id("sledece").click()
                self.dialog()
                self.assert_axe_clean(size + ": the verdict box")
                self.close_dialog()
                self.score()
                self.assert_axe_clean(size + ": the score")
                self.assert_fits(size)
                self.assert_quiet()


if __name__ == "__main__":
    unittest.main(verbosity=2)
