// The app around the program on index.html (page.js hands it the runner
// that opens guides on the canvas):
//
// - the guide bar: Open guide takes a folder, or a folder or its files
//   dropped on the page; the list of the guides kept, each to open or
//   remove, with the demo guide always there;
// - the reader's guides, kept in IndexedDB under their home map's name once
//   they have loaded, so they open again with no network; the page opens
//   the guide opened last;
// - ?guide=PATH, a guide published on the same site with its guide.json,
//   fetched, kept, and opened from what is kept when the network is gone;
// - the service worker that keeps the site for offline use, and the
//   sentence that a newer version is ready;
// - one copy across the site's tabs: a Web Lock held while a tab runs the
//   program, and a BroadcastChannel on which another tab asks for it.
'use strict';
window.mapfolioApp = {start(runner) {
  const params = new URLSearchParams(location.search);
  const LAST = 'mapfolio.last';  // localStorage: the guide opened last, '' the demo guide
  const bar = document.getElementById('bar');
  const list = document.getElementById('guide-list');
  const message = document.getElementById('message');
  const say = text => { message.textContent = text; };
  let shown = '';  // the guide on the canvas: its kept name, '' the demo guide

  // The guides kept: one record per guide, {name, source, files}, where
  // source is the address of a published guide's folder, else ''.
  let database = null;
  function guides(mode) {
    if (!database) {
      database = new Promise((resolve, reject) => {
        const request = indexedDB.open('mapfolio-guides', 1);
        request.onupgradeneeded = () => {
          request.result.createObjectStore('guides', {keyPath: 'name'}).createIndex('source', 'source');
        };
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
      });
    }
    return database.then(db => db.transaction('guides', mode).objectStore('guides'));
  }
  const answer = request => new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  // Changes are done once their transaction is: a guide larger than the
  // storage granted fails there, as a whole, leaving what was kept.
  const change = work => guides('readwrite').then(store => new Promise((resolve, reject) => {
    work(store);
    store.transaction.oncomplete = resolve;
    store.transaction.onabort = () => reject(store.transaction.error);
  }));
  const kept = {
    names: () => guides('readonly').then(store => answer(store.getAllKeys())),
    get: name => guides('readonly').then(store => answer(store.get(name))),
    fromSource: source => guides('readonly').then(store => answer(store.index('source').get(source))),
    put: record => change(store => store.put(record)),
    remove: name => change(store => store.delete(name)),
  };

  function item(label, open, remove) {
    const entry = document.createElement('li');
    const button = document.createElement('button');
    button.textContent = label;
    button.addEventListener('click', open);
    entry.appendChild(button);
    if (remove) {
      const removal = document.createElement('button');
      removal.textContent = '\u00d7';
      removal.title = 'Remove ' + label;
      removal.setAttribute('aria-label', removal.title);
      removal.addEventListener('click', remove);
      entry.appendChild(removal);
    }
    return entry;
  }

  async function showList() {
    const names = await kept.names().catch(() => []);
    list.textContent = '';
    const demo = item('Demo guide', () => choose(openDemo));
    demo.dataset.guide = '';
    list.appendChild(demo);
    for (const name of names) {
      const entry = item(name, () => choose(() => openKept(name)), () => removeGuide(name));
      entry.dataset.guide = name;
      list.appendChild(entry);
    }
    for (const entry of list.children) {
      if (entry.dataset.guide === shown) entry.setAttribute('aria-current', 'true');
    }
  }

  function choose(open) {
    document.getElementById('guides').open = false;
    say('');
    open();
  }

  // Opens the files as a guide. Once its home map is on the screen it is
  // the guide opened last, and, unless it is kept already (name), it is
  // kept: opening never waits for that. A guide that fails shows its
  // loading log and changes nothing kept.
  async function openFiles(files, {name = null, source = ''} = {}) {
    const maps = files.filter(([file]) => !file.includes('/') && /\.dab$/i.test(file)).length;
    if (maps > 100) say(`This guide has ${maps} maps; Mapfolio opens 100 of them, as on the handheld.`);
    let home;
    try {
      home = await runner.open(files);
    } catch (error) {
      shown = null;
      showList();
      return;
    }
    if (name !== null) {
      shown = name;
      localStorage.setItem(LAST, name);
      showList();
      return;
    }
    try {
      await kept.put({name: home, source, files});
      shown = home;
      localStorage.setItem(LAST, home);
      navigator.storage && navigator.storage.persist && navigator.storage.persist();
    } catch (error) {
      shown = null;
      say(error.name == 'QuotaExceededError'
        ? `“${home}” is open, but it is not kept: it is larger than the storage this browser grants.`
        : `“${home}” is open, but it could not be kept: ${error.message}`);
    }
    showList();
  }

  function openDemo() {
    return runner.open(runner.fetchGuide(runner.DEMO_GUIDE)).then(() => {
      shown = '';
      localStorage.setItem(LAST, '');
      showList();
    }, () => {});
  }

  async function openKept(name) {
    const record = await kept.get(name).catch(() => null);
    if (!record) {
      say(`“${name}” is no longer kept in this browser.`);
      return openDemo();
    }
    openFiles(record.files, {name});
  }

  async function openPublished(path) {
    const folder = path.endsWith('/') ? path : path + '/';
    const source = new URL(folder, document.baseURI).href;
    if (new URL(source).origin != location.origin) {
      say(`Mapfolio opens only guides published on its own site, not ${source}.`);
      return openLast();
    }
    let files;
    try {
      files = await runner.fetchGuide(folder);
    } catch (error) {
      // No network: the copy kept when it last opened.
      const copy = error instanceof TypeError ? await kept.fromSource(source).catch(() => null) : null;
      if (copy) return openFiles(copy.files, {name: copy.name});
      say(error instanceof TypeError ? `The guide at ${folder} cannot be fetched, and this browser keeps no copy of it.`
                                     : `The guide cannot be opened: ${error.message}.`);
      return openLast();
    }
    openFiles(files, {source});
  }

  function openLast() {
    const last = localStorage.getItem(LAST);
    return last ? openKept(last) : openDemo();
  }

  async function removeGuide(name) {
    await kept.remove(name).catch(error => say(`“${name}” could not be removed: ${error.message}`));
    if (localStorage.getItem(LAST) == name) localStorage.setItem(LAST, '');
    if (shown == name) {
      shown = '';
      openDemo();
    }
    showList();
  }

  // A folder's files as a guide's: names inside the folder, hidden files
  // (.DS_Store and the like) left out.
  async function guideOf(entries) {
    const files = [];
    for (const [path, file] of entries) {
      if (!runner.isFileName(path) || path.split('/').some(part => part.startsWith('.'))) continue;
      files.push([path, new Uint8Array(await file.arrayBuffer())]);
    }
    if (!files.length) say('There is no guide there: the folder is empty.');
    return files;
  }

  document.getElementById('open-folder').addEventListener('change', async event => {
    const input = event.target;
    // webkitRelativePath starts with the folder's own name.
    const entries = Array.from(input.files,
                               file => [file.webkitRelativePath.replace(/^[^/]*\//, '') || file.name, file]);
    input.value = '';
    say('');
    const files = await guideOf(entries);
    if (files.length) openFiles(files);
  });

  // A dropped folder gives its files; files dropped are a guide of their own.
  const fileOf = entry => new Promise((resolve, reject) => entry.file(resolve, reject));
  async function walk(directory, prefix) {
    const reader = directory.createReader();
    const found = [];
    for (let batch; (batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject))).length;) {
      for (const entry of batch) {
        if (entry.isDirectory) found.push(...await walk(entry, prefix + entry.name + '/'));
        else found.push([prefix + entry.name, await fileOf(entry)]);
      }
    }
    return found;
  }
  document.addEventListener('dragover', event => event.preventDefault());
  document.addEventListener('drop', async event => {
    event.preventDefault();
    if (bar.hidden) return;
    const dropped = Array.from(event.dataTransfer.items, entry => entry.webkitGetAsEntry()).filter(Boolean);
    say('');
    const entries = dropped.length == 1 && dropped[0].isDirectory ? await walk(dropped[0], '')
      : await Promise.all(dropped.filter(entry => entry.isFile).map(async entry => [entry.name, await fileOf(entry)]));
    const files = await guideOf(entries);
    if (files.length) openFiles(files);
  });

  // The service worker, registered once the program shows its first frame
  // so that its copies of the site come from the browser's cache, not the
  // network again. A newer build's worker waits until the next start.
  async function keepOffline() {
    if (!('serviceWorker' in navigator)) return;
    await new Promise(resolve => {
      document.getElementById('screen').addEventListener('mapfolio-frame', resolve, {once: true});
      setTimeout(resolve, 10000);
    });
    const registration = await navigator.serviceWorker.register('sw.js');
    // A worker installed while another controls the page is a newer build.
    const ready = () => {
      if (navigator.serviceWorker.controller) {
        say('A newer version of Mapfolio is ready: it starts the next time Mapfolio opens.');
      }
    };
    const watch = worker => worker && worker.addEventListener('statechange', () => {
      if (worker.state == 'installed') ready();
    });
    if (registration.waiting) ready();
    watch(registration.installing);
    registration.addEventListener('updatefound', () => watch(registration.installing));
  }

  // At a start, a newer build that waits takes over before anything runs,
  // if no other tab shows the old one; the page then loads again from it.
  // The browser lets it take over only once the old build's worker has
  // nothing in hand, which after a reload may take it many seconds: the
  // old build then runs this time, and the notice says so again.
  async function newerBuild() {
    if (!('serviceWorker' in navigator)) return false;
    const registration = await navigator.serviceWorker.getRegistration();
    if (!registration || !registration.waiting || !navigator.serviceWorker.controller) return false;
    const changed = new Promise(resolve => {
      navigator.serviceWorker.addEventListener('controllerchange', () => resolve(true), {once: true});
      setTimeout(() => resolve(false), 3000);
    });
    const reply = new MessageChannel();
    const taken = new Promise(resolve => { reply.port1.onmessage = event => resolve(event.data); });
    registration.waiting.postMessage('take-over', [reply.port2]);
    if (!await taken || !await changed) return false;
    location.reload();
    return true;
  }

  // One copy across tabs. A tab that cannot have the lock at once (a reload
  // may find the page before it still holding it for a moment) says that
  // Mapfolio is open elsewhere, and takes it on "Use it here": the tab
  // holding it halts its guide, shows the closed page and lets go.
  const channel = 'BroadcastChannel' in window ? new BroadcastChannel('mapfolio') : null;
  let letGo = null;  // while this tab holds the lock
  let started = false;
  function run() {
    bar.hidden = false;
    if (started) return openLast();
    started = true;
    const path = params.get('guide');
    if (path) openPublished(path);
    else openLast();
    showList();
    keepOffline().catch(error => console.warn('Mapfolio cannot keep the site offline:', error));
  }
  function acquire(patience) {
    bar.hidden = true;
    if (!navigator.locks) return run();
    const waiting = new AbortController();
    const timer = patience >= 0 ? setTimeout(() => {
      waiting.abort();
      runner.show('Mapfolio is open in another tab.', {label: 'Use it here', action: () => {
        if (channel) channel.postMessage('take-over');
        acquire(-1);
      }});
    }, patience) : null;
    navigator.locks.request('mapfolio', {signal: waiting.signal}, () => {
      clearTimeout(timer);
      run();
      return new Promise(release => { letGo = release; });
    }).catch(() => {});
  }
  if (channel) {
    channel.onmessage = event => {
      if (event.data != 'take-over' || !letGo) return;
      runner.halt();
      bar.hidden = true;
      runner.show('The guide is closed.', {label: 'Open it again', action: () => acquire(500)});
      letGo();
      letGo = null;
    };
  }

  newerBuild().then(reloading => { if (!reloading) acquire(500); });
}};
