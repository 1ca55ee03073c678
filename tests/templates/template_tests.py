#!/usr/bin/env python3
"""Tests of the six built-in gallery templates.

    template_tests.py placeholders TEMPLATES_DIR
        every template keeps its placeholders, in their places, carries the
        current picture viewer and refers to nothing outside the site
    template_tests.py html5 TEMPLATES_DIR
        every template is valid HTML5 by HTML Tidy
    template_tests.py viewer TOOL PICTURE_MAKER N
        builds a site of three pages with template N, serves it over http and
        drives its picture viewer in headless Chromium at 1366 and 390 pixels
        wide (addresses and Back, the whole album, pictures loaded ahead,
        zoom); opened from disk, it keeps to its page; it stays off when the
        thumbnails link to image pages
    template_tests.py accessibility TOOL PICTURE_MAKER AXE N
        axe-core (AXE is its axe.min.js) on template N's built pages at 1366
        and 390 pixels wide, with the viewer shut and open
    template_tests.py lighthouse TOOL PICTURE_MAKER LIGHTHOUSE
        not a test: Lighthouse's scores of every template, served over http
    template_tests.py screenshots TOOL PICTURE_MAKER OUTDIR
        not a test: screenshots of every template with the viewer open, at
        1366 and 390 pixels wide, for a person to look at

Exit status 77 means a needed program (tidy, chromium, axe-core) is not
installed.
"""
import http.server
import importlib.machinery
import importlib.util
import json
import os
import pathlib
import re
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from urllib.parse import quote

SKIP = 77
HERE = pathlib.Path(__file__).resolve().parent
SOURCE = HERE.parent.parent

# Per template: pictures a page holds, the class of the box around each of
# them, and how often the site name is used.
TEMPLATES = {
    1: (10, "cell", 2),
    2: (15, "cell", 2),
    3: (12, "print", 2),
    4: (8, "tile", 3),
    5: (10, "card", 2),
    6: (9, "frame", 2),
}

# Anything that would make a page load from outside the site or need a
# network: the templates may only refer to what the build writes. The viewer
# reads the neighbouring gallery pages with fetch(); the viewer tests check
# that nothing else is asked of the server.
EXTERNAL = [r"https?:", r"//", r"\burl\(", r"@import", r"\b(?:src|href)\s*=\s*[\"']",
            r"\b(?:src|href)=\S",
            r"\bsrcset\b", r"<link\b", r"<iframe\b", r"<object\b", r"<embed\b",
            r"XMLHttpRequest", r"\bimport\s*\("]


class Failure(Exception):
    pass


def template_text(folder, n):
    return (pathlib.Path(folder) / f"template{n}.html").read_text(encoding="utf-8")


def load_update_viewer():
    path = SOURCE / "templates" / "update-viewer"
    loader = importlib.machinery.SourceFileLoader("update_viewer", str(path))
    spec = importlib.util.spec_from_loader("update_viewer", loader)
    module = importlib.util.module_from_spec(spec)
    loader.exec_module(module)
    return module


def check_placeholders(folder):
    update_viewer = load_update_viewer()
    problems = []
    for n, (images, box, titles) in TEMPLATES.items():
        text = template_text(folder, n)
        expected = {"%title%": titles, "%metakey%": 1, "%metadescrip%": 1,
                    "%image%": images, "%nextprev%": 1}
        for placeholder, count in expected.items():
            found = text.count(placeholder)
            if found != count:
                problems.append(f"template{n}.html: {found} x {placeholder}, expected {count}")
        # The formation: every picture in its own box of the template's kind,
        # the boxes in one run in page order.
        boxed = re.findall(r'<div class="' + box + r'">%image%</div>\n', text)
        if len(boxed) != images:
            problems.append(f"template{n}.html: {len(boxed)} pictures in '{box}' boxes, expected {images}")
        elif ('<div class="' + box + '">%image%</div>\n') * images not in text:
            problems.append(f"template{n}.html: the '{box}' boxes are not one run")
        for where, wanted in (("<title>%title%</title>", 1),
                              ('<meta name="keywords" content="%metakey%">', 1),
                              ('<meta name="description" content="%metadescrip%">', 1),
                              ('<nav class="pager">%nextprev%</nav>', 1)):
            if text.count(where) != wanted:
                problems.append(f"template{n}.html: lost {where}")
        for pattern in EXTERNAL:
            for match in re.finditer(pattern, text, flags=re.I):
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"template{n}.html:{line}: refers outside the site ({match.group(0)!r})")
        if update_viewer.with_viewer(text) != text:
            problems.append(f"template{n}.html: not the current viewer; run templates/update-viewer")
    return problems


def check_html5(folder):
    tidy = shutil.which("tidy")
    if not tidy:
        print("tidy is not installed (Debian package tidy)")
        return None
    problems = []
    for n in TEMPLATES:
        path = pathlib.Path(folder) / f"template{n}.html"
        # Tidy's advice to drop empty inline elements is about tidying, not
        # validity: the templates draw with empty spans on purpose.
        run = subprocess.run([tidy, "-q", "-e", "--drop-empty-elements", "no", str(path)],
                             capture_output=True, text=True)
        if run.returncode != 0 or run.stderr.strip():
            problems.append(f"template{n}.html:\n{run.stderr.strip()}")
    return problems


# ------------------------------------------------------------------- sites

def make_pictures(maker, folder, count):
    """COUNT pictures, each taller and wider than the browser windows so that
    the viewer has to fit it in; some names hold a blank, "&" or "#", which
    a link must carry percent-encoded."""
    folder.mkdir(parents=True)
    names = [f"photo {k + 1:02d}.jpg" if k % 3 == 1 else
             f"R&D #{k + 1:02d}.jpg" if k % 3 == 2 else f"photo-{k + 1:02d}.jpg" for k in range(count)]
    subprocess.run([maker, str(folder), "1000", "1500"] + names, check=True)
    return [folder / name for name in names]


