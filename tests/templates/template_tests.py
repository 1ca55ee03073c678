#!/usr/bin/env python3
"""Tests of the six built-in gallery templates.

    template_tests.py placeholders TEMPLATES_DIR
        every template keeps its placeholders, in their places, carries the
        current picture viewer and refers to nothing outside the site
    template_tests.py html5 TEMPLATES_DIR
        every template is valid HTML5 by HTML Tidy
    template_tests.py viewer TOOL PICTURE_MAKER
        builds a site with each template and drives its picture viewer in
        headless Chromium at 1366 and 390 pixels wide; checks that the viewer
        stays off when the thumbnails link to image pages
    template_tests.py screenshots TOOL PICTURE_MAKER OUTDIR
        not a test: screenshots of every template with the viewer open, at
        1366 and 390 pixels wide, for a person to look at

Exit status 77 means a needed program (tidy, chromium) is not installed.
"""
import importlib.machinery
import importlib.util
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
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


# Drives the viewer as a user would and writes what it saw into the page as
# JSON, which --dump-dom then hands back.
PROBE = r"""
<script>
(async () => {
  const result = { ok: false, seen: [] };
  const wait = ms => new Promise(done => setTimeout(done, ms));
  const check = (condition, message) => { if (!condition) throw new Error(message); };
  async function until(condition, message) {
    for (let i = 0; i < 200; i++) { if (condition()) return; await wait(25); }
    throw new Error('timed out: ' + message);
  }
  try {
    await until(() => document.readyState === 'complete', 'the page loads');
    const links = [...document.querySelectorAll('a')].filter(a => a.querySelector('img'));
    const dialog = () => document.querySelector('[role="dialog"]');
    const open = () => !!dialog() && !dialog().hidden && getComputedStyle(dialog()).display !== 'none';
    const picture = () => dialog().querySelector('img');
    const shows = k => open() && !picture().hidden && picture().src === links[k].href &&
                       picture().complete && picture().naturalWidth > 0;
    const key = (name, extra) => (document.activeElement || document.body).dispatchEvent(
      new KeyboardEvent('keydown', Object.assign({ key: name, bubbles: true, cancelable: true }, extra)));
    const button = label => dialog().querySelector('button[aria-label="' + label + '"]');
    const locked = () => getComputedStyle(document.documentElement).overflow === 'hidden' ||
                         getComputedStyle(document.body).overflow === 'hidden';
    let prevented = null;
    document.addEventListener('click', event => {
      prevented = event.defaultPrevented;
      event.preventDefault();  // the probe page must stay where it is
    });
    const last = links.length - 1;
    check(links.length === PER_PAGE, links.length + ' thumbnails on the page');

    if (IMAGE_PAGES) {
      links[0].click();
      check(prevented === false, 'a click on a thumbnail is left to the link to the image page');
      check(!open(), 'no viewer over a page of image page links');
      result.seen.push('image page link followed');
      result.ok = true;
      return;
    }

    check(!open(), 'the viewer is shut before any click');
    links[1].click();
    check(prevented === true, 'the click on the thumbnail is not left to the link');
    check(open(), 'the viewer opens on a click');
    check(dialog().getAttribute('aria-modal') === 'true', 'the viewer is a modal dialog');
    check(dialog().contains(document.activeElement), 'focus moves into the viewer');
    check(locked(), 'the page behind does not scroll');
    await until(() => shows(1), 'the second picture shows');
    const box = picture().getBoundingClientRect();
    check(box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight,
          'the picture fits the window');
    result.seen.push('opened on picture 2');

    key('ArrowRight');
    check(dialog().classList.contains('pnv-loading') && picture().hidden &&
          /Loading/.test(dialog().textContent), 'a picture shows a loading state until it has loaded');
    await until(() => shows(2), 'Right shows picture 3');
    check(!dialog().classList.contains('pnv-loading'), 'the loading state ends with the load');
    key('ArrowLeft'); key('ArrowLeft');
    await until(() => shows(0), 'Left twice shows picture 1');
    const failed = () => open() && picture().hidden && dialog().classList.contains('pnv-failed') &&
                         /could not be loaded/.test(dialog().textContent);
    key('ArrowLeft');
    await until(failed, 'Left from the first picture wraps to the last, whose copy is missing, and says so');
    check(dialog().textContent.includes(decodeURIComponent(links[last].pathname.split('/').pop())),
          'the message names the missing picture');
    result.seen.push('arrow keys step and wrap, missing picture reported');

    button('Next picture').click();
    await until(() => shows(0), 'the on-screen Next arrow wraps to the first picture');
    button('Previous picture').click();
    await until(failed, 'the on-screen Previous arrow steps back');
    result.seen.push('on-screen arrows step');

    const at = { clientX: 300, clientY: 300, pointerType: 'touch', isPrimary: true, bubbles: true };
    dialog().dispatchEvent(new PointerEvent('pointerdown', at));
    dialog().dispatchEvent(new PointerEvent('pointerup', Object.assign({}, at, { clientX: 150, clientY: 320 })));
    dialog().dispatchEvent(new MouseEvent('click', { bubbles: true, clientX: 150, clientY: 320 }));
    await until(() => shows(0), 'a swipe to the left shows the next picture');
    check(open(), 'the click that ends a swipe does not close the viewer');
    dialog().dispatchEvent(new PointerEvent('pointerdown', at));
    dialog().dispatchEvent(new PointerEvent('pointerup', Object.assign({}, at, { clientX: 420 })));
    await until(failed, 'a swipe to the right shows the previous picture');
    dialog().dispatchEvent(new PointerEvent('pointerdown', at));
    dialog().dispatchEvent(new PointerEvent('pointerup', Object.assign({}, at, { clientX: 290, clientY: 150 })));
    await wait(100);
    check(failed(), 'an upward move is no swipe');
    result.seen.push('swipes step');
    button('Previous picture').click();
    await until(() => shows(last - 1), 'Previous steps back from the last picture');

    for (let i = 0; i < 4; i++) {
      key('Tab', { shiftKey: i % 2 === 1 });
      check(dialog().contains(document.activeElement), 'Tab keeps focus in the viewer');
    }
    key('Escape');
    check(!open(), 'Escape closes the viewer');
    check(document.activeElement === links[last - 1], 'focus returns to the thumbnail of the picture shown');
    check(!locked(), 'the page scrolls again');
    check(!document.querySelector('[inert]'), 'the page takes input again');
    result.seen.push('Escape closed');

    links[0].click();
    await until(() => shows(0), 'the first picture shows');
    dialog().click();
    check(!open(), 'a click beside the picture closes the viewer');
    check(document.activeElement === links[0], 'focus returns to the first thumbnail');
    links[0].click();
    check(open(), 'the viewer opens again');
    button('Close').click();
    check(!open(), 'the close button closes the viewer');
    result.seen.push('click outside and close button closed');
    result.ok = true;
  } catch (error) {
    result.error = error.message;
  } finally {
    parent.postMessage({ probe: PROBE_NAME, result: result }, '*');
  }
})();
</script>
"""


