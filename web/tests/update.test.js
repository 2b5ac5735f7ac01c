// A newer build of the site reaching a reader who has the old one: its
// service worker installs beside the old one, the page says so, a reload
// still opens the guide, and the next start runs the new build, with the
// old build's copies gone from the browser.
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {test} = require('node:test');
const {SITE, serve, launch} = require('./support');

async function until(condition, ms = 20000) {
  for (const end = Date.now() + ms; !await condition().catch(() => false);) {
    if (Date.now() > end) throw new Error('timed out');
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}

const NOTICE = 'A newer version of Mapfolio is ready: it starts the next time Mapfolio opens.';

test('a newer build is announced while the old one runs, a reload opens the guide, and the next start runs the new build', async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-update-'));
  const site = path.join(work, 'site');
  fs.cpSync(SITE, site, {recursive: true});
  const server = await serve(site);
  const browser = await launch();
  try {
    const context = await browser.newContext();
    const page = await context.newPage();
    const kept = () => page.evaluate(() => caches.keys());
    await page.goto(server.url);
    assert.strictEqual(await page.evaluate(() => window.mapfolio.ready), 'World');
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    const [built] = await kept();
    assert.match(built, /^mapfolio-/);

    // The next build: the same files, a worker of its own.
    const worker = path.join(site, 'sw.js');
    fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(built, 'mapfolio-next'));
    await page.reload();
    await page.locator('#message', {hasText: NOTICE}).waitFor();
    // The old build runs on, its files kept beside the new one's.
    assert.deepStrictEqual((await kept()).sort(), [built, 'mapfolio-next'].sort());

    // A reload opens the guide, whichever build runs it: the new one takes
    // over if the browser lets it in time.
    await page.reload();
    await until(() => page.evaluate(async () => await window.mapfolio.ready == 'World'));

    // The next start, in a new tab once the old is closed: the new build
    // takes over, the page loads again from it, and the old build's files
    // are deleted.
    await page.close();
    const next = await context.newPage();
    await next.goto(server.url);
    // The page that takes over never opens a guide: it loads again first.
    await until(async () => await next.evaluate(async () =>
      await window.mapfolio.ready == 'World' && (await caches.keys()).join() == 'mapfolio-next'));
    assert.strictEqual(await next.locator('#message').textContent(), '');
  } finally {
    await browser.close();
    await server.close();
    fs.rmSync(work, {recursive: true});
  }
});
