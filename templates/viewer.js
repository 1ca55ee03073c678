/* Picture viewer. Each thumbnail on this page is a plain link to its picture,
   which works with scripts off. With scripts on, a click opens the picture in
   an overlay instead: arrows, the arrow keys or a swipe step through this
   page's pictures, and Escape, the close button or a click beside the picture
   closes it. When the thumbnails link to image pages (links ending in .html)
   the viewer stays off and the links lead to those pages as before. */
(function () {
  'use strict';
  if (!document.querySelector || !document.addEventListener) { return; }

  var links = [];
  var anchors = document.querySelectorAll('a[href]');
  var k;
  for (k = 0; k < anchors.length; k++) {
    var a = anchors[k];
    if (a.querySelector('img') && !/\.s?html?$/i.test(a.pathname)) { links.push(a); }
  }
  if (!links.length) { return; }

  var root = document.documentElement;
  var overlay, stage, picture, status, count, prev, next, close;
  var current = -1;
  var loading = null;
  var inerted = [];
  var swipe = null;
  var swiped = false;

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

  /* The picture's own file name, for its alternative text and messages. */
  function nameOf(link) {
    var path = link.pathname;
    var name = path.substring(path.lastIndexOf('/') + 1);
    try { return decodeURIComponent(name); } catch (e) { return name; }
  }

  function build() {
    overlay = element('div', 'pnv', document.body);
    overlay.hidden = true;
    overlay.setAttribute('role', 'dialog');
    overlay.setAttribute('aria-modal', 'true');
    overlay.setAttribute('aria-label', 'Picture viewer');
    overlay.tabIndex = -1;
    stage = element('div', 'pnv-stage', overlay);
    picture = element('img', 'pnv-img', stage);
    picture.hidden = true;
    status = element('p', 'pnv-status', stage);
    status.setAttribute('role', 'status');
    status.setAttribute('aria-live', 'polite');
    count = element('p', 'pnv-count', overlay);
    prev = button('pnv-prev', 'Previous picture');
    next = button('pnv-next', 'Next picture');
    close = button('pnv-close', 'Close');
    prev.hidden = next.hidden = links.length < 2;

    prev.addEventListener('click', function () { step(-1); });
    next.addEventListener('click', function () { step(1); });
    close.addEventListener('click', hide);
    overlay.addEventListener('click', function (event) {
      if (swiped) { swiped = false; return; }
      if (event.target === overlay || event.target === stage) { hide(); }
    });
    overlay.addEventListener('keydown', onKey);
    if (window.PointerEvent) {
      overlay.addEventListener('pointerdown', function (event) {
        if (event.pointerType !== 'mouse') { swipe = { x: event.clientX, y: event.clientY }; }
      });
      overlay.addEventListener('pointerup', function (event) { endSwipe(event.clientX, event.clientY); });
      overlay.addEventListener('pointercancel', function () { swipe = null; });
    } else {
      overlay.addEventListener('touchstart', function (event) {
        var t = event.changedTouches[0];
        swipe = { x: t.clientX, y: t.clientY };
      });
      overlay.addEventListener('touchend', function (event) {
        var t = event.changedTouches[0];
        endSwipe(t.clientX, t.clientY);
      });
    }
  }

  /* A mostly sideways move of at least 40 pixels: to the left shows the next
     picture, as if the picture were pushed aside. */
  function endSwipe(x, y) {
    if (!swipe) { return; }
    var dx = x - swipe.x;
    var dy = y - swipe.y;
    swipe = null;
    if (Math.abs(dx) >= 40 && Math.abs(dx) > 1.5 * Math.abs(dy)) {
      swiped = true;
      window.setTimeout(function () { swiped = false; }, 400);
      step(dx < 0 ? 1 : -1);
    }
  }

  function show(index) {
    current = (index + links.length) % links.length;
    var link = links[current];
    var url = link.href;
    var name = nameOf(link);
    count.textContent = (current + 1) + ' / ' + links.length;
    picture.hidden = true;
    picture.removeAttribute('src');
    overlay.className = 'pnv pnv-loading';
    status.textContent = 'Loading ' + name + '\u2026';
    if (loading) { loading.onload = loading.onerror = null; }
    var image = new Image();
    loading = image;
    image.onload = function () {
      if (loading !== image) { return; }
      loading = null;
      picture.src = url;
      picture.alt = name;
      picture.hidden = false;
      overlay.className = 'pnv';
      status.textContent = '';
    };
    image.onerror = function () {
      if (loading !== image) { return; }
      loading = null;
      overlay.className = 'pnv pnv-failed';
      status.textContent = 'The picture ' + name + ' could not be loaded.';
    };
    image.src = url;
  }

  function step(delta) {
    if (links.length > 1) { show(current + delta); }
  }

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
    show(index);
    if (overlay.hidden) {
      overlay.hidden = false;
      root.className += ' pnv-open';
      setInert(true);
      document.addEventListener('focusin', keepFocus);
    }
    (links.length > 1 ? next : close).focus();
  }

  function hide() {
    if (!overlay || overlay.hidden) { return; }
    if (loading) { loading.onload = loading.onerror = null; loading = null; }
    overlay.hidden = true;
    root.className = root.className.replace(/ ?\bpnv-open\b/g, '');
    setInert(false);
    document.removeEventListener('focusin', keepFocus);
    links[current].focus();
  }

  function keepFocus(event) {
    if (!overlay.contains(event.target)) { close.focus(); }
  }

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
      show(links.length - 1);
    } else if (key === 'Escape' || key === 'Esc') {
      hide();
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
      open(index);
    };
  }
  for (k = 0; k < links.length; k++) { links[k].addEventListener('click', opener(k)); }

  /* Arrow keys and Escape must reach the viewer even when focus has left its
     buttons, for example after a click on the picture. */
  document.addEventListener('keydown', function (event) {
    if (overlay && !overlay.hidden && !overlay.contains(event.target)) { onKey(event); }
  });
})();
