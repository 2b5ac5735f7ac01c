// What the browser tests and the benchmark share: the site served on
// localhost, and Debian's Chromium started headless through playwright-core
// (no browser of Playwright's own is ever downloaded).
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const {chromium} = require('playwright-core');

const ROOT = path.resolve(__dirname, '../..');
const SITE = path.join(ROOT, 'build/web/site');

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.json': 'application/json',
  '.ttf': 'font/ttf', '.png': 'image/png', '.webmanifest': 'application/manifest+json',
};

// Serves the site, and any other folders under their own URL prefixes
// (mounts: {'/bench/': folder}), with any extra response headers.
// Responses are gzip-compressed when the browser asks for it, may be kept
// an hour in its cache, and are counted, so a test or the benchmark can
// tell what a visit downloaded. refuse(true) drops every request
// unanswered, as a network that is gone.
function serve(root = SITE, mounts = {}, extraHeaders = {}) {
  const sent = [];
  const compressed = new Map();
  let refusing = false;
  const server = http.createServer((request, response) => {
    if (refusing) {
      request.socket.destroy();
      return;
    }
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const prefix = Object.keys(mounts).find(prefix => name.startsWith(prefix));
    const base = prefix ? mounts[prefix] : root;
    const relative = prefix ? name.slice(prefix.length) : name;
    const file = path.join(base, relative.endsWith('/') || relative == '' ? relative + 'index.html' : relative);
    if (!file.startsWith(base + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    let body = fs.readFileSync(file);
    const headers = {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                     'Cache-Control': 'max-age=3600', ...extraHeaders};
    if (/\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      // Kept per version of the file: a test may write a new build's.
      const {mtimeMs, size} = fs.statSync(file);
      const key = `${file}\0${mtimeMs}\0${size}`;
      if (!compressed.has(key)) compressed.set(key, zlib.gzipSync(body, {level: 9}));
      body = compressed.get(key);
      headers['Content-Encoding'] = 'gzip';
    }
    sent.push({name, bytes: body.length});
    response.writeHead(200, headers);
    response.end(body);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}/`,
    sent,
    refuse: flag => { refusing = flag; },
    // A connection the browser opened ahead and never used would otherwise
    // hold the server open for the whole request timeout (300 s).
    close: () => new Promise(done => {
      server.close(done);
      server.closeAllConnections();
    }),
  })));
}

// The flags keep Chromium off the network: this machine has none.
const BROWSER = {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--autoplay-policy=no-user-gesture-required'],
};
function launch() {
  return chromium.launch(BROWSER);
}

// A browser with a profile kept in userDataDir, as an installed app has
// (incognito contexts cannot install one).
function launchPersistent(userDataDir, options = {}) {
  return chromium.launchPersistentContext(userDataDir, Object.assign({}, BROWSER, options));
}

// The pixels of an 8-bit RGB or RGBA PNG without interlacing (what the
// script runner writes), as RGB bytes.
function decodePng(bytes) {
  const data = Buffer.from(bytes);
  if (data.toString('latin1', 1, 4) != 'PNG') throw new Error('not a PNG file');
  let width = 0, height = 0, channels = 0;
  const compressed = [];
  for (let at = 8; at < data.length;) {
    const length = data.readUInt32BE(at);
    const type = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (type == 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = {2: 3, 6: 4}[body[9]];
      if (body[8] != 8 || !channels || body[12] != 0) throw new Error('an unexpected kind of PNG');
    } else if (type == 'IDAT') {
      compressed.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(compressed));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const left = x >= channels ? rows[y * stride + x - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const corner = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let guess = 0;
      if (filter == 1) guess = left;
      else if (filter == 2) guess = up;
      else if (filter == 3) guess = (left + up) >> 1;
      else if (filter == 4) {
        const p = left + up - corner, pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - corner);
        guess = pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
      }
      rows[y * stride + x] = (line[x] + guess) & 0xFF;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i) rows.copy(rgb, i * 3, i * channels, i * channels + 3);
  return {width, height, rgb};
}

module.exports = {ROOT, SITE, serve, launch, launchPersistent, decodePng};
