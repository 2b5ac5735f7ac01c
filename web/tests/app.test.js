// The installable app in headless Chromium, in one browser profile kept on
// disk as an installed app's is. The tests run in order, each from where
// the one before left it: the site offline, installing it, a guide of the
// reader's, settings that last, a published guide, broken guides, two tabs.
// Offline means both the browser's network switched off and the server
// answering nothing.
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {after, before, test} = require('node:test');
const {ROOT, SITE, serve, launchPersistent, decodePng} = require('./support');

const HARBOUR = path.join(ROOT, 'tests/data/guides/harbour');

let work, server, context, page;
// Guide folders made for the tests: a copy of the harbour guide, the same
// published with its guide.json, one whose HOME.DAB does not parse, and a
// published one whose guide.json names a file that is not there.
const guides = {};
function guideFolder(name, change) {
  const folder = path.join(work, name);
  fs.cpSync(HARBOUR, folder, {recursive: true});
  if (change) change(folder);
  return folder;
}

before(async () => {
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-app-'));
  guides.harbour = guideFolder('harbour');
  guides.published = guideFolder('published/harbour', folder => {
    execFileSync(path.join(ROOT, 'build/release/tools/mapfolio-tool'), ['web-index', folder], {stdio: 'ignore'});
  });
  guides.broken = guideFolder('broken', folder => fs.writeFileSync(path.join(folder, 'HOME.DAB'), '<Name>\r\n'));
  guides.incomplete = guideFolder('published/incomplete', folder => {
    fs.writeFileSync(path.join(folder, 'guide.json'), JSON.stringify({files: ['HOME.DAB', 'LOST.twk']}));
  });
  server = await serve(SITE, {'/published/': path.join(work, 'published')});
  context = await launchPersistent(path.join(work, 'profile'), {viewport: {width: 480, height: 700}});
  page = context.pages()[0];
});
after(async () => {
  await context.close();
  await server.close();
  fs.rmSync(work, {recursive: true});
});

async function offline(flag) {
  await context.setOffline(flag);
  server.refuse(flag);
}
const state = (on = page) => on.evaluate(() => window.mapfolio.state());
// Waits until the guide on the page has this title and is ready.
async function shows(title, on = page) {
  await on.waitForFunction(title => {
    const state = window.mapfolio.state();
    return state && state.title == title && state.log === null;
  }, title);
}
// A reload with no network shows the guide with this title.
async function shownOffline(title) {
  await offline(true);
  await page.reload();
  await shows(title);
  await offline(false);
}
const keptGuides = () => page.$$eval('#guide-list li', items => items.map(item => item.dataset.guide));

test('after the first visit, the site opens with no network', async () => {
  await page.goto(server.url);
  assert.strictEqual(await page.evaluate(() => window.mapfolio.ready), 'World');
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  await shownOffline('World');
});

test('nothing stops installing it, and the manifest\'s icons load', async () => {
  const cdp = await context.newCDPSession(page);
  assert.deepStrictEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  const manifest = JSON.parse(fs.readFileSync(path.join(SITE, 'manifest.webmanifest'), 'utf8'));
  assert.deepStrictEqual([manifest.name, manifest.display, manifest.theme_color],
                         ['Mapfolio', 'standalone', '#002878']);
  const icons = manifest.icons.map(icon => [icon.sizes, icon.purpose || 'any']);
  assert.deepStrictEqual(icons, [['192x192', 'any'], ['512x512', 'any'], ['512x512', 'maskable']]);
  for (const icon of manifest.icons) {
    const bytes = await page.evaluate(async src => Array.from(new Uint8Array(
      await (await fetch(src)).arrayBuffer())), icon.src);
    const png = decodePng(bytes);
    assert.strictEqual(`${png.width}x${png.height}`, icon.sizes, icon.src);
  }
});

test('a guide folder opens from Open guide, again offline, and removing it brings back the demo guide', async () => {
  await page.setInputFiles('#open-folder', guides.harbour);
  await shows('Harbour');
  await page.waitForFunction(() => document.querySelector('#guide-list li[data-guide="Harbour"]'));
  await shownOffline('Harbour');
  await page.click('#guides summary');
  await page.click('#guide-list li[data-guide="Harbour"] button[title="Remove Harbour"]');
  await shows('World');
  assert.deepStrictEqual(await keptGuides(), ['']);
});

test('the choices of Find closed with OK are there after a reload', async () => {
  await page.locator('#screen').focus();
  await page.keyboard.press('Control+f');
  await page.waitForFunction(() => window.mapfolio.state().dialog);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => !window.mapfolio.state().dialog);
  const {settings} = await state();
  assert.ok(Object.keys(settings).length > 0);
  await page.reload();
  await shows('World');
  assert.deepStrictEqual((await state()).settings, settings);
});

test('?guide= opens a published guide by its guide.json, then offline too', async () => {
  await page.goto(server.url + 'index.html?guide=published/harbour/');
  await shows('Harbour');
  await page.waitForFunction(() => document.querySelector('#guide-list li[data-guide="Harbour"]'));
  await shownOffline('Harbour');
});

test('a broken guide shows why, and the guides kept before it are still there', async () => {
  const cases = [
    {open: () => page.setInputFiles('#open-folder', guides.broken),
     shown: () => page.waitForFunction(() => {
       const state = window.mapfolio.state();
       return state && /Failed to load data for HOME\.DAB/.test(state.log);
     })},
    {open: () => page.goto(server.url + 'index.html?guide=published/incomplete/'),
     shown: () => page.locator('#message', {hasText: 'names LOST.twk, which the site does not have'}).waitFor()},
  ];
  for (const {open, shown} of cases) {
    await page.goto(server.url);
    await shows('Harbour');
    await open();
    await shown();
    assert.deepStrictEqual(await keptGuides(), ['', 'Harbour']);
  }
  await page.reload();
  await shows('Harbour');
});

test('a second tab says Mapfolio is open in another, and "Use it here" moves the guide to it', async () => {
  const second = await context.newPage();
  await second.goto(server.url);
  await second.locator('#notice', {hasText: 'Mapfolio is open in another tab.'}).waitFor();
  await second.click('#notice button:text("Use it here")');
  await shows('Harbour', second);
  await page.locator('#notice', {hasText: 'The guide is closed.'}).waitFor();
  assert.strictEqual(await page.locator('#screen').isVisible(), false);
  await second.close();
});
