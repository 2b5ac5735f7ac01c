// The web build's speed in headless Chromium on this machine, with native
// peers measured in the same run (a benchmark: it prints, it never fails on
// time):
//   first frame   navigation to the home map's first frame on the demo
//                 guide, with an empty cache and with a warm one: until
//                 the page is ready, and until the frame is on the canvas
//                 (goal: at most 1 s cold)
//   tap, Forward  bench_navigation's actions on its generated guide of
//                 4000 x 4000 street maps, in the page and natively (goal:
//                 at most 2x native). The native peer pauses in real time
//                 as the page must (--real-pauses), so that both time a
//                 release that comes 50 ms after its press. The page's
//                 frame goes onto the canvas as the browser next paints:
//                 that put is printed apart, after the tap.
//   first visit   the bytes a first visit downloads, gzip-compressed,
//                 without the guide (goal: at most 2 MB)
//
//   scripts/web-node bench/web/bench.js [--rounds N]
//
// The site is served cross-origin isolated: the page's performance.now()
// then counts in steps of 5 us rather than 100 us.
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {ROOT, serve, launch} = require('../../web/tests/support');

const rounds = Number((process.argv.join(' ').match(/--rounds (\d+)/) || [])[1] || 9);
const NATIVE_BENCH = path.join(ROOT, 'build/release/bench/bench_navigation');
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const MB = 1000 * 1000;

// Run in each page before its own scripts: times every put of pixels on
// the screen's canvas, which the page does as the browser next paints.
// window.benchPuts lists them as {end, ms}, on the page's clock.
function timePuts() {
  window.benchPuts = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    const start = performance.now();
    put.apply(this, args);
    const end = performance.now();
    if (this.canvas.id == 'screen') window.benchPuts.push({end, ms: end - start});
  };
}

// The first frame: when the page's ready resolved (the frame handed to the
// browser) and when its pixels were on the canvas, in ms from navigation.
async function firstFrame(context, url) {
  const page = await context.newPage();
  await page.addInitScript(timePuts);
  await page.goto(url);
  const at = await page.evaluate(async () => {
    await window.mapfolio.ready;
    while (!window.benchPuts.length) await new Promise(resolve => requestAnimationFrame(resolve));
    return {ready: performance.getEntriesByName('mapfolio-ready')[0].startTime, painted: window.benchPuts[0].end};
  });
  await page.close();
  return at;
}

// One native Tap and one Forward on the handheld's screen, in ms. The
// rounds alternate with the page's, so that both meet the same load.
function nativeRound(work) {
  const file = path.join(work, 'native.json');
  execFileSync(NATIVE_BENCH, ['--real-pauses', '--benchmark_filter=^(Tap|Forward)/240x320', `--benchmark_out=${file}`,
                              '--benchmark_out_format=json'], {stdio: 'ignore'});
  const runs = JSON.parse(fs.readFileSync(file, 'utf8')).benchmarks;
  const ms = name => runs.find(run => run.run_name.startsWith(name)).real_time;
  return {tap: ms('Tap/240x320'), forward: ms('Forward/240x320')};
}

(async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-web-bench-'));
  const guide = path.join(work, 'guide');
  fs.mkdirSync(guide);
  execFileSync(NATIVE_BENCH, ['--write-guide', guide]);
  fs.writeFileSync(path.join(guide, 'guide.json'), JSON.stringify({files: fs.readdirSync(guide)}));
  const server = await serve(undefined, {'/bench/guide/': guide, '/bench/': __dirname},
                             {'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp'});
  const browser = await launch();
  try {
    // First frames: a fresh profile each time for the cold ones.
    const cold = [];
    let bytes = 0;
    for (let i = 0; i < rounds; ++i) {
      const context = await browser.newContext();
      server.sent.length = 0;
      cold.push(await firstFrame(context, server.url));
      if (i == 0) bytes = server.sent.filter(file => !file.name.startsWith('/guides/')).reduce((n, f) => n + f.bytes, 0);
      await context.close();
    }
    const context = await browser.newContext();
    await firstFrame(context, server.url);
    const warm = [];
    for (let i = 0; i < rounds; ++i) warm.push(await firstFrame(context, server.url));
    await context.close();

    // Navigation on the benchmark's guide, in the page.
    const page = await browser.newPage({viewport: {width: 240, height: 320}});
    await page.addInitScript(timePuts);
    await page.goto(server.url + 'bench/navigation.html');
    await page.evaluate(() => window.mapfolio.ready);
    const web = {tap: [], put: [], forward: []};
    const native = {tap: [], forward: []};
    for (let i = 0; i < rounds; ++i) {
      web.tap.push(await page.evaluate(() => window.bench.tap()));
      web.put.push(await page.evaluate(() => window.bench.lastPut));
      web.forward.push(await page.evaluate(() => window.bench.forward()));
      const round = nativeRound(work);
      native.tap.push(round.tap);
      native.forward.push(round.forward);
    }

    const row = (what, ms, peer, goal) => console.log(
      `${what.padEnd(24)} ${ms.toFixed(2).padStart(9)} ms` +
      (peer === undefined ? '' : `   native ${peer.toFixed(2).padStart(8)} ms   ratio ${(ms / peer).toFixed(2)}`) +
      (goal ? `   goal ${goal}` : ''));
    console.log(`Mapfolio in headless Chromium, medians of ${rounds}`);
    row('first frame, cold cache', median(cold.map(at => at.ready)));
    row('  on the canvas', median(cold.map(at => at.painted)), undefined, '<= 1000 ms');
    row('first frame, warm cache', median(warm.map(at => at.ready)));
    row('  on the canvas', median(warm.map(at => at.painted)));
    row('tap on a place', median(web.tap), median(native.tap), '<= 2x native');
    row('  its canvas put', median(web.put));
    row('Forward, image decoded', median(web.forward), median(native.forward), '<= 2x native');
    console.log(`${'first visit, gzip'.padEnd(24)} ${(bytes / MB).toFixed(3).padStart(9)} MB` +
                ` (${bytes} bytes, without the guide)   goal <= 2 MB`);
  } finally {
    await browser.close();
    await server.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
})().catch(error => {
  console.error(error);
  process.exit(1);
});
