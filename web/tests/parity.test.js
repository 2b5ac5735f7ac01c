// Every script of tests/data/scripts/ runs on the harbour test guide twice:
// natively through mapfolio-script, and in headless Chromium through the
// page's script mode. Each prints the same state lines, and each shot has
// the same pixels.
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {after, before, test} = require('node:test');
const {ROOT, serve, launch, decodePng} = require('./support');

const SCRIPTS = path.join(ROOT, 'tests/data/scripts');
const HARBOUR = path.join(ROOT, 'tests/data/guides/harbour');
const NATIVE = path.join(ROOT, 'build/release/tools/mapfolio-script');

let server, browser, page;
before(async () => {
  server = await serve();
  browser = await launch();
  page = await browser.newPage();
  await page.goto(server.url + 'index.html?script');
});
after(async () => {
  await browser.close();
  await server.close();
});

// Fresh settings and a working directory of its own for the shots.
function runNatively(text, guide = HARBOUR) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-parity-'));
  const env = Object.assign({}, process.env, {XDG_CONFIG_HOME: path.join(work, 'config')});
  delete env.MAPFOLIO_SCREEN;
  delete env.MAPFOLIO_BACKEND;
  const out = execFileSync(NATIVE, [guide, '-'], {cwd: work, env, input: text, encoding: 'utf8'});
  return {out, shot: name => fs.readFileSync(path.join(work, name))};
}

async function runInBrowser(text, folder = HARBOUR) {
  const guide = {};
  for (const name of fs.readdirSync(folder)) guide[name] = fs.readFileSync(path.join(folder, name)).toString('base64');
  const out = await page.evaluate(async ([text, guide]) => {
    const files = {};
    for (const name in guide) files[name] = Uint8Array.from(atob(guide[name]), c => c.charCodeAt(0));
    return window.mapfolio.script(text, files);
  }, [text, guide]);
  const shot = async name => Buffer.from(await page.evaluate(name => {
    const bytes = window.mapfolio.readFile(name);
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode(...bytes.subarray(i, i + 8192));
    return btoa(text);
  }, name), 'base64');
  return {out, shot};
}

async function compare(text, guide) {
  const native = runNatively(text, guide);
  const web = await runInBrowser(text, guide);
  assert.deepStrictEqual(web.out.split('\n'), native.out.split('\n'));
  for (const [, shot] of text.matchAll(/^shot (\S+)$/gm)) {
    const mine = decodePng(await web.shot(shot));
    const theirs = decodePng(native.shot(shot));
    assert.deepStrictEqual([mine.width, mine.height], [theirs.width, theirs.height], shot);
    assert.ok(mine.rgb.equals(theirs.rgb), `${shot}: the pixels differ`);
  }
}

for (const name of fs.readdirSync(SCRIPTS).filter(name => name.endsWith('.txt')).sort()) {
  test(name, () => compare(fs.readFileSync(path.join(SCRIPTS, name), 'utf8')));
}

// The harbour has no slanted text: a topic in all four styles of the font.
test('a topic in bold, italic and both', async () => {
  const guide = fs.mkdtempSync(path.join(os.tmpdir(), 'mapfolio-styles-'));
  for (const name of fs.readdirSync(HARBOUR)) fs.copyFileSync(path.join(HARBOUR, name), path.join(guide, name));
  fs.appendFileSync(path.join(guide, 'HOME.DAB'),
                    '<Information>\r\nStyles\r\n<P>Plain, <B>bold</B>, <I>italic</I> and <B><I>both</I></B>.</P>\r\n');
  await compare('button Information\nselect topic Styles\nstate\nshot styles.png\n', guide);
  fs.rmSync(guide, {recursive: true});
});
