// The guide on the page's canvas with real input and the real clock: mouse,
// touch, wheel and keys as Chromium delivers them, on the demo guide. The
// tests run in order on one page, each from where the one before left it.
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {after, before, test} = require('node:test');
const {ROOT, serve, launch, decodePng} = require('./support');

// Device-screen pixels of the main window's top left: below the navigation bar.
const WINDOW_TOP = 26;
const SCREEN = {width: 240, height: 320};

// Map coordinates of the demo guide's places on its home map.
function placesOfHome() {
  const text = fs.readFileSync(path.join(ROOT, 'guides/demo/HOME.DAB'), 'utf8');
  const places = {};
  for (const line of text.split(/\r?\n/)) {
    const fields = line.split(',');
    if (fields.length >= 3 && /^\d+$/.test(fields[0]) && /^\d+$/.test(fields[1])) {
      places[fields[2]] = [Number(fields[0]), Number(fields[1])];
    }
  }
  return places;
}

let server, browser, page, box;
before(async () => {
  server = await serve();
  browser = await launch();
  const context = await browser.newContext({viewport: {width: 480, height: 640}, hasTouch: true});
  page = await context.newPage();
  await page.goto(server.url);
  await page.evaluate(() => window.mapfolio.ready);
  await page.evaluate(() => {
    window.frameShot = window.mapfolio.screen();
    document.getElementById('screen').addEventListener('mapfolio-frame', () => { window.frameShot = window.mapfolio.screen(); });
  });
  box = await page.locator('#screen').boundingBox();
});
after(async () => {
  await browser.close();
  await server.close();
});

const state = () => page.evaluate(() => window.mapfolio.state());
// The page's point at the middle of a device pixel.
const at = (x, y) => [box.x + (x + 0.5) * box.width / SCREEN.width, box.y + (y + 0.5) * box.height / SCREEN.height];
// Waits until the program's state passes check, then returns it.
async function until(check) {
  const deadline = Date.now() + 5000;
  for (;;) {
    const now = await state();
    if (check(now) || Date.now() > deadline) return now;
    await page.waitForTimeout(20);
  }
}
// Where a place of the home map is on the device screen, at 100 %.
async function placeOnScreen(name) {
  const [x, y] = placesOfHome()[name];
  const {source} = await state();
  return [x - source[0], y - source[1] + WINDOW_TOP];
}

// The steps of the tests so far, for the native program; those that the
// native program runs differently (the wheel, Find) come last.
const history = [];

// The state and the screen of the native program after the same steps from
// the start.
function nativeRun(steps) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-input-'));
  const out = execFileSync(path.join(ROOT, 'build/release/tools/mapfolio-script'), [path.join(ROOT, 'guides/demo'), '-'],
                           {cwd: work, input: steps + '\nstate\nshot screen.png\n', encoding: 'utf8',
                            env: {...process.env, XDG_CONFIG_HOME: work}});
  const screen = decodePng(fs.readFileSync(path.join(work, 'screen.png')));
  fs.rmSync(work, {recursive: true});
  return {state: JSON.parse(out.trim().split('\n').pop()), screen};
}

// The screen against a native shot, twice: as the page's API gave it in
// the last frame's own event, before the browser painted, and as the canvas
// holds it once the browser has painted. Both without their alpha.
async function assertScreen(native) {
  const shots = await page.evaluate(async () => {
    const canvas = document.getElementById('screen');
    await new Promise(resolve => requestAnimationFrame(() => requestAnimationFrame(resolve)));
    const painted = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    return [window.frameShot, painted].map(({width, height, data}) => ({width, height, data: Array.from(data)}));
  });
  for (const [shot, what] of [[shots[0], 'in its frame event'], [shots[1], 'once painted']]) {
    assert.deepStrictEqual([shot.width, shot.height], [native.width, native.height]);
    const rgb = Buffer.from(shot.data.filter((_, i) => i % 4 != 3));
    assert.ok(rgb.equals(native.rgb), `the screen ${what} has other pixels than the native program's`);
  }
}

