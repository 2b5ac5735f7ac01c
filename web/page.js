// The page around the program (index.html). It fetches the program, its
// fonts and the demo guide, lays them out in the program's in-memory file
// system, and either runs the guide on the canvas or, with ?script, offers
// the script runner to tests. window.mapfolio is its control API:
//
//   ready          a Promise, resolved once the home map is on the screen and
//                  rejected with the loading log's text when the guide fails
//   state()        the object a script's state step prints
//   screen()       {width, height, data}: the screen last shown, RGBA bytes
//   script(text, files)   (?script) runs a script on a fresh program and
//                  resolves to what its steps printed; files maps file names
//                  to Uint8Arrays making up the guide, else the demo guide
//   readFile(name) (?script) a file the last script wrote, such as a shot
//
// The canvas fires a 'mapfolio-frame' event whenever the program shows a new
// screen, and the first frame of the home map is marked as the performance
// entry 'mapfolio-ready'. A page that sets window.mapfolioGuide to a folder
// holding a guide.json before loading this script runs that guide instead
// of the demo guide.
'use strict';
(function () {
  const params = new URLSearchParams(location.search);
  const scriptMode = params.has('script');
  // Where the files go in the program's file system.
  const FONT_DIR = '/usr/share/fonts/truetype/dejavu';
  const FONTS = ['DejaVuSans.ttf', 'DejaVuSans-Bold.ttf', 'DejaVuSans-Oblique.ttf', 'DejaVuSans-BoldOblique.ttf'];
  const GUIDE_DIR = '/guide';
  const GUIDE = window.mapfolioGuide || 'guides/demo/';

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

  // Fetched once; every program started takes them from here. A font style
  // the site lacks is left out, as the desktop without it would.
  const fonts = Promise.all(FONTS.map(name => bytesOf('fonts/' + name).then(data => [name, data], () => null)))
    .then(list => list.filter(entry => entry !== null));
  let guideFetched = null;
  function guideFiles() {
    if (!guideFetched) {
      guideFetched = fetch(GUIDE + 'guide.json').then(response => response.json()).then(index =>
        Promise.all(index.files.map(name => bytesOf(GUIDE + name).then(data => [name, data]))));
    }
    return guideFetched;
  }
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
  async function start(guideFiles, extra) {
    const [module, fontFiles, guide, create] = await Promise.all([program(), fonts, guideFiles, factory()]);
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
        for (const entry of guide) made.FS.writeFile(GUIDE_DIR + '/' + entry[0], entry[1]);
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
      const guide = files ? Object.entries(files) : guideFiles();
      last = await start(guide, {});
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

  // The guide on the canvas. ready settles once: at the first frame of the
  // home map, or when the program waits with its loading log still up.
  let settle = null;
  api.ready = new Promise((resolve, reject) => { settle = {resolve, reject}; });
  let running = null;
  let shownShape = '';

  function checkReady(idle, presentedAt) {
    if (!settle || !running) return;
    const state = stateOf(running);
    if (state.current_map !== null && state.log === null) {
      performance.mark('mapfolio-ready', {startTime: presentedAt});
      settle.resolve();
      settle = null;
    } else if (idle && state.log !== null) {
      settle.reject(new Error(state.log));
      settle = null;
    }
  }

  async function run() {
    const canvas = document.getElementById('screen');
    document.getElementById('notice').hidden = true;
    canvas.hidden = false;
    const instance = await start(guideFiles(), {
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
        if (settle) setTimeout(() => checkReady(false, presentedAt));
      },
      onWait: timeout => { if (settle && timeout < 0) setTimeout(() => checkReady(true)); },
    });
    running = instance;
    instance.webScreen.attach(canvas);
    canvas.focus();
    const code = await instance.ccall('mapfolio_run', 'number', ['string'], [GUIDE_DIR], {async: true});
    instance.webScreen.detach();
    if (settle) {
      settle.reject(new Error(instance.output.err.join('\n') || 'the guide closed with ' + code));
      settle = null;
    }
    show('The guide is closed.', {label: 'Open it again', action: () => {
      api.ready = new Promise((resolve, reject) => { settle = {resolve, reject}; });
      startGuide();
    }});
  }

  function startGuide() {
    run().catch(error => {
      show('Mapfolio could not start: ' + error.message);
      if (settle) {
        settle.reject(error);
        settle = null;
      }
    });
  }

  api.state = () => stateOf(running);
  api.screen = () => running.webScreen.frame();
  startGuide();
})();
