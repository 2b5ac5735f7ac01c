// The site's service worker (sw.js, written by make_service_worker.js with
// CACHE and FILES above it). It keeps every file a visit needs in one cache
// named by the build, so that the page starts with no network, and a page
// never mixes the files of two builds: a new build's worker fills a new
// cache, waits until no page of the old build is open (or the one page
// opening asks it to take over), then deletes the old cache whole.

// Each file as it was built: the browser's HTTP cache is used when it holds
// that very file, which spares a second download on the first visit.
async function fetchChecked(name) {
  const integrity = FILES[name];
  let response = await fetch(name, {integrity}).catch(() => null);
  if (!response || !response.ok) response = await fetch(name, {integrity, cache: 'reload'});
  if (!response.ok) throw new Error(`${name}: ${response.status}`);
  return response;
}

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE).then(cache =>
    Promise.all(Object.keys(FILES).map(name => fetchChecked(name).then(response => cache.put(name, response))))));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(name => name.startsWith('mapfolio-') && name != CACHE)
                                    .map(name => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// Whether the page asking is the only one open. A page that reloads may
// still be listed for a moment after its next document asks; another tab
// stays listed.
async function alone() {
  for (let look = 0; look < 10; ++look) {
    if (look) await new Promise(resolve => setTimeout(resolve, 100));
    if ((await self.clients.matchAll({type: 'window', includeUncontrolled: true})).length <= 1) return true;
  }
  return false;
}

// A page that starts while this worker waits asks it to take over; it does
// when that page is the only one open, so no running page changes builds,
// and answers whether it did.
self.addEventListener('message', event => {
  if (event.data != 'take-over') return;
  event.waitUntil(alone().then(async taking => {
    if (taking) await self.skipWaiting();
    event.ports[0].postMessage(taking);
  }));
});

// The site's own files come from the cache; anything else (a guide published
// beside the site, the script runner) from the network.
self.addEventListener('fetch', event => {
  const request = event.request;
  if (request.method != 'GET') return;
  const url = new URL(request.url);
  const scope = self.registration.scope;
  const here = url.origin + url.pathname;
  if (!here.startsWith(scope)) return;
  const name = decodeURIComponent(here.slice(scope.length)) || 'index.html';
  if (!(name in FILES)) return;
  event.respondWith(caches.open(CACHE).then(cache => cache.match(name)).then(kept => kept || fetch(request)));
});
