/* Picture viewer. Each thumbnail on this page is a plain link to its picture,
   which works with scripts off. With scripts on, a click opens the picture in
   an overlay instead, with an address of its own (the page's address and the
   picture's name after a "#"), so that Back closes it and the address can be
   shared or reloaded. Arrows, the arrow keys or a swipe step through the whole
   album: served over http(s), the gallery pages reached through the Next and
   Previous links are read in the background and their pictures follow this
   page's; opened from disk, where pages cannot be read, the viewer keeps to
   this page and wraps around. The pictures beside the one shown are loaded
   ahead. Pinch, double tap, double click or the wheel zoom, and a zoomed
   picture pans. Escape, the close button or a click beside the picture closes
   the viewer. When the thumbnails link to image pages (links ending in .html)
   the viewer stays off and the links lead to those pages as before. Either
   way every thumbnail is given its picture's name as its text. */
(function () {
  'use strict';
  if (!document.querySelector || !document.addEventListener) { return; }

  var HTML = /\.s?html?$/i;

  /* The full address of a link found on a gallery page. The build writes
     every gallery page into one folder, so a link means the same on each. */
  var resolver = document.createElement('a');
  function resolve(href) {
    resolver.href = href;
    return resolver.href;
  }

  /* The last part of a path, decoded when it can be. */
  function fileOf(path) {
    var name = path.substring(path.lastIndexOf('/') + 1);
    try { return decodeURIComponent(name); } catch (e) { return name; }
  }

  function withoutExtension(name) {
    var dot = name.lastIndexOf('.');
    return dot > 0 ? name.substring(0, dot) : name;
  }

  /* The thumbnail links of a gallery page, in page order. */
  function thumbnailLinks(doc) {
    var found = [];
    var anchors = doc.querySelectorAll('a[href]');
    for (var i = 0; i < anchors.length; i++) {
      if (anchors[i].querySelector('img')) { found.push(anchors[i]); }
    }
    return found;
  }

  var links = thumbnailLinks(document);
  var viewer = links.length > 0;
  var k;
  for (k = 0; k < links.length; k++) {
    var thumb = links[k].querySelector('img');
    var target = links[k].getAttribute('href');
    if (HTML.test(links[k].pathname)) {
      viewer = false;
      /* An image page's address does not carry the picture's name, the
         thumbnail's does: "tn" is the thumbnail prefix the build uses unless
         told otherwise. */
      target = fileOf(thumb.getAttribute('src') || '').replace(/^tn/, '');
    } else {
      target = fileOf(links[k].pathname);
    }
    if (!thumb.hasAttribute('alt') || !thumb.getAttribute('alt')) {
      thumb.alt = withoutExtension(target);
    }
  }
  if (!viewer || !window.history || !history.pushState) { return; }

  var root = document.documentElement;
  var here = location.href.replace(/#.*$/, '');
  var readable = /^https?:$/.test(location.protocol) && !!window.fetch && !!window.DOMParser;

  /* The album: every picture known so far, in album order. Each entry holds
     the picture's address, its name, the gallery page it is on, its place on
     that page and, for this page's pictures, the thumbnail link. */
  function entry(href, page, place, count, link) {
    var path = href.replace(/[?#].*$/, '');
    return { href: href, name: fileOf(path), page: page, place: place, count: count, link: link };
  }
  var album = [];
  var known = {};
  for (k = 0; k < links.length; k++) {
    album.push(entry(links[k].href, here, k, links.length, links[k]));
    known[links[k].href] = true;
  }

  /* Next and Previous links of a gallery page: the pager the build writes. */
  function pager(doc) {
    var found = { next: null, prev: null };
    var anchors = doc.querySelectorAll('a[href]');
    for (var i = 0; i < anchors.length; i++) {
      var a = anchors[i];
      if (a.querySelector('img')) { continue; }
      var text = (a.textContent || '').replace(/^\s+|\s+$/g, '');
      var href = a.getAttribute('href');
      if (!HTML.test(href.replace(/[?#].*$/, ''))) { continue; }
      if (text === 'Next' && !found.next) { found.next = resolve(href); }
      if (text === 'Previous' && !found.prev) { found.prev = resolve(href); }
    }
    return found;
  }

  var ends = pager(document);
  /* Each way holds the next page to read that way, or null once its end is
     reached; a way that cannot be read is given up. */
  var ways = { next: readable ? ends.next : null, prev: readable ? ends.prev : null };
  var visited = {};
  visited[here] = true;
  var complete = !ways.next && !ways.prev && readable;
  var walking = false;
  var failedWalk = !readable;

  /* The pages are read one at a time, by turns on either side, the side the
     visitor is waiting for first. */
  var turn = 'next';
  function walk() {
    if (walking) { return; }
    var first = waiting < 0 ? 'prev' : waiting > 0 ? 'next' : turn;
    var other = first === 'next' ? 'prev' : 'next';
    var way = ways[first] ? first : ways[other] ? other : null;
    turn = other;
    if (!way) {
      if (!failedWalk) { complete = true; }
      refresh();
      return;
    }
    var url = ways[way];
    if (visited[url]) { ways[way] = null; walk(); return; }
    visited[url] = true;
    walking = true;
    fetch(url, { credentials: 'same-origin' }).then(function (response) {
      if (!response.ok) { throw new Error(response.status); }
      return response.text();
    }).then(function (text) {
      walking = false;
      var doc = new DOMParser().parseFromString(text, 'text/html');
      var found = thumbnailLinks(doc);
      var added = [];
      var again = false;
      for (var i = 0; i < found.length; i++) {
        var href = resolve(found[i].getAttribute('href'));
        if (HTML.test(href.replace(/[?#].*$/, ''))) { continue; }
        /* A page met before under another address (a site's start page,
           say) ends the way there. */
        if (known[href]) { again = true; break; }
        added.push(entry(href, url, i, found.length, null));
      }
      if (again) { added = []; }
      for (i = 0; i < added.length; i++) { known[added[i].href] = true; }
      if (way === 'next') {
        album = album.concat(added);
      } else {
        album = added.concat(album);
        if (current >= 0) { current += added.length; }
      }
      ways[way] = again ? null : pager(doc)[way];
      walk();
      afterWalk();
    }, function () {
      walking = false;
      ways[way] = null;
      failedWalk = true;
      walk();
      afterWalk();
    });
  }

  /* What the viewer shows, how it is laid out and how it is driven. */
  var overlay, stage, picture, status, count, prev, next, close;
  var current = -1;
  var waiting = 0;
  var inerted = [];
  var cache = {};
  var ours = false;

  function element(tag, className, parent) {
    var e = document.createElement(tag);
    if (className) { e.className = className; }
    if (parent) { parent.appendChild(e); }
    return e;
  }

  function button(className, label) {
    var b = element('button', 'pnv-btn ' + className, overlay);
    b.type = 'button';
    b.setAttribute('aria-label', label);
    b.title = label;
    return b;
  }

  function build() {
    overlay = element('div', 'pnv', document.body);
    overlay.hidden = true;
    overlay.setAttribute('role', 'dialog');
    overlay.setAttribute('aria-modal', 'true');
    overlay.setAttribute('aria-label', 'Picture viewer');
    overlay.tabIndex = -1;
    stage = element('div', 'pnv-stage', overlay);
    status = element('p', 'pnv-status', stage);
    status.setAttribute('role', 'status');
    status.setAttribute('aria-live', 'polite');
    count = element('p', 'pnv-count', overlay);
    prev = button('pnv-prev', 'Previous picture');
    next = button('pnv-next', 'Next picture');
    close = button('pnv-close', 'Close');

    prev.addEventListener('click', function () { step(-1); });
    next.addEventListener('click', function () { step(1); });
    close.addEventListener('click', function () { leave(true); });
    overlay.addEventListener('click', function (event) {
      if (gesture.swiped) { gesture.swiped = false; return; }
      if (event.target === overlay || event.target === stage) { leave(true); }
    });
    overlay.addEventListener('keydown', onKey);
    overlay.addEventListener('dblclick', function (event) {
      /* A double tap has zoomed already; its double click must not undo it. */
      if (event.target === picture && Date.now() - gesture.tapZoom > 500) {
        toggleZoom(event.clientX, event.clientY);
      }
    });
    overlay.addEventListener('wheel', onWheel, { passive: false });
    if (window.PointerEvent) {
      overlay.addEventListener('pointerdown', onPointerDown);
      overlay.addEventListener('pointermove', onPointerMove);
      overlay.addEventListener('pointerup', onPointerUp);
      overlay.addEventListener('pointercancel', onPointerCancel);
    }
  }

  /* ------------------------------------------------------------ pictures */

  /* A picture element for an address, loaded and decoded ahead of need. */
  function load(href) {
    var item = cache[href];
    if (item) { return item; }
    var image = new Image();
    item = { image: image, state: 'loading', done: null };
    cache[href] = item;
    image.className = 'pnv-img';
    image.draggable = false;
    function ready() {
      item.state = 'ready';
      if (item.done) { item.done(); }
    }
    image.onload = function () {
      if (image.decode) { image.decode().then(ready, ready); } else { ready(); }
    };
    image.onerror = function () {
      item.state = 'failed';
      if (item.done) { item.done(); }
    };
    image.src = href;
    return item;
  }

  /* Loads the pictures beside the one shown and lets go of those far away. */
  function preload() {
    var keep = {};
    for (var d = -2; d <= 2; d++) {
      var at = current + d;
      if (at >= 0 && at < album.length) { keep[album[at].href] = true; }
    }
    for (var href in cache) {
      if (!keep[href]) { cache[href].image.onload = cache[href].image.onerror = null; delete cache[href]; }
    }
    var order = [1, -1, 2, -2];
    for (var i = 0; i < order.length; i++) {
      var to = current + order[i];
      if (to >= 0 && to < album.length) { load(album[to].href); }
    }
  }

  function counter() {
    var item = album[current];
    count.textContent = complete ? (current + 1) + ' / ' + album.length
                                 : (item.place + 1) + ' / ' + item.count;
  }

  /* Steps that cannot go further are hidden, and wrapping is only for a
     viewer kept to this page. */
  function refresh() {
    if (!overlay || current < 0) { return; }
    counter();
    var wraps = !complete && failedWalk;
    prev.hidden = album.length < 2 || (!wraps && current === 0 && !ways.prev && !walking);
    next.hidden = album.length < 2 ||
                  (!wraps && current === album.length - 1 && !ways.next && !walking);
  }

  function show(index) {
    current = index;
    var item = album[current];
    var cached = load(item.href);
    resetZoom();
    if (picture && picture.parentNode) { picture.parentNode.removeChild(picture); }
    picture = cached.image;
    picture.alt = withoutExtension(item.name);
    picture.style.transform = '';
    stage.insertBefore(picture, status);
    cached.done = null;
    function settle() {
      if (album[current] !== item) { return; }
      if (cached.state === 'ready') {
        picture.hidden = false;
        overlay.className = 'pnv';
        status.textContent = '';
      } else {
        picture.hidden = true;
        overlay.className = 'pnv pnv-failed';
        status.textContent = 'The picture ' + item.name + ' could not be loaded.';
      }
    }
    if (cached.state === 'loading') {
      picture.hidden = true;
      overlay.className = 'pnv pnv-loading';
      status.textContent = 'Loading ' + item.name + '\u2026';
      cached.done = settle;
    } else {
      settle();
    }
    refresh();
    address(item);
    preload();
  }

  /* The address of the picture shown: its own gallery page and its name. */
  function address(item) {
    var url = item.page + '#' + encodeURIComponent(item.name);
    if (location.href === url) { return; }
    if (ours) {
      history.replaceState({ pnv: true }, '', url);
    } else {
      history.pushState({ pnv: true }, '', url);
      ours = true;
    }
  }

  function step(delta) {
    if (album.length < 2) { return; }
    var to = current + delta;
    if (to < 0 || to >= album.length) {
      var way = delta > 0 ? 'next' : 'prev';
      if (ways[way] || walking) {
        /* The page beyond is still being read: step once it is there. */
        waiting = delta;
        walk();
        return;
      }
      if (complete || !failedWalk) { return; }
      to = (to + album.length) % album.length;
    }
    show(to);
  }

  function afterWalk() {
    if (waiting && overlay && !overlay.hidden) {
      var delta = waiting;
      var to = current + delta;
      if (to >= 0 && to < album.length) { waiting = 0; show(to); return; }
      if (!ways.next && !ways.prev && !walking) { waiting = 0; step(delta); return; }
    }
    if (overlay && !overlay.hidden) { refresh(); preload(); }
  }

  /* ------------------------------------------------------------ open, close */

  /* While the viewer is open the page behind it takes no clicks, focus or
     scrolling. */
  function setInert(on) {
    var children = document.body.children;
    var i;
    if (on) {
      for (i = 0; i < children.length; i++) {
        var child = children[i];
        if (child !== overlay && !child.hasAttribute('inert') && child.tagName !== 'SCRIPT') {
          child.setAttribute('inert', '');
          child.setAttribute('aria-hidden', 'true');
          inerted.push(child);
        }
      }
    } else {
      for (i = 0; i < inerted.length; i++) {
        inerted[i].removeAttribute('inert');
        inerted[i].removeAttribute('aria-hidden');
      }
      inerted = [];
    }
  }

  function open(index) {
    if (!overlay) { build(); }
    var opening = overlay.hidden;
    if (opening) {
      overlay.hidden = false;
      root.className += ' pnv-open';
      setInert(true);
      document.addEventListener('focusin', keepFocus);
    }
    show(index);
    if (opening) { (next.hidden ? close : next).focus(); }
    walk();
  }

  /* Closes the viewer and gives focus back to the thumbnail of the picture
     shown, or to the nearest one when that picture is on another page. */
  function hide() {
    if (!overlay || overlay.hidden) { return; }
    var item = album[current];
    waiting = 0;
    resetZoom();
    overlay.hidden = true;
    root.className = root.className.replace(/ ?\bpnv-open\b/g, '');
    setInert(false);
    document.removeEventListener('focusin', keepFocus);
    ours = false;
    var link = item.link;
    if (!link) {
      link = album.indexOf(item) < album.indexOf(firstHere()) ? links[0] : links[links.length - 1];
    }
    link.focus();
  }

  function firstHere() {
    for (var i = 0; i < album.length; i++) { if (album[i].link) { return album[i]; } }
    return null;
  }

  /* Closing from the viewer itself goes back in history over the viewer's
     address, as Back would. A picture of another page was reached without
     leaving this one, so that page is shown then, at its picture. */
  function leave(fromViewer) {
    if (!overlay || overlay.hidden) { return; }
    var item = album[current];
    if (fromViewer && !item.link) {
      try { sessionStorage.setItem('pnv-return', item.href); } catch (e) { /* focus stays at the top */ }
      location.replace(item.page);
      return;
    }
    var back = ours;
    hide();
    if (back) {
      backing = true;
      history.back();
    }
  }

  function keepFocus(event) {
    if (!overlay.contains(event.target)) { close.focus(); }
  }

  /* The picture named by the address, if it is known, opens; an address
     without a picture closes the viewer. LOADING: the page has just been
     loaded at that address. */
  function openFromAddress(closing, loading) {
    var name = location.hash.substring(1);
    if (!name) {
      if (closing) { hide(); }
      return;
    }
    try { name = decodeURIComponent(name); } catch (e) { return; }
    var base = location.href.replace(/#.*$/, '');
    for (var i = 0; i < album.length; i++) {
      if (album[i].name === name && album[i].page === base) {
        if (!overlay || overlay.hidden || current !== i) {
          if (!(history.state && history.state.pnv)) {
            if (loading) {
              /* Opened from a shared address: put the gallery page behind
                 the picture, so that Back closes the viewer. */
              history.replaceState(null, '', base);
              history.pushState({ pnv: true }, '', base + '#' + encodeURIComponent(name));
            } else {
              /* A name given to the address of the open page: Back leads to
                 the page already. */
              history.replaceState({ pnv: true }, '', location.href);
            }
          }
          ours = true;
          open(i);
        }
        return;
      }
    }
    if (closing) { hide(); }
  }

  /* Back, Forward and an address typed with another picture's name all come
     as popstate (hashchange follows each of them and is left alone: by then
     the viewer may have moved on). Going back over the viewer's address
     takes a moment; a thumbnail clicked meanwhile opens once it is done, or
     the way back would close it again. */
  var backing = false;
  var reopen = -1;
  window.addEventListener('popstate', function () {
    if (backing) {
      backing = false;
      var index = reopen;
      reopen = -1;
      if (index >= 0) { open(index); }
      return;
    }
    openFromAddress(true, false);
  });
  window.addEventListener('resize', function () { if (zoom.scale > 1) { resetZoom(); } });

  /* ------------------------------------------------------------ zoom, pan */

  var zoom = { scale: 1, x: 0, y: 0, cx: 0, cy: 0, w: 0, h: 0 };
  var MAX_ZOOM = 4;

  /* The picture's box at scale 1, from its box as it stands now. */
  function measure() {
    var box = picture.getBoundingClientRect();
    zoom.w = box.width / zoom.scale;
    zoom.h = box.height / zoom.scale;
    zoom.cx = box.left + box.width / 2 - zoom.x;
    zoom.cy = box.top + box.height / 2 - zoom.y;
  }

  /* A zoomed picture may be panned only as far as its edges reach the
     window's; one smaller than the window stays where it is. */
  function clampPan() {
    var w = zoom.w * zoom.scale;
    var h = zoom.h * zoom.scale;
    var width = window.innerWidth;
    var height = window.innerHeight;
    zoom.x = w <= width ? 0 : Math.min(w / 2 - zoom.cx, Math.max(width - zoom.cx - w / 2, zoom.x));
    zoom.y = h <= height ? 0 : Math.min(h / 2 - zoom.cy, Math.max(height - zoom.cy - h / 2, zoom.y));
  }

  function applyZoom(animate) {
    if (zoom.scale <= 1.01) { zoom.scale = 1; zoom.x = zoom.y = 0; }
    clampPan();
    picture.classList.toggle('pnv-animate', !!animate);
    picture.style.transform = zoom.scale === 1 ? ''
      : 'translate(' + zoom.x + 'px, ' + zoom.y + 'px) scale(' + zoom.scale + ')';
    overlay.classList.toggle('pnv-zoomed', zoom.scale > 1);
  }

  /* Scale to SCALE keeping the point under (px, py) where it is. */
  function zoomAt(scale, px, py, animate) {
    if (!picture || picture.hidden) { return; }
    if (zoom.scale === 1) { measure(); }
    scale = Math.max(1, Math.min(MAX_ZOOM, scale));
    var ux = (px - zoom.cx - zoom.x) / zoom.scale;
    var uy = (py - zoom.cy - zoom.y) / zoom.scale;
    zoom.x = px - zoom.cx - ux * scale;
    zoom.y = py - zoom.cy - uy * scale;
    zoom.scale = scale;
    applyZoom(animate);
  }

  function toggleZoom(px, py) {
    if (zoom.scale > 1) { zoomAt(1, px, py, true); } else { zoomAt(2.5, px, py, true); }
  }

  function resetZoom() {
    zoom.scale = 1;
    zoom.x = zoom.y = 0;
    if (picture) { picture.style.transform = ''; picture.classList.remove('pnv-animate'); }
    if (overlay) { overlay.classList.remove('pnv-zoomed'); }
  }

  function onWheel(event) {
    if (!picture || picture.hidden) { return; }
    event.preventDefault();
    var delta = event.deltaMode === 1 ? event.deltaY * 16 : event.deltaY;
    zoomAt(zoom.scale * Math.exp(-delta * 0.002), event.clientX, event.clientY, false);
  }

  /* Pointers down on the viewer: one moves (a swipe or a pan), two pinch. */
  var pointers = {};
  var gesture = { swiped: false, start: null, pinch: null, lastTap: null, moved: false, tapZoom: 0 };

  function pointerList() {
    var list = [];
    for (var id in pointers) { list.push(pointers[id]); }
    return list;
  }

  function onPointerDown(event) {
    if (event.target.tagName === 'BUTTON') { return; }
    pointers[event.pointerId] = { x: event.clientX, y: event.clientY };
    var list = pointerList();
    if (list.length === 1) {
      gesture.start = { x: event.clientX, y: event.clientY, panX: zoom.x, panY: zoom.y,
                        touch: event.pointerType !== 'mouse' };
      gesture.moved = false;
      gesture.pinch = null;
    } else if (list.length === 2 && picture && !picture.hidden) {
      if (zoom.scale === 1) { measure(); }
      var a = list[0];
      var b = list[1];
      gesture.pinch = { distance: Math.max(1, Math.hypot(a.x - b.x, a.y - b.y)), scale: zoom.scale,
                        x: (a.x + b.x) / 2, y: (a.y + b.y) / 2, panX: zoom.x, panY: zoom.y };
      gesture.start = null;
      gesture.moved = true;
    }
  }

  function onPointerMove(event) {
    var p = pointers[event.pointerId];
    if (!p) { return; }
    p.x = event.clientX;
    p.y = event.clientY;
    var list = pointerList();
    if (gesture.pinch && list.length >= 2) {
      var a = list[0];
      var b = list[1];
      var pinch = gesture.pinch;
      var scale = Math.max(1, Math.min(MAX_ZOOM, pinch.scale *
                  Math.hypot(a.x - b.x, a.y - b.y) / pinch.distance));
      var mx = (a.x + b.x) / 2;
      var my = (a.y + b.y) / 2;
      var ux = (pinch.x - zoom.cx - pinch.panX) / pinch.scale;
      var uy = (pinch.y - zoom.cy - pinch.panY) / pinch.scale;
      zoom.scale = scale;
      zoom.x = mx - zoom.cx - ux * scale;
      zoom.y = my - zoom.cy - uy * scale;
      applyZoom(false);
    } else if (gesture.start) {
      var dx = event.clientX - gesture.start.x;
      var dy = event.clientY - gesture.start.y;
      if (Math.abs(dx) > 8 || Math.abs(dy) > 8) { gesture.moved = true; }
      if (zoom.scale > 1) {
        zoom.x = gesture.start.panX + dx;
        zoom.y = gesture.start.panY + dy;
        applyZoom(false);
      }
    }
  }

  /* Keeps the click that ends a gesture from closing the viewer. */
  function swallowClick() {
    gesture.swiped = true;
    window.setTimeout(function () { gesture.swiped = false; }, 400);
  }

  function onPointerUp(event) {
    if (!pointers[event.pointerId]) { return; }
    delete pointers[event.pointerId];
    var list = pointerList();
    if (gesture.pinch) {
      /* The finger left on the screen after a pinch pans; it never steps. */
      gesture.pinch = null;
      gesture.start = list.length === 1 ? { x: list[0].x, y: list[0].y, panX: zoom.x, panY: zoom.y,
                                            touch: true, pan: true } : null;
      if (!list.length) { swallowClick(); }
      return;
    }
    var start = gesture.start;
    gesture.start = null;
    if (list.length || !start) { return; }
    var dx = event.clientX - start.x;
    var dy = event.clientY - start.y;
    if (zoom.scale > 1 || start.pan) {
      if (gesture.moved || start.pan) { swallowClick(); }
      if (start.pan) { return; }
    } else if (start.touch && Math.abs(dx) >= 40 && Math.abs(dx) > 1.5 * Math.abs(dy)) {
      /* A mostly sideways move of at least 40 pixels: to the left shows the
         next picture, as if the picture were pushed aside. */
      swallowClick();
      step(dx < 0 ? 1 : -1);
      return;
    }
    /* Two taps close together zoom in or out where they land. A mouse has
       its double click. */
    if (start.touch && !gesture.moved) {
      var now = Date.now();
      var last = gesture.lastTap;
      if (last && now - last.time < 350 && Math.hypot(event.clientX - last.x, event.clientY - last.y) < 30) {
        gesture.lastTap = null;
        if (event.target === picture || zoom.scale > 1) {
          gesture.tapZoom = now;
          toggleZoom(event.clientX, event.clientY);
          swallowClick();
        }
      } else {
        gesture.lastTap = { time: now, x: event.clientX, y: event.clientY };
      }
    }
  }

  function onPointerCancel(event) {
    delete pointers[event.pointerId];
    if (!pointerList().length) { gesture.start = null; gesture.pinch = null; }
  }

  /* ------------------------------------------------------------ keys, clicks */

  function onKey(event) {
    if (event.altKey || event.ctrlKey || event.metaKey) { return; }
    var key = event.key;
    if (key === 'ArrowRight' || key === 'Right') {
      step(1);
    } else if (key === 'ArrowLeft' || key === 'Left') {
      step(-1);
    } else if (key === 'Home') {
      show(0);
    } else if (key === 'End') {
      show(album.length - 1);
    } else if (key === '+' || key === '=' || key === '-' || key === '0') {
      var box = stage.getBoundingClientRect();
      var scale = key === '0' ? 1 : key === '-' ? zoom.scale / 1.5 : zoom.scale * 1.5;
      zoomAt(scale, box.left + box.width / 2, box.top + box.height / 2, true);
    } else if (key === 'Escape' || key === 'Esc') {
      leave(true);
    } else if (key === 'Tab') {
      var stops = [prev, next, close].filter(function (b) { return !b.hidden; });
      var at = stops.indexOf(document.activeElement);
      var to = event.shiftKey ? at - 1 : at + 1;
      stops[(to + stops.length) % stops.length].focus();
    } else {
      return;
    }
    event.preventDefault();
  }

  /* A plain click opens the viewer; a click with a modifier key or another
     button keeps its usual meaning (a new tab or window, a download). */
  function opener(index) {
    return function (event) {
      if (event.button || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) { return; }
      event.preventDefault();
      for (var i = 0; i < album.length; i++) {
        if (album[i].link === links[index]) {
          if (backing) { reopen = i; } else { open(i); }
          return;
        }
      }
    };
  }
  for (k = 0; k < links.length; k++) { links[k].addEventListener('click', opener(k)); }

  /* Arrow keys and Escape must reach the viewer even when focus has left its
     buttons, for example after a click on the picture. */
  document.addEventListener('keydown', function (event) {
    if (overlay && !overlay.hidden && !overlay.contains(event.target)) { onKey(event); }
  });

  /* Back on this page after the viewer was closed on a picture of it. */
  try {
    var back = sessionStorage.getItem('pnv-return');
    if (back) {
      sessionStorage.removeItem('pnv-return');
      for (k = 0; k < links.length; k++) {
        if (links[k].href === back) { links[k].focus(); break; }
      }
    }
  } catch (e) { /* no storage: nothing to return to */ }

  openFromAddress(false, true);
})();
