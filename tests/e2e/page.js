// What the page tests (page.py) ask of a page: put into it, as `trak`, each time a page has loaded.
window.trak ??= (() => {
  const byId = (id) => document.getElementById(id);
  // The input events given to the page, counted before its own handlers see them.
  const seen = {};
  for (const type of ['mousedown', 'mouseup', 'mousemove', 'keydown', 'touchend']) {
    seen[type] = 0;
    addEventListener(type, () => seen[type]++, true);
  }
  let drawn = null;
  return {
    seen,
    // The console's and the error line's text, and the exit status once the program has ended.
    shown: () => [byId('console').textContent, byId('errors').textContent,
                  window.Module?.exitStatus ?? null],
    // An element's box in the viewport, the page at its top.
    rect: (id) => (scrollTo(0, 0), byId(id).getBoundingClientRect().toJSON()),
    // The frames drawn since the first call (each clears the canvas), and the bytes sent to the
    // GPU's buffers; null until the window shows.
    drawn: () => drawn ?? (window.Module?.ctx ? (drawn = count(Module.ctx)) : null),
    // The page's width, how wide it scrolls, and where its widest parts end.
    widths: () => [innerWidth, document.documentElement.scrollWidth,
                   ...['canvas', 'console', 'answer'].map((id) => byId(id).getBoundingClientRect().right)],
    // The page's list of the path: a line each leg's end, then the line of the legs not listed.
    path: () => [...document.querySelectorAll('#path li, #path-more')].map((e) => e.textContent)
      .join('\n'),
    // axe-core's violations of WCAG 2.2 A and AA and of its best practices, as `rule: elements`,
    // into trak.violations.
    axe: () => axe.run(document, { runOnly: { type: 'tag', values: [
      'wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'] } })
      .then((r) => (trak.violations = r.violations.map((v) => v.id + ': ' +
        v.nodes.map((n) => n.target.join(' ')).join(', ')))),
    // The names of the caches of the site's service worker, once it answers for the page.
    kept: () => navigator.serviceWorker.controller &&
      (caches.keys().then((names) => (trak.caches = names)), trak.caches),
    // The sizes that images show at, joined, into trak.shownSizes.
    sizes: (urls) => Promise.all(urls.map((src) => Object.assign(new Image(), { src }))
      .map((i) => i.decode().then(() => i.width + 'x' + i.height, () => 0)))
      .then((sizes) => (trak.shownSizes = sizes.join())),
    // The SHA-256 of what the page fetches at `url` past the HTTP cache, or the error, into
    // trak.digested.
    digest: (url) => fetch(url, { cache: 'no-store' }).then((r) => r.arrayBuffer())
      .then((b) => crypto.subtle.digest('SHA-256', b))
      .then((d) => [...new Uint8Array(d)].map((x) => x.toString(16).padStart(2, '0')).join(''),
        String).then((digest) => (trak.digested = digest)),
  };

  function count(gl) {
    const n = { frames: 0, bytes: 0 };
    const wrap = (f, add) => { const o = gl[f].bind(gl); gl[f] = (...a) => (add(...a), o(...a)); };
    wrap('clear', () => n.frames++);
    wrap('bufferData', (target, data) => (n.bytes += data.byteLength || 0));
    wrap('bufferSubData', (target, offset, data) => (n.bytes += data.byteLength));
    return n;
  }
})();