def probe_page(site, name, per_page, image_pages):
    text = (site / "index1.html").read_text(encoding="utf-8")
    probe = (PROBE.replace("PER_PAGE", str(per_page)).replace("PROBE_NAME", json.dumps(name))
             .replace("IMAGE_PAGES", "true" if image_pages else "false"))
    page = site / "probe.html"
    page.write_text(text.replace("</body>", probe + "</body>"), encoding="utf-8")
    return page


# Holds every probe in a frame of its own size, so that one browser run
# drives them all, and writes their results into itself for --dump-dom.
HARNESS = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>probes</title></head><body>
FRAMES
<pre id="probe-result"></pre>
<script>
const results = {};
const expected = COUNT;
addEventListener('message', event => {
  results[event.data.probe] = event.data.result;
  if (Object.keys(results).length === expected)
    document.getElementById('probe-result').textContent = JSON.stringify(results);
});
</script>
</body></html>
"""

SIZES = ((1366, 900), (390, 844))


def check_viewer(tool, maker):
    """Every template's viewer at both widths, and the image-page links of
    template 1, in one browser run."""
    browser = chromium()
    if not browser:
        print("chromium is not installed (Debian package chromium)")
        return None
    problems = []
    frames = []
    with tempfile.TemporaryDirectory(prefix="pixelnook-viewer-") as tmp:
        root = pathlib.Path(tmp)
        pictures = make_pictures(maker, root / "pictures", max(m for m, _, _ in TEMPLATES.values()) + 1)
        cases = [(n, False) for n in TEMPLATES] + [(1, True)]
        for n, image_pages in cases:
            per_page = TEMPLATES[n][0]
            folder = root / f"template{n}{'-image-pages' if image_pages else ''}"
            # One picture more than a page holds, so that a second page and
            # its Next/Previous links exist; the last picture of the first
            # page has lost its copy.
            site, names = build_site(tool, pictures[:per_page + 1], folder, n, image_pages,
                                     missing=None if image_pages else per_page - 1)
            problems += check_links(site / "index1.html", names, per_page, image_pages)
            for width, height in SIZES[:1] if image_pages else SIZES:
                name = f"{folder.name} at {width} px"
                page = probe_page(site, name, per_page, image_pages)
                copy = page.with_name(f"probe-{width}.html")
                page.rename(copy)
                frames.append(f'<iframe src="{copy.relative_to(root).as_posix()}" '
                              f'width="{width}" height="{height}"></iframe>')
        harness = root / "harness.html"
        harness.write_text(HARNESS.replace("FRAMES", "\n".join(frames)).replace("COUNT", str(len(frames))),
                           encoding="utf-8")
        run = run_chromium(browser, harness.as_uri(), 1400, 1000,
                           ["--allow-file-access-from-files", "--dump-dom"], timeout=90)
        match = re.search(r'<pre id="probe-result">(.*?)</pre>', run.stdout, flags=re.S)
        text = (match.group(1) if match else "").replace("&quot;", '"').replace("&lt;", "<") \
            .replace("&gt;", ">").replace("&amp;", "&")
        if not text:
            return problems + [f"not every probe reported (chromium exit {run.returncode}):\n"
                               + run.stderr[-2000:]]
        for name, result in sorted(json.loads(text).items()):
            if not result.get("ok"):
                problems.append(f"{name}: {result.get('error')} (after: {', '.join(result['seen'])})")
            else:
                print(f"ok {name}: {'; '.join(result['seen'])}")
    return problems


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
    if len(argv) == 3 and argv[0] == "viewer":
        return report(check_viewer(argv[1], argv[2]))
    if len(argv) == 4 and argv[0] == "screenshots":
        return screenshots(argv[1], argv[2], argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