def build_site(tool, pictures, folder, n, image_pages=False, missing=None):
    """A site of PICTURES built with template N. The picture at index
    MISSING (0-based) loses its copy afterwards, as a broken upload would."""
    site = folder / "site"
    command = [tool, "--site-folder", str(site), "--template", str(n), "--site-name", "Viewer test",
               "--workers", "1"]
    if image_pages:
        command.append("--image-pages")
    subprocess.run(command + [str(p) for p in pictures], check=True, stdout=subprocess.DEVNULL)
    if missing is not None:
        (site / "images" / pictures[missing].name).unlink()
    return site, [p.name for p in pictures]


def check_links(page, names, per_page, image_pages):
    """Every href and src of the first page is a link the build filled in."""
    text = page.read_text(encoding="utf-8")
    problems = []
    allowed_href = {f"index{p}.html" for p in range(1, 4)}
    allowed_href |= {f"imagepages/imagepage{k + 1}.html" if image_pages else quote(f"images/{name}")
                     for k, name in enumerate(names[:per_page])}
    allowed_src = {quote(f"thumbnails/tn{name}") for name in names[:per_page]}
    for attribute, allowed in (("href", allowed_href), ("src", allowed_src)):
        for value in re.findall(r'\b' + attribute + r'\s*=\s*"([^"]*)"', text):
            if value not in allowed:
                problems.append(f"{page.name}: {attribute}={value!r} is not a link of the site")
    if re.search(r"https?:|//", text):
        problems.append(f"{page.name}: refers outside the site")
    return problems


# ------------------------------------------------------------------- chromium

def chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def run_chromium(browser, url, width, height, extra, timeout=40):
    with tempfile.TemporaryDirectory(prefix="pixelnook-chromium-") as profile:
        command = [browser, "--headless", "--no-sandbox", "--disable-gpu",
                   "--disable-background-networking", "--disable-component-update",
                   "--disable-sync", "--no-first-run", "--disable-extensions",
                   "--hide-scrollbars", "--mute-audio",
                   f"--user-data-dir={profile}", f"--window-size={width},{height}",
                   "--virtual-time-budget=20000"] + extra + [url]
        run = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    return run


SIZES = ((1366, 900), (390, 844))


class DevTools:
    """Headless Chromium driven over the DevTools protocol on a pipe (file
    descriptors 3 and 4 of the browser), so that a test can go Back, reload,
    touch the screen and read what a page holds without any other program."""

    def __init__(self, browser):
        self.profile = tempfile.TemporaryDirectory(prefix="pixelnook-chromium-",
                                                   ignore_cleanup_errors=True)
        commands_in, self.commands = os.pipe()
        self.replies, replies_out = os.pipe()
        self.log = tempfile.TemporaryFile()
        command = ["sh", "-c", f'exec "$0" "$@" 3<&{commands_in} 4>&{replies_out}', browser,
                   "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--disable-background-networking", "--disable-component-update",
                   "--disable-sync", "--no-first-run", "--disable-extensions",
                   "--hide-scrollbars", "--mute-audio", "--remote-debugging-pipe",
                   f"--user-data-dir={self.profile.name}", "about:blank"]
        self.process = subprocess.Popen(command, pass_fds=(commands_in, replies_out),
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        os.close(commands_in)
        os.close(replies_out)
        self.buffer = b""
        self.next_id = 0

    def close(self):
        # The browser's helper processes write into the profile until the
        # browser has closed them, so it is asked to close before it is killed.
        try:
            self.send("Browser.close", timeout=10)
        except (Failure, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.commands)
        os.close(self.replies)
        shutil.rmtree(self.profile.name, ignore_errors=True)
        self.profile.cleanup()

    def send(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            while b"\0" not in self.buffer:
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                    raise Failure(f"no answer from the browser to {method}")
                chunk = os.read(self.replies, 1 << 20)
                if not chunk:
                    self.log.seek(0)
                    raise Failure("the browser ended: " + self.log.read()[-2000:].decode(errors="replace"))
                self.buffer += chunk
            text, self.buffer = self.buffer.split(b"\0", 1)
            reply = json.loads(text)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise Failure(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})


# What every scenario in a page can use: the thumbnails, the viewer's parts
# as a visitor finds them (a modal dialog, its picture, its buttons by name),
# keys, and waiting for a state.
PRELUDE = r"""
const wait = ms => new Promise(done => setTimeout(done, ms));
const frame = () => new Promise(done => requestAnimationFrame(() => done()));
const check = (condition, message) => { if (!condition) throw new Error(message); };
async function until(condition, message) {
  for (let i = 0; i < 240; i++) { if (condition()) return; await wait(25); }
  throw new Error('timed out: ' + message);
}
const links = [...document.querySelectorAll('a')].filter(a => a.querySelector('img'));
const dialog = () => document.querySelector('[role="dialog"]');
const open = () => !!dialog() && !dialog().hidden && getComputedStyle(dialog()).display !== 'none';
const picture = () => dialog().querySelector('img');
const showing = href => open() && !picture().hidden && picture().src === href &&
                        picture().complete && picture().naturalWidth > 0;
const shows = k => showing(ALBUM[k]);
const counter = () => [...dialog().querySelectorAll('p')].map(p => p.textContent)
                        .find(t => /^\d+ \/ \d+$/.test(t));
const key = (name, extra) => (document.activeElement || document.body).dispatchEvent(
  new KeyboardEvent('keydown', Object.assign({ key: name, bubbles: true, cancelable: true }, extra)));
const button = label => dialog().querySelector('button[aria-label="' + label + '"]');
const visible = b => !!b && !b.hidden && getComputedStyle(b).display !== 'none';
const locked = () => getComputedStyle(document.documentElement).overflow === 'hidden' ||
                     getComputedStyle(document.body).overflow === 'hidden';
const failed = () => open() && picture().hidden && dialog().classList.contains('pnv-failed') &&
                     /could not be loaded/.test(dialog().textContent);
const nameOf = href => decodeURIComponent(href.split('/').pop());
const address = k => PAGE_OF[k] + '#' + encodeURIComponent(nameOf(ALBUM[k]));
const scale = () => picture().getBoundingClientRect().width / picture().offsetWidth;
"""


class Tab:
    """One page of its own browser context (so its own history) at one
    window size; 390 pixels wide is a phone: three device pixels to the
    pixel and a touch screen."""

    def __init__(self, devtools, width, height):
        self.devtools = devtools
        context = devtools.send("Target.createBrowserContext")["browserContextId"]
        target = devtools.send("Target.createTarget", {"url": "about:blank",
                                                       "browserContextId": context})["targetId"]
        self.session = devtools.send("Target.attachToTarget",
                                     {"targetId": target, "flatten": True})["sessionId"]
        self.context, self.target = context, target
        phone = width < 640
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 3 if phone else 1,
                   "mobile": phone})
        if phone:
            self.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.values = {}

    def close(self):
        self.devtools.send("Target.closeTarget", {"targetId": self.target})
        self.devtools.send("Target.disposeBrowserContext", {"browserContextId": self.context})

    def call(self, method, params=None):
        return self.devtools.send(method, params, self.session)

    def evaluate(self, expression):
        reply = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                               "returnByValue": True})
        if "exceptionDetails" in reply:
            details = reply["exceptionDetails"]
            raise Failure(details.get("exception", {}).get("description") or details.get("text"))
        return reply["result"].get("value")

    def settled(self, url, fresh=False):
        """Waits until URL (without its fragment) has loaded; FRESH: loaded
        anew, not the page before under the address it gave itself."""
        bare = url.split("#")[0]
        test = "document.readyState === 'complete' && location.href.split('#')[0]"
        if fresh:
            test = "!window.probeMarker && " + test
        for _ in range(400):
            try:
                if self.evaluate(test) == bare:
                    return
            except Failure:
                pass
            time.sleep(0.025)
        raise Failure(f"{url} did not load")

    def go(self, url):
        reply = self.call("Page.navigate", {"url": url})
        if reply.get("errorText"):
            raise Failure(f"{url}: {reply['errorText']}")
        self.settled(url)

    def back(self):
        """The browser's own Back, as the toolbar button gives it."""
        history = self.call("Page.getNavigationHistory")
        entry = history["entries"][history["currentIndex"] - 1]
        self.call("Page.navigateToHistoryEntry", {"entryId": entry["id"]})
        return entry["url"]

    def run(self, body, seen):
        """Runs a scenario's steps in the page; each step's note is added to
        SEEN once it has passed."""
        script = ("(async () => { const notes = [];\n" + self.values_js() + PRELUDE +
                  "try {\n" + body + "\n} catch (error) { return { error: error.message, notes }; }\n"
                  "return { notes }; })()")
        result = self.evaluate(script)
        seen += result["notes"]
        if "error" in result:
            raise Failure(result["error"])

    def values_js(self):
        return "".join(f"const {name} = {json.dumps(value)};\n" for name, value in self.values.items())

    def touch(self, kind, points):
        self.call("Input.dispatchTouchEvent",
                  {"type": kind, "touchPoints": [{"x": x, "y": y, "id": n} for n, (x, y) in enumerate(points)]})

    def tap(self, x, y):
        self.touch("touchStart", [(x, y)])
        self.touch("touchEnd", [])

    def swipe(self, x0, y0, x1, y1, steps=6):
        self.touch("touchStart", [(x0, y0)])
        for i in range(1, steps + 1):
            self.touch("touchMove", [(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps)])
        self.touch("touchEnd", [])

    def pinch(self, x, y, start, end, steps=8):
        """Two fingers START pixels apart around (x, y) move to END apart."""
        self.touch("touchStart", [(x - start / 2, y), (x + start / 2, y)])
        for i in range(1, steps + 1):
            d = start + (end - start) * i / steps
            self.touch("touchMove", [(x - d / 2, y), (x + d / 2, y)])
        self.touch("touchEnd", [])

    def mouse(self, kind, x, y, **extra):
        self.call("Input.dispatchMouseEvent", dict({"type": kind, "x": x, "y": y}, **extra))


