// The page around the program (index.html). It fetches the program and its
// fonts, lays them and a guide out in the program's in-memory file system,
// and either runs the guide on the canvas or, with ?script, offers the
// script runner to tests. window.mapfolio is its control API:
//
//   ready          a Promise, resolved once the home map is on the screen and
//                  rejected with the loading log's text when the guide fails;
//                  it stands for the first guide the page opens, and each
//                  guide opened after it has a new one
//   state()        the object a script's state step prints
//   screen()       {width, height, data}: the screen last shown, RGBA bytes
//   script(text, files)   (?script) runs a script on a fresh program and
//                  resolves to what its steps printed; files maps file names
//                  to Uint8Arrays making up the guide, else the demo guide
//   readFile(name) (?script) a file the last script wrote, such as a shot
//
// The canvas fires a 'mapfolio-frame' event whenever the program shows a new
// screen, and the first frame of the home map is marked as the performance
// entry 'mapfolio-ready'. The settings store's folder is kept in the
// browser's IndexedDB, so the choices last made outlive the page.
//
// On index.html the app (app.js, window.mapfolioApp) decides which guide
// opens and when: it is handed the runner below. A page without it runs the
// guide in the folder window.mapfolioGuide names, if set before this script
// loads (a folder holding a guide.json), else the demo guide.
'use strict';
(function () {
  const params = new URLSearchParams(location.search);
  const scriptMode = params.has('script');
  // Where the files go in the program's file system.
  const FONT_DIR = '/usr/share/fonts/truetype/dejavu';
  const FONTS = ['DejaVuSans.ttf', 'DejaVuSans-Bold.ttf', 'DejaVuSans-Oblique.ttf', 'DejaVuSans-BoldOblique.ttf'];
  const GUIDE_DIR = '/guide';
  const DEMO_GUIDE = 'guides/demo/';
  // The settings store's folder: the program's HOME is /home/web_user.
  const SETTINGS_DIR = '/home/web_user/.config/mapfolio';

  const api = {};
  window.mapfolio = api;

  function show(sentence, button) {
    const box = document.getElementById('notice');
    box.textContent = '';
    const text = document.createElement('p');
    text.textContent = sentence;
    box.appendChild(text);
    if (button) {
      const press = document.createElement('button');
      press.textContent = button.label;
      press.addEventListener('click', button.action);
      box.appendChild(press);
    }
    box.hidden = false;
    document.getElementById('screen').hidden = true;
  }

  if (typeof WebAssembly != 'object') {
    show('This browser cannot run Mapfolio: it has no WebAssembly.');
    api.ready = Promise.reject(new Error('no WebAssembly'));
    api.ready.catch(() => {});
    return;
  }

  // The device screen's size: ?screen=WxH, read by the program as it reads
  // MAPFOLIO_SCREEN on the desktop (it keeps 240 x 320 for a bad one).
  const screenSize = params.get('screen');

  async function bytesOf(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(url + ': ' + response.status + ' ' + response.statusText);
    return new Uint8Array(await response.arrayBuffer());
  }

  // A name a guide may give one of its files: a path inside the guide's
  // folder, never out of it.
  function isFileName(name) {
    return typeof name == 'string' && name != '' && !name.includes('\\') &&
           name.split('/').every(part => part != '' && part != '.' && part != '..');
  }

  // The files of a guide published on the web, as [name, bytes] pairs: the
  // folder's guide.json and the files it lists. A server's answer that
  // makes the guide unusable throws an Error saying so; no network at all
  // throws fetch's TypeError.
  async function fetchGuide(folder) {
    const base = new URL(folder, document.baseURI);
    const answer = await fetch(new URL('guide.json', base));
    const index = answer.ok ? await answer.json().catch(() => null) : null;
    if (!answer.ok) throw new Error(`${folder} has no guide.json (${answer.status} ${answer.statusText})`);
    if (!index || !Array.isArray(index.files) || !index.files.every(isFileName)) {
      throw new Error(`the guide.json of ${folder} is not a list of the guide's files`);
    }
    return Promise.all(index.files.map(async name => {
      const response = await fetch(new URL(name, base));
      if (!response.ok) {
        throw new Error(`the guide.json of ${folder} names ${name}, which the site does not have ` +
                        `(${response.status} ${response.statusText})`);
      }
      return [name, new Uint8Array(await response.arrayBuffer())];
    }));
  }

  // Fetched once; every program started takes them from here. A font style
  // the site lacks is left out, as the desktop without it would.
  const fonts = Promise.all(FONTS.map(name => bytesOf('fonts/' + name).then(data => [name, data], () => null)))
    .then(list => list.filter(entry => entry !== null));
  // The program on the canvas, or the script runner.
  const PROGRAM = scriptMode ? 'mapfolio-script' : 'mapfolio';
  let compiled = null;
  function program() {
    if (!compiled) {
      compiled = WebAssembly.compileStreaming(fetch(PROGRAM + '.wasm'))
        .catch(() => bytesOf(PROGRAM + '.wasm').then(bytes => WebAssembly.compile(bytes)));
    }
    return compiled;
  }
  let generated = null;
  function factory() {
    if (!generated) {
      generated = new Promise((resolve, reject) => {
        const tag = document.createElement('script');
        tag.src = PROGRAM + '.js';
        tag.onload = () => resolve(scriptMode ? createMapfolioScript : createMapfolio);
        tag.onerror = () => reject(new Error(PROGRAM + '.js did not load'));
        document.head.appendChild(tag);
      });
    }
    return generated;
  }

  // A fresh program with its files laid out, and its output kept.
  async function start(guide, extra) {
    const [module, fontFiles, create] = await Promise.all([program(), fonts, factory()]);
    const output = {out: [], err: []};
    const instance = await create(Object.assign({
      print: line => output.out.push(line),
      printErr: line => { output.err.push(line); console.warn(line); },
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(module, imports).then(made => receive(made, module));
        return {};
      },
      preRun: [made => {
        if (screenSize) made.ENV.MAPFOLIO_SCREEN = screenSize;
        // The program knows itself as the file /proc/self/exe names.
        made.FS.symlink('/usr/bin/mapfolio', '/proc/self/exe');
        made.FS.mkdirTree(FONT_DIR);
        for (const entry of fontFiles) made.FS.writeFile(FONT_DIR + '/' + entry[0], entry[1]);
        made.FS.mkdir(GUIDE_DIR);
        for (const [name, data] of guide) {
          const slash = name.lastIndexOf('/');
          if (slash > 0) made.FS.mkdirTree(GUIDE_DIR + '/' + name.slice(0, slash));
          made.FS.writeFile(GUIDE_DIR + '/' + name, data);
        }
        // The settings as last saved; the store's fsync after each write
        // saves them again. Without IndexedDB they last as long as the page.
        if (!scriptMode) {
          made.FS.mkdirTree(SETTINGS_DIR);
          made.FS.mount(made.FS.filesystems.IDBFS, {}, SETTINGS_DIR);
          made.addRunDependency('settings');
          made.FS.syncfs(true, error => {
            if (error) console.warn('Mapfolio cannot read its saved settings:', error);
            made.removeRunDependency('settings');
          });
        }
      }],
    }, extra));
    instance.output = output;
    return instance;
  }

  function stateOf(instance) {
    return JSON.parse(instance.UTF8ToString(instance._mapfolio_state()));
  }

  if (scriptMode) {
    let last = null;
    document.getElementById('screen').hidden = true;
    api.script = async function (text, files) {
      last = await start(files ? Object.entries(files) : await fetchGuide(DEMO_GUIDE), {});
      last.FS.writeFile('/steps.txt', text);
      const code = await last.ccall('mapfolio_script', 'number', ['string', 'string'], [GUIDE_DIR, '/steps.txt'],
                                    {async: true});
      const printed = last.output.out.map(line => line + '\n').join('');
      if (code != 0) {
        const error = new Error(last.output.err.join('\n') || 'the script ended with ' + code);
        error.output = printed;
        error.code = code;
        throw error;
      }
      return printed;
    };
    api.readFile = name => last.FS.readFile(name.startsWith('/') ? name : '/' + name);
    api.ready = Promise.resolve();
    return;
  }

  // The guide on the canvas. Each guide opened is a run of its own program;
  // opening another halts the one before. A run's ready settles once: at
  // the first frame of the home map, or when the program waits with its
  // loading log still up.
  let latest = null;   // the run asked for last
  let current = null;  // the run on the canvas
  let shownShape = '';
  // ready is there from the start: the first guide opened settles it.
  let first = null;
  api.ready = new Promise((resolve, reject) => { first = {resolve, reject}; });
  api.ready.catch(() => {});
  program();

  function settle(run, error, value) {
    if (!run.settle) return;
    if (error) run.settle.reject(error);
    else run.settle.resolve(value);
    run.settle = null;
  }

  function checkReady(run, idle, presentedAt) {
    if (!run.settle || !run.instance) return;
    const state = stateOf(run.instance);
    if (state.current_map !== null && state.log === null) {
      performance.mark('mapfolio-ready', {startTime: presentedAt});
      settle(run, null, state.current_map);
    } else if (idle && state.log !== null) {
      settle(run, new Error(state.log));
    }
  }

  function halt() {
    if (!current) return;
    if (current.instance) current.instance.webScreen.halt();
    settle(current, new Error('the guide was closed'));
    current = null;
  }

  async function run(self, files) {
    const guide = await files;
    if (latest !== self) return;
    halt();
    current = self;
    self.files = guide;
    const canvas = document.getElementById('screen');
    const instance = await start(guide, {
      // Looked at once the program has yielded, never from inside it.
      onPresent: () => {
        const presentedAt = performance.now();
        // The page keeps the canvas in the shape of the screen shown.
        const shape = canvas.width + 'x' + canvas.height;
        if (shape != shownShape) {
          shownShape = shape;
          document.documentElement.style.setProperty('--screen-width', canvas.width);
          document.documentElement.style.setProperty('--screen-height', canvas.height);
        }
        canvas.dispatchEvent(new Event('mapfolio-frame'));
        if (self.settle) setTimeout(() => checkReady(self, false, presentedAt));
      },
      onWait: timeout => { if (self.settle && timeout < 0) setTimeout(() => checkReady(self, true)); },
    });
    if (current !== self) return;
    self.instance = instance;
    document.getElementById('notice').hidden = true;
    canvas.hidden = false;
    instance.webScreen.attach(canvas);
    canvas.focus();
    const code = await instance.ccall('mapfolio_run', 'number', ['string'], [GUIDE_DIR], {async: true});
    instance.webScreen.detach();
    settle(self, new Error(instance.output.err.join('\n') || 'the guide closed with ' + code));
    show('The guide is closed.', {label: 'Open it again', action: () => open(self.files)});
  }

  // Opens a guide on the canvas: files are [name, bytes] pairs, or a
  // Promise of them. The guide shown so far stays until they are there.
  // Returns the new ready.
  function open(files) {
    const self = {settle: first, instance: null, files: null};
    if (!first) {
      api.ready = new Promise((resolve, reject) => { self.settle = {resolve, reject}; });
      api.ready.catch(() => {});
    }
    first = null;
    latest = self;
    run(self, files).catch(error => {
      if (latest !== self) return;
      show('Mapfolio could not start: ' + error.message);
      settle(self, error);
    });
    return api.ready;
  }

  api.state = () => current && current.instance ? stateOf(current.instance) : null;
  api.screen = () => current && current.instance ? current.instance.webScreen.frame() : null;

  const runner = {open, halt, show, fetchGuide, isFileName, DEMO_GUIDE};
  if (window.mapfolioApp) window.mapfolioApp.start(runner);
  else open(fetchGuide(window.mapfolioGuide || DEMO_GUIDE));
})();