test('the canvas shows what the native program shows', async () => {
  await assertScreen(nativeRun('').screen);
});

test('a mouse drag moves the centre by the drag', async () => {
  const {center} = await state();
  // Device pixels, one pointer move each.
  const stroke = [[120, 150], [116, 147], [108, 141], [100, 135], [92, 129]];
  await page.mouse.move(...at(...stroke[0]));
  await page.mouse.down();
  for (const point of stroke.slice(1)) await page.mouse.move(...at(...point));
  await page.mouse.up();
  const after = await until(s => s.center[0] != center[0]);
  // The map follows the stylus: the centre moves against the drag.
  assert.ok(after.center[0] > center[0] && after.center[1] > center[1]);
  const window = ([x, y], verb) => `${verb} ${x} ${y - WINDOW_TOP}`;
  const steps = [window(stroke[0], 'press'), ...stroke.slice(1).map(p => window(p, 'move')), window(stroke[4], 'release')];
  history.push(...steps);
  const native = nativeRun(history.join('\n'));
  assert.deepStrictEqual(after.center, native.state.center);
  await assertScreen(native.screen);
});

test('an arrow key pans 10 pixels', async () => {
  const {center} = await state();
  await page.keyboard.press('ArrowRight');
  const after = await until(s => s.center[0] != center[0]);
  // At 100 % the view moves two map pixels a window pixel.
  assert.deepStrictEqual(after.center, [center[0] + 2 * 10, center[1]]);
  history.push('key RIGHT');
});

test('a click on a place shows its popup', async () => {
  const [x, y] = await placeOnScreen('Lagos');
  await page.mouse.click(...at(x, y));
  const after = await until(s => s.popup.visible);
  assert.strictEqual(after.selected_location, 'Lagos');
  assert.match(after.popup.text, /^Lagos - Nigeria/);
  history.push(`tap ${x} ${y - WINDOW_TOP}`);
  await assertScreen(nativeRun(history.join('\n')).screen);
});

test('a touch tap selects a place', async () => {
  await page.touchscreen.tap(...at(...await placeOnScreen('Kinshasa')));
  const after = await until(s => s.selected_location == 'Kinshasa');
  assert.strictEqual(after.selected_location, 'Kinshasa');
  assert.strictEqual(after.popup.visible, true);
});

test('the wheel zooms one step', async () => {
  assert.strictEqual((await state()).zoom, 100);
  await page.mouse.move(...at(120, 150));
  await page.mouse.wheel(0, -100);
  assert.strictEqual((await until(s => s.zoom != 100)).zoom, 150);
  await page.mouse.wheel(0, 100);
  assert.strictEqual((await until(s => s.zoom != 150)).zoom, 100);
});

test('Ctrl+F opens Find and Escape closes it', async () => {
  await page.keyboard.press('Control+f');
  const open = await until(s => s.dialog !== null);
  assert.strictEqual(open.dialog && open.dialog.kind, 'find');
  assert.strictEqual(open.title, 'Find');
  await page.keyboard.press('Escape');
  const closed = await until(s => s.dialog === null);
  assert.strictEqual(closed.dialog, null);
  assert.strictEqual(closed.title, 'World');
});

test('an idle page paints nothing', async () => {
  const first = (await state()).paints;
  await page.waitForTimeout(1000);
  assert.strictEqual((await state()).paints, first);
});

test('Quit answered Yes shows the closed page, whose button starts the guide again', async () => {
  await page.keyboard.press('Control+q');
  const asked = await until(s => s.message_box !== null);
  assert.strictEqual(asked.message_box && asked.message_box.text, 'Quit the application?');
  await page.keyboard.press('Enter');
  await page.locator('#notice button').waitFor();
  assert.strictEqual(await page.locator('#screen').isVisible(), false);
  assert.match(await page.locator('#notice').innerText(), /closed/);
  await page.locator('#notice button').click();
  await page.evaluate(() => window.mapfolio.ready);
  assert.strictEqual(await page.locator('#screen').isVisible(), true);
  assert.strictEqual((await state()).current_map, 'World');
});