class Server:
    """The built sites served from 127.0.0.1, as a web host would serve them.
    It notes every request, and holds back the pictures named in SLOW for a
    second, so that a test can see the viewer wait for a picture."""

    def __init__(self, root, slow):
        requests = self.requests = []

        class Handler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=str(root), **kwargs)

            def send_head(self):
                if any(self.path.endswith(quote(name)) for name in slow):
                    time.sleep(0.5)
                return super().send_head()

            def log_request(self, code="-", size="-"):
                requests.append((self.path, int(code) if str(code).isdigit() else 0))

            def log_message(self, *args):
                pass

        class Quiet(http.server.ThreadingHTTPServer):
            def handle_error(self, request, client_address):
                pass  # a browser that stops reading a picture it no longer needs

        self.httpd = Quiet(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# The scenarios a visitor goes through, over http(s) where the whole album can
# be read. Each runs on a freshly loaded page; what a step needs from outside
# the page (Back, a reload, fingers on the screen) is done between the steps.

def scenario_open_and_step(tab, site, seen):
    """Opening, the address, stepping through the whole album and its ends,
    focus, closing by Escape, by a click beside the picture and by the close
    button."""
    tab.go(site["pages"][0])
    tab.run(r"""
    window.probeMarker = 1;
    check(links.length === PER_PAGE, links.length + ' thumbnails on the page');
    check(!open(), 'the viewer is shut before any click');
    let prevented = null;
    document.addEventListener('click', event => { prevented = event.defaultPrevented; }, { once: true });
    links[1].click();
    check(prevented === true, 'the click on the thumbnail is not left to the link');
    check(open(), 'the viewer opens on a click');
    check(dialog().getAttribute('aria-modal') === 'true', 'the viewer is a modal dialog');
    check(dialog().contains(document.activeElement), 'focus moves into the viewer');
    check(locked(), 'the page behind does not scroll');
    check(location.href === address(1), 'the picture has its address: ' + location.href);
    await until(() => shows(1), 'the second picture shows');
    const box = picture().getBoundingClientRect();
    check(box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight,
          'the picture fits the window');
    await until(() => counter() === '2 / ' + ALBUM.length, 'the counter counts the album: ' + counter());
    notes.push('opened on picture 2 of ' + ALBUM.length + ' with its address');

    for (let k = 2; k < PER_PAGE; k++) {
      key('ArrowRight');
      await until(() => k === MISSING ? failed() : shows(k), 'Right shows picture ' + (k + 1));
    }
    check(dialog().textContent.includes(nameOf(ALBUM[MISSING])), 'the message names the missing picture');
    key('ArrowRight');
    await until(() => shows(PER_PAGE), 'Right from the last picture of the page shows the next page\'s first');
    check(window.probeMarker === 1 && location.href === address(PER_PAGE),
          'the same page goes on, with the address of the picture\'s own page: ' + location.href);
    check(counter() === (PER_PAGE + 1) + ' / ' + ALBUM.length, 'the counter goes on: ' + counter());
    key('ArrowLeft');
    await until(failed, 'Left steps back onto the first page');
    check(location.href === address(PER_PAGE - 1), 'the address follows back');
    notes.push('stepped across pages and back');

    key('End');
    await until(() => shows(ALBUM.length - 1), 'End shows the last picture of the album');
    check(!visible(button('Next picture')), 'no Next at the end of the album');
    key('ArrowRight');
    await wait(100);
    check(shows(ALBUM.length - 1), 'Right at the end of the album stays');
    key('Home');
    await until(() => shows(0), 'Home shows the first picture');
    check(!visible(button('Previous picture')) && visible(button('Next picture')),
          'no Previous at the start of the album');
    key('ArrowLeft');
    await wait(100);
    check(shows(0) && counter() === '1 / ' + ALBUM.length, 'Left at the start stays');
    button('Next picture').click();
    await until(() => shows(1), 'the on-screen Next arrow steps');
    button('Previous picture').click();
    await until(() => shows(0), 'the on-screen Previous arrow steps back');
    notes.push('the album ends, no wrapping; on-screen arrows');

    for (let i = 0; i < 4; i++) {
      key('Tab', { shiftKey: i % 2 === 1 });
      check(dialog().contains(document.activeElement), 'Tab keeps focus in the viewer');
    }
    key('ArrowRight');
    await until(() => shows(1), 'Right shows picture 2 again');
    key('Escape');
    check(!open(), 'Escape closes the viewer');
    check(document.activeElement === links[1], 'focus returns to the thumbnail of the picture shown');
    check(!locked(), 'the page scrolls again');
    check(!document.querySelector('[inert]'), 'the page takes input again');
    await until(() => location.href === PAGE_OF[0], 'closing takes the picture\'s address away');
    notes.push('Escape closed');

    links[0].click();
    await until(() => shows(0), 'the first picture shows');
    dialog().click();
    check(!open(), 'a click beside the picture closes the viewer');
    check(document.activeElement === links[0], 'focus returns to the first thumbnail');
    await until(() => location.href === PAGE_OF[0], 'the address goes with it');
    links[0].click();
    check(open(), 'the viewer opens again');
    button('Close').click();
    check(!open(), 'the close button closes the viewer');
    notes.push('click beside the picture and close button closed');
    """, seen)


def scenario_ahead(tab, site, seen):
    """A picture loaded ahead shows at once; one that is not shows a loading
    state until it has come."""
    tab.go(site["pages"][0])
    tab.run(r"""
    links[SLOW].click();
    check(dialog().classList.contains('pnv-loading') && picture().hidden &&
          /Loading/.test(dialog().textContent), 'a picture not yet loaded shows a loading state');
    await until(() => shows(SLOW), 'the slow picture shows once it has come');
    check(!dialog().classList.contains('pnv-loading'), 'the loading state ends with the load');
    notes.push('loading state while a picture comes');
    key('Escape');
    links[AHEAD].click();
    await until(() => shows(AHEAD), 'the picture shows');
    await until(() => performance.getEntriesByName(ALBUM[AHEAD + 1]).length > 0 &&
                      performance.getEntriesByName(ALBUM[AHEAD - 1]).length > 0,
                'the pictures beside it are loaded ahead');
    await wait(300);
    for (const [name, k] of [['ArrowRight', AHEAD + 1], ['ArrowLeft', AHEAD], ['ArrowLeft', AHEAD - 1]]) {
      key(name);
      check(shows(k) && !dialog().classList.contains('pnv-loading'),
            name + ' shows the picture loaded ahead at once, before the next frame');
      await frame();
      check(shows(k), 'and it stays');
    }
    notes.push('pictures loaded ahead show at once');
    """, seen)


def scenario_back(tab, site, seen):
    """Back closes the viewer, a second Back leaves the page; an address
    shared or reloaded opens the viewer on its picture."""
    tab.go(site["pages"][0])
    tab.run(r"""
    window.probeMarker = 1;
    window.probeHistory = history.length;
    links[2].click();
    await until(() => shows(2), 'the third picture shows');
    key('ArrowRight');
    await until(() => shows(3) || dialog().classList.contains('pnv-loading'), 'Right steps');
    check(history.length === window.probeHistory + 1, 'stepping does not add to the history');
    """, seen)
    tab.back()
    tab.run(r"""
    await until(() => !open(), 'Back closes the viewer');
    check(window.probeMarker === 1, 'Back stays on the page');
    check(location.href === PAGE_OF[0], 'Back leaves the page\'s own address: ' + location.href);
    check(document.activeElement === links[3], 'focus returns to the thumbnail of the picture shown');
    notes.push('Back closed the viewer');
    location.hash = '#' + encodeURIComponent(nameOf(ALBUM[4]));
    await until(() => shows(4), 'an address given a picture\'s name opens the viewer on it');
    key('Escape');
    await until(() => !open() && location.href === PAGE_OF[0], 'Escape closes it and takes the name away');
    notes.push('a picture\'s name typed into the address opened it');
    """, seen)
    if tab.back() != "about:blank":
        raise Failure("the page was not opened from about:blank")
    tab.settled("about:blank")
    seen.append("a second Back left the page")

    # An address shared or reloaded: a picture on the second page.
    target = site["album"][site["per_page"] + 2]
    url = site["pages"][1] + "#" + quote(nameof(target), safe="")
    tab.go(url)
    tab.run(r"""
    window.probeMarker = 1;
    const k = PER_PAGE + 2;
    await until(() => shows(k), 'the address opens the viewer on its picture');
    check(location.href === address(k), 'the address stays: ' + location.href);
    await until(() => counter() === (k + 1) + ' / ' + ALBUM.length, 'the counter counts the album');
    key('ArrowLeft'); key('ArrowLeft'); key('ArrowLeft');
    await until(() => k - 3 === MISSING ? failed() : shows(k - 3), 'Left steps onto the first page');
    check(location.href === address(k - 3), 'the address names the picture on its own page');
    notes.push('a shared address opened its picture');
    """, seen)
    tab.call("Page.reload")
    time.sleep(0.2)
    tab.settled(site["pages"][0])
    tab.run(r"""
    const k = PER_PAGE - 1;
    await until(() => k === MISSING ? failed() : shows(k), 'a reload opens the viewer on the picture');
    """, seen)
    # The page the visitor came in by is behind the picture.
    tab.back()
    tab.settled(site["pages"][1])
    tab.run(r"""
    check(!open() && location.href === PAGE_OF[PER_PAGE], 'Back leads to the gallery page behind');
    notes.push('a reloaded address opened its picture and Back closed it');
    """, seen)


def scenario_close_elsewhere(tab, site, seen):
    """Closed on a picture of another page, the viewer leaves the visitor on
    that page, at that picture's thumbnail; Back returns to the first."""
    tab.go(site["pages"][0])
    tab.run(r"""
    window.probeMarker = 1;
    links[PER_PAGE - 2].click();
    await until(() => shows(PER_PAGE - 2), 'the picture shows');
    key('ArrowRight'); key('ArrowRight'); key('ArrowRight');
    await until(() => shows(PER_PAGE + 1), 'Right steps onto the second page');
    // Escape loads the other page, so it comes after this step has answered.
    setTimeout(() => key('Escape'), 100);
    """, seen)
    tab.settled(site["pages"][1], fresh=True)
    tab.run(r"""
    check(!open() && location.href === PAGE_OF[PER_PAGE], 'the second page shows');
    check(document.activeElement === links[1], 'focus is on the thumbnail of the picture shown');
    notes.push('closed on the second page, at its picture');
    """, seen)
    tab.back()
    tab.settled(site["pages"][0])
    seen.append("Back returned to the first page")


def scenario_zoom(tab, site, seen, phone):
    """Pinch and double tap on a touch screen, double click and the wheel with
    a mouse; a zoomed picture pans instead of stepping."""
    tab.go(site["pages"][0])
    tab.run("links[AHEAD].click(); await until(() => shows(AHEAD), 'the picture shows');", seen)
    box = tab.evaluate("(() => { const r = document.querySelector('[role=dialog] img')"
                       ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()")
    x, y = box
    if phone:
        tab.tap(x, y)
        time.sleep(0.08)
        tab.tap(x, y)
        tab.run("await until(() => scale() > 1.5, 'a double tap zooms in'); notes.push('double tap zoomed');", seen)
        tab.swipe(x, y, x - 120, y)
        tab.run(r"""
        await wait(100);
        check(shows(AHEAD), 'a swipe on a zoomed picture does not step');
        check(picture().getBoundingClientRect().left + picture().getBoundingClientRect().width / 2 < BOX[0] - 40,
              'it pans the picture');
        notes.push('a zoomed picture pans');
        """.replace("BOX", json.dumps(box)), seen)
        time.sleep(0.4)
        tab.tap(x, y)
        time.sleep(0.08)
        tab.tap(x, y)
        tab.run("await until(() => Math.abs(scale() - 1) < 0.01, 'a second double tap zooms out');", seen)
        time.sleep(0.4)
        tab.pinch(x, y, 60, 240)
        tab.run(r"""
        await until(() => scale() > 2.5, 'spreading two fingers zooms in: ' + scale());
        check(open() && shows(AHEAD), 'a pinch neither steps nor closes');
        notes.push('pinch zoomed');
        """, seen)
        tab.pinch(x, y, 240, 40)
        tab.run("await until(() => Math.abs(scale() - 1) < 0.01, 'pinching together zooms out');", seen)
        time.sleep(0.4)
        tab.swipe(x, y, x - 150, y + 10)
        tab.run("await until(() => shows(AHEAD + 1), 'unzoomed, a swipe to the left steps');"
                "notes.push('unzoomed, a swipe steps');", seen)
        tab.swipe(x, y, x + 150, y)
        tab.run("await until(() => shows(AHEAD), 'a swipe to the right steps back');", seen)
        tab.swipe(x, y, x + 10, y - 150)
        tab.run("await wait(100); check(shows(AHEAD), 'an upward move is no swipe');", seen)
    else:
        tab.mouse("mouseMoved", x, y)
        for count in (1, 2):
            tab.mouse("mousePressed", x, y, button="left", clickCount=count)
            tab.mouse("mouseReleased", x, y, button="left", clickCount=count)
        tab.run("await until(() => scale() > 1.5, 'a double click zooms in'); check(open(), 'and does not close');"
                "notes.push('double click zoomed');", seen)
        tab.mouse("mousePressed", x, y, button="left", clickCount=1)
        tab.mouse("mouseMoved", x - 100, y - 150, button="left", buttons=1)
        tab.mouse("mouseReleased", x - 100, y - 150, button="left", clickCount=1)
        tab.run(r"""
        await wait(100);
        const r = picture().getBoundingClientRect();
        check(open() && shows(AHEAD), 'a drag on a zoomed picture neither steps nor closes');
        check(Math.hypot(r.left + r.width / 2 - BOX[0], r.top + r.height / 2 - BOX[1]) > 40,
              'it pans the picture');
        notes.push('a zoomed picture pans');
        """.replace("BOX", json.dumps(box)), seen)
        for count in (1, 2):
            tab.mouse("mousePressed", x, y, button="left", clickCount=count)
            tab.mouse("mouseReleased", x, y, button="left", clickCount=count)
        tab.run("await until(() => Math.abs(scale() - 1) < 0.01, 'a second double click zooms out');", seen)
        tab.mouse("mouseWheel", x, y, deltaX=0, deltaY=-300)
        tab.run("await until(() => scale() > 1.2, 'the wheel zooms in');"
                "check(locked(), 'the page behind does not scroll'); notes.push('the wheel zoomed');", seen)
        tab.mouse("mouseWheel", x, y, deltaX=0, deltaY=1200)
        tab.run(r"""
        await until(() => Math.abs(scale() - 1) < 0.01, 'the wheel zooms out');
        key('+');
        await until(() => scale() > 1.2, '+ zooms in');
        key('0');
        await until(() => Math.abs(scale() - 1) < 0.01, '0 shows the whole picture again');
        notes.push('+ and 0 zoomed');
        key('ArrowRight');
        await until(() => shows(AHEAD + 1), 'the arrow keys still step');
        """, seen)


def scenario_covered(tab, site, seen):
    """Nothing of the page shows through the open viewer, and the thumbnails
    have their pictures' names as text."""
    tab.go(site["pages"][1])
    tab.run(r"""
    links.forEach((a, k) => {
      const img = a.querySelector('img');
      const wanted = nameOf(ALBUM[PER_PAGE + k]).replace(/\.[^.]*$/, '');
      check(img.alt === wanted, 'thumbnail ' + (k + 1) + ' is named ' + JSON.stringify(img.alt) +
            ', not ' + JSON.stringify(wanted));
    });
    notes.push('thumbnails named');
    links[0].click();
    await until(() => shows(PER_PAGE), 'the picture shows');
    const style = getComputedStyle(dialog());
    const box = dialog().getBoundingClientRect();
    check(box.left <= 0 && box.top <= 0 && box.right >= innerWidth && box.bottom >= innerHeight,
          'the viewer covers the window');
    const paint = style.backgroundImage === 'none' ? style.backgroundColor : style.backgroundImage;
    const colours = paint.match(/rgba?\([^)]*\)/g) || [];
    const opaque = c => !/^rgba/.test(c) || parseFloat(c.split(',')[3]) === 1;
    check(colours.length && colours.every(opaque),
          'the viewer\'s backdrop is opaque: ' + style.backgroundColor + ' ' + style.backgroundImage);
    const behind = [...document.querySelectorAll('nav a, footer, h1')];
    for (const element of behind) {
      const r = element.getBoundingClientRect();
      const x = r.left + r.width / 2, y = r.top + r.height / 2;
      if (x < 0 || y < 0 || x >= innerWidth || y >= innerHeight) continue;
      check(dialog().contains(document.elementFromPoint(x, y)), 'the page shows at ' + x + ',' + y);
    }
    notes.push('nothing of the page shows through');
    """, seen)


def scenario_no_scripts(tab, site, seen):
    """With scripts off a thumbnail is a plain link to its picture."""
    tab.call("Emulation.setScriptExecutionDisabled", {"value": True})
    tab.go(site["pages"][0])
    x, y = tab.evaluate("(() => { const r = [...document.querySelectorAll('a')].filter(a => "
                        "a.querySelector('img'))[1].getBoundingClientRect(); "
                        "return [r.left + r.width / 2, r.top + r.height / 2]; })()")
    if tab.evaluate("!!document.querySelector('[role=dialog]')"):
        raise Failure("a viewer without scripts")
    for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
        tab.mouse(kind, x, y, button="left", clickCount=1)
    tab.settled(site["album"][1])
    seen.append("a thumbnail led to its picture")


def site_values(server, root, site, per_page, names, missing, slow):
    base = server.url + site.relative_to(root).as_posix() + "/"
    count = len(names)
    pages = [f"{base}index{p}.html" for p in range(1, (count + per_page - 1) // per_page + 1)]
    album = [base + quote(f"images/{name}") for name in names]
    return {"pages": pages, "album": album, "per_page": per_page, "missing": missing, "slow": slow,
            "page_of": [pages[k // per_page] for k in range(count)]}


def nameof(url):
    from urllib.parse import unquote
    return unquote(url.rsplit("/", 1)[1])


def page_values(site):
    return {"ALBUM": site["album"], "PAGE_OF": site["page_of"], "PER_PAGE": site["per_page"],
            "MISSING": site["missing"], "SLOW": site["slow"], "AHEAD": 5}


# Opened from disk the gallery pages cannot be read, so the viewer keeps to
# its page and wraps around; with image pages it stays off.
LOCAL = r"""
check(links.length === PER_PAGE, links.length + ' thumbnails on the page');
links[1].click();
await until(() => shows(1), 'the second picture shows');
check(counter() === '2 / ' + PER_PAGE, 'the counter counts the page: ' + counter());
check(location.hash === '#' + encodeURIComponent(nameOf(ALBUM[1])), 'the picture has its address');
key('ArrowLeft');
await until(() => shows(0), 'Left shows the first picture');
key('ArrowLeft');
await until(failed, 'Left from the first picture wraps to the last of the page');
check(counter() === PER_PAGE + ' / ' + PER_PAGE, 'the counter says so: ' + counter());
key('ArrowRight');
await until(() => shows(0), 'Right from the last picture of the page wraps to its first');
notes.push('from disk the viewer keeps to its page and wraps');
"""

IMAGE_PAGES = r"""
let prevented = null;
document.addEventListener('click', event => { prevented = event.defaultPrevented; event.preventDefault(); });
links.forEach((a, k) => check(a.querySelector('img').alt === nameOf(ALBUM[k]).replace(/\.[^.]*$/, ''),
                              'thumbnail ' + (k + 1) + ' is named by its picture'));
links[0].click();
check(prevented === false, 'a click on a thumbnail is left to the link to the image page');
check(!open(), 'no viewer over a page of image page links');
notes.push('image page links followed, thumbnails named');
"""


class Sites:
    """The test pictures and one site per template (and one with image
    pages), built once, served over http from one folder."""

    def __init__(self, tool, maker, root, n):
        self.root = root
        per_page = TEMPLATES[n][0]
        pictures = make_pictures(maker, root / "pictures", 2 * per_page + 1)
        # Three pages, the last with one picture; the last picture of the
        # first page has lost its copy.
        site, names = build_site(tool, pictures, root / f"template{n}", n, missing=per_page - 1)
        self.n, self.site, self.names = n, site, names
        site, names = build_site(tool, pictures[:per_page + 1], root / "image-pages", n,
                                 image_pages=True)
        self.image_pages = (site, names)
        self.server = Server(root, [self.names[3]])

    def values(self):
        per_page = TEMPLATES[self.n][0]
        return site_values(self.server, self.root, self.site, per_page, self.names, per_page - 1, 3)


def check_viewer(tool, maker, n):
    """Template N's viewer at 1366 and 390 pixels wide, over http and from
    disk, and its image-page links."""
    browser = chromium()
    if not browser:
        print("chromium is not installed (Debian package chromium)")
        return None
    problems = []
    with tempfile.TemporaryDirectory(prefix="pixelnook-viewer-") as tmp:
        root = pathlib.Path(tmp)
        sites = Sites(tool, maker, root, n)
        devtools = DevTools(browser)
        try:
            values = sites.values()
            site, names = sites.site, sites.names
            problems += check_links(site / "index1.html", names, values["per_page"], False)
            for width, height in SIZES:
                scenarios = [("open and step", scenario_open_and_step), ("ahead", scenario_ahead),
                             ("back", scenario_back), ("close elsewhere", scenario_close_elsewhere),
                             ("covered", scenario_covered), ("scripts off", scenario_no_scripts),
                             ("zoom", lambda t, s, seen: scenario_zoom(t, s, seen, width < 640))]
                for title, scenario in scenarios:
                    problems += run_scenario(devtools, width, height, f"template{n} at {width} px, {title}",
                                             page_values(values),
                                             lambda tab, seen: scenario(tab, values, seen))
                local = dict(page_values(values), ALBUM=[(site / "images" / name).as_uri() for name in names])
                problems += run_scenario(devtools, width, height, f"template{n} at {width} px, from disk",
                                         local, lambda tab, seen: (tab.go((site / "index1.html").as_uri()),
                                                                   tab.run(LOCAL, seen)))
            site, names = sites.image_pages
            problems += check_links(site / "index1.html", names, TEMPLATES[n][0], True)
            values = {"ALBUM": [quote(f"images/{name}") for name in names], "PER_PAGE": TEMPLATES[n][0]}
            url = sites.server.url + site.relative_to(root).as_posix() + "/index1.html"
            problems += run_scenario(devtools, 1366, 900, "image pages", values,
                                     lambda tab, seen: (tab.go(url), tab.run(IMAGE_PAGES, seen)))
        finally:
            devtools.close()
            sites.server.close()
        # The viewer asks the server for the site's own files only: the
        # gallery pages, pictures and thumbnails, never one that is not there
        # but the picture that lost its copy.
        missing = quote(f"/template{n}/site/images/{sites.names[TEMPLATES[n][0] - 1]}")
        for path, code in sites.server.requests:
            if path == "/favicon.ico":
                continue  # the browser's own question
            if code not in (200, 304) and not (code == 404 and path == missing):
                problems.append(f"the server was asked for {path} ({code})")
    return problems


def run_scenario(devtools, width, height, name, values, steps):
    tab = Tab(devtools, width, height)
    tab.values = values
    seen = []
    try:
        steps(tab, seen)
        print(f"ok {name}: {'; '.join(seen)}")
        return []
    except Failure as failure:
        return [f"{name}: {failure} (after: {', '.join(seen)})"]
    finally:
        tab.close()


def check_accessibility(tool, maker, axe, n):
    """axe-core on template N's first and second page at 1366 and 390 pixels
    wide, with the viewer shut and open."""
    browser = chromium()
    if not browser:
        print("chromium is not installed (Debian package chromium)")
        return None
    axe = pathlib.Path(axe)
    if not axe.is_file():
        print(f"axe-core is not installed ({axe}); scripts/install-deps --tests installs it")
        return None
    source = axe.read_text(encoding="utf-8")
    problems = []
    with tempfile.TemporaryDirectory(prefix="pixelnook-axe-") as tmp:
        root = pathlib.Path(tmp)
        sites = Sites(tool, maker, root, n)
        devtools = DevTools(browser)
        try:
            values = sites.values()
            for width, height in SIZES:
                for page, opened in ((0, False), (1, False), (1, True)):
                    name = (f"template{n} page {page + 1} at {width} px"
                            f"{', viewer open' if opened else ''}")
                    problems += run_scenario(devtools, width, height, name, page_values(values),
                                             lambda tab, seen: audit(tab, values["pages"][page],
                                                                     source, opened, seen))
        finally:
            devtools.close()
            sites.server.close()
    return problems


# axe-core leaves text on a gradient undecided. Each pass here paints every
# gradient as one of its colours (the first in the first pass, and so on;
# a see-through colour over what lies below), so that text is checked
# against every colour of its background.
FLATTENED = r"""
(async () => {
  const rgb = c => c.match(/[\d.]+/g).map(Number);
  const under = e => {
    for (let p = e; p; p = p.parentElement) {
      const c = rgb(getComputedStyle(p).backgroundColor);
      if (c.length < 4 || c[3] === 1) return c;
    }
    return [255, 255, 255];
  };
  const over = (top, bottom) => [0, 1, 2].map(
    i => Math.round(top[i] * (top.length > 3 ? top[3] : 1) + bottom[i] * (1 - (top.length > 3 ? top[3] : 1))));
  const painted = [...document.querySelectorAll('*')].filter(e => /gradient/.test(getComputedStyle(e).backgroundImage))
    .map(e => [e, (getComputedStyle(e).backgroundImage.match(/rgba?\([^)]*\)/g) || []).map(rgb), under(e)]);
  const passes = Math.max(0, ...painted.map(([, stops]) => stops.length));
  const found = [];
  for (let pass = 0; pass < passes; pass++) {
    for (const [e, stops, base] of painted) {
      const c = over(stops[Math.min(pass, stops.length - 1)], base);
      e.style.setProperty('background', 'rgb(' + c.join(',') + ')', 'important');
    }
    const result = await axe.run(document, { runOnly: ['color-contrast'], resultTypes: ['violations'] });
    for (const v of result.violations)
      for (const n of v.nodes) found.push('on a gradient, pass ' + (pass + 1) + ': ' + n.target.join(' ') +
                                          ' (' + n.failureSummary.replace(/\s+/g, ' ') + ')');
  }
  for (const [e] of painted) e.style.removeProperty('background');
  return found;
})()
"""


def audit(tab, url, source, opened, seen):
    tab.go(url)
    tab.evaluate(source + "\n;0")
    if opened:
        tab.run("links[1].click(); await until(() => shows(PER_PAGE + 1), 'the picture shows');", seen)
    found = tab.evaluate("axe.run(document, { resultTypes: ['violations'] }).then(r => r.violations.map("
                         "v => v.impact + ' ' + v.id + ': ' + v.nodes.map(n => n.target.join(' ') + "
                         "' (' + n.failureSummary.replace(/\\s+/g, ' ') + ')').join('; ')))")
    found += tab.evaluate(FLATTENED)
    if found:
        raise Failure("axe-core: " + " | ".join(found))
    seen.append("no violation")


# A hook that opens the viewer on a picture as soon as the page has loaded.
HOOK = """
<script>
addEventListener('load', () => {
  const links = [...document.querySelectorAll('a')].filter(a => a.querySelector('img'));
  links[INDEX].click();
});
</script>
"""


def screenshots(tool, maker, outdir):
    browser = chromium()
    if not browser:
        print("chromium is not installed (Debian package chromium)")
        return SKIP
    outdir = pathlib.Path(outdir).resolve()
    outdir.mkdir(parents=True, exist_ok=True)
    for n, (per_page, _, _) in TEMPLATES.items():
        with tempfile.TemporaryDirectory(prefix="pixelnook-shots-") as tmp:
            pictures = make_pictures(maker, pathlib.Path(tmp) / "pictures", per_page + 1)
            site, _ = build_site(tool, pictures, pathlib.Path(tmp), n, missing=per_page - 1)
            text = (site / "index1.html").read_text(encoding="utf-8")
            for state, index in (("open", 1), ("failed", per_page - 1)):
                page = site / f"shot-{state}.html"
                page.write_text(text.replace("</body>", HOOK.replace("INDEX", str(index)) + "</body>"),
                                encoding="utf-8")
                for width, height in ((1366, 900), (390, 844)):
                    if state == "failed" and width != 390:
                        continue
                    shot = outdir / f"template{n}-{state}-{width}.png"
                    run_chromium(browser, page.as_uri(), width, height, [f"--screenshot={shot}"])
                    print(shot if shot.exists() else f"no screenshot: {shot}")
            page = site / "index1.html"
            for width, height in ((1366, 900), (390, 844)):
                shot = outdir / f"template{n}-page-{width}.png"
                run_chromium(browser, page.as_uri(), width, height, [f"--screenshot={shot}"])
                print(shot)
    return 0


def lighthouse(tool, maker, program):
    """Lighthouse's accessibility and performance scores of every template's
    first page, over http, at 390 (a phone) and 1366 pixels wide, for a site
    of 60 pictures. Not a test: Lighthouse is not installed by the project."""
    rows = []
    with tempfile.TemporaryDirectory(prefix="pixelnook-lighthouse-") as tmp:
        root = pathlib.Path(tmp)
        pictures = make_pictures(maker, root / "pictures", 60)
        for n in TEMPLATES:
            build_site(tool, pictures, root / f"template{n}", n)
        server = Server(root, [])
        try:
            for n in TEMPLATES:
                url = f"{server.url}template{n}/site/index1.html"
                scores = []
                for width, height, scale, preset in ((390, 844, 3, []), (1366, 900, 1, ["--preset=desktop"])):
                    runs = []
                    for run in range(3):
                        report = root / f"report-{n}-{width}-{run}.json"
                        runs.append(lighthouse_run(program, url, report, width, height, scale, preset))
                    scores.append([sorted(column)[1] for column in zip(*runs)])
                rows.append((n, scores))
        finally:
            server.close()
    print("Median of 3 runs, 60 pictures, first gallery page:")
    print("| Template | Width | Accessibility | Performance | Best practices | SEO |")
    print("|---:|---:|---:|---:|---:|---:|")
    for n, scores in rows:
        for width, score in zip((390, 1366), scores):
            print(f"| {n} | {width} | " + " | ".join(str(x) for x in score) + " |")
    return 0


def lighthouse_run(program, url, report, width, height, scale, preset):
    """One Lighthouse run of URL at one window size; its four scores."""
    with tempfile.TemporaryDirectory(prefix="pixelnook-chromium-") as profile:
        flags = ("--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                 f"--disable-background-networking --disable-sync --user-data-dir={profile}")
        subprocess.run([program, url, "--quiet", "--output=json", f"--output-path={report}",
                        "--only-categories=accessibility,performance,best-practices,seo",
                        f"--chrome-flags={flags}", f"--screenEmulation.width={width}",
                        f"--screenEmulation.height={height}",
                        f"--screenEmulation.deviceScaleFactor={scale}",
                        f"--screenEmulation.mobile={'true' if width < 640 else 'false'}"]
                       + preset, check=True, env=dict(os.environ, CHROME_PATH=chromium()))
    categories = json.loads(report.read_text())["categories"]
    return [round(100 * categories[c]["score"]) for c in
            ("accessibility", "performance", "best-practices", "seo")]


def report(problems):
    if problems is None:
        return SKIP
    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


def main(argv):
    if len(argv) == 2 and argv[0] == "placeholders":
        return report(check_placeholders(argv[1]))
    if len(argv) == 2 and argv[0] == "html5":
        return report(check_html5(argv[1]))
    if len(argv) == 4 and argv[0] == "viewer":
        return report(check_viewer(argv[1], argv[2], int(argv[3])))
    if len(argv) == 5 and argv[0] == "accessibility":
        return report(check_accessibility(argv[1], argv[2], argv[3], int(argv[4])))
    if len(argv) == 4 and argv[0] == "accessibility":
        return report(check_accessibility(argv[1], argv[2], argv[3]))
    if len(argv) == 4 and argv[0] == "lighthouse":
        return lighthouse(argv[1], argv[2], argv[3])
    if len(argv) == 4 and argv[0] == "screenshots":
        return screenshots(argv[1], argv[2], argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
