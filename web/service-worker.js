// The offline copy: every file of this build in one cache, named after the
// build, so that the game starts without a network after one visit. A new
// build served changes this file (its list of versioned names), so the
// browser installs it: the new files are fetched while the old copy still
// serves, then the old cache is deleted. Everything is relative to the
// worker's own folder, so the site works from any path.
'use strict';

const BUILD = '@QUARVEL_BUILD@';
const FILES = [@QUARVEL_OFFLINE_FILES@];
const SCOPE = self.registration.scope;
const CACHE_PREFIX = 'quarvel ' + SCOPE + ' ';
const CACHE = CACHE_PREFIX + BUILD;
const PAGE = new URL('index.html', SCOPE).href;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // Past the browser's HTTP cache: an unversioned file may be stale there.
    await cache.addAll(FILES.map((file) => new Request(new URL(file, SCOPE).href, { cache: 'reload' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(CACHE_PREFIX) && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

async function fromCache(request) {
  const cache = await caches.open(CACHE);
  return cache.match(request, { ignoreSearch: true });
}

// The page itself: the network first, so a new version is seen at once;
// this build's copy when the network fails. The game's files carry their
// content in their names: this build's copy first.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(SCOPE)) return;
  if (request.mode === 'navigate') {
    event.respondWith((async () => {
      try {
        return await fetch(request);
      } catch (error) {
        const copy = (await fromCache(request)) || (await fromCache(PAGE));
        if (copy) return copy;
        throw error;
      }
    })());
    return;
  }
  event.respondWith((async () => (await fromCache(request)) || fetch(request))());
});
