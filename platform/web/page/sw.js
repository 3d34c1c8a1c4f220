// The page's service worker: every file of the page in one cache per
// version, answered from there first, so that after one visit the page starts
// and plays with no network. assemble_page.py writes kPrecache above this
// when it puts the page together: the version (a hash of every file's
// contents) and the files' paths, so a changed file makes a new worker and a
// new cache. The new worker waits until the page starts again and asks for it
// (js/offline.js); the old caches go when it takes over.
/* global kPrecache */
const kCachePrefix = "kanae-";
const kCacheName = kCachePrefix + kPrecache.version;
// "" is the folder itself: the page as the address without index.html names it.
const kKept = new Set(["", ...kPrecache.files]);

const scope = () => new URL(self.registration.scope);

// A path as the page names its files ("lessons/demo/あめ.jpg"), without
// %-escapes or a query; null for what is not the page's.
function pathOf(address) {
  const url = new URL(address);
  const base = scope();
  if (url.origin !== base.origin || !url.pathname.startsWith(base.pathname)) return null;
  try {
    return decodeURIComponent(url.pathname.slice(base.pathname.length));
  } catch {
    return null;
  }
}

function addressOf(path) {
  return new URL(path.split("/").map(encodeURIComponent).join("/"), scope()).href;
}

self.addEventListener("install", (event) => {
  // From the server itself, not the browser's HTTP cache: the cache holds
  // this version's files and no older copy of one.
  event.waitUntil(
    caches
      .open(kCacheName)
      .then((cache) => cache.addAll([...kKept].map((path) => new Request(addressOf(path), { cache: "reload" })))),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    (async () => {
      for (const name of await caches.keys()) {
        if (name.startsWith(kCachePrefix) && name !== kCacheName) await caches.delete(name);
      }
      // The first visit's page is kept from now on, not only after a reload.
      await self.clients.claim();
    })(),
  );
});

// Sent by the page as it starts, before anything is open.
self.addEventListener("message", (event) => {
  if (event.data === "take-over") event.waitUntil(self.skipWaiting());
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET") return;
  const path = pathOf(request.url);
  // Anything else (another site, a file this version does not have) goes to
  // the network as it would without a worker.
  if (path === null || !kKept.has(path)) return;
  // The query (?game=Oltar&autostart) does not name another file.
  event.respondWith(
    caches
      .open(kCacheName)
      .then((cache) => cache.match(addressOf(path)))
      .then((kept) => kept ?? fetch(request)),
  );
});
