// The site kept in the browser, so that it opens and works with no network once it has been
// visited from a web server (the pages register this; from a file they do not).
// cmake/serviceworker.cmake makes the site's sw.js from this file: the files the site has, and its
// build, a hash of them all. A new build is so a new service worker, which the browser fetches at
// the next visit with the network; it keeps the new site and drops the old copy.
const FILES = [@TRAK_FILES@];
// Caches belong to the origin: another copy of the site there keeps its own.
const PREFIX = 'trak ' + self.registration.scope + ' ';
const CACHE = PREFIX + '@TRAK_BUILD@';

self.addEventListener('install', (event) => {
  // Past the HTTP cache, which may still hold the files of the build before.
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith(PREFIX) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// A kept file answers whatever the query (?input=, ?answers=: the page reads it itself), and the
// site's folder is its index; anything else, such as a file added to the site, comes from the
// network.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== location.origin) return;
  const file = url.origin + url.pathname === self.registration.scope ? 'index.html' : event.request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(file, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
