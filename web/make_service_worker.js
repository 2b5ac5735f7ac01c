// Writes the site's service worker at build time:
//
//   node make_service_worker.js SITE VERSION SOURCE
//
// SITE/sw.js is SOURCE (service_worker.js) after two constants: CACHE, the
// name of the cache the worker keeps the site in, made of VERSION and a hash
// of everything it keeps (and of SOURCE), so that each build has a cache of
// its own; and FILES, each file it keeps with its SHA-256, which the worker
// checks as it fetches them. The script runner (mapfolio-script.*) is left
// out: a visit to a guide never loads it.
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');

const [site, version, source] = process.argv.slice(2);
const code = fs.readFileSync(source);

function walk(folder) {
  return fs.readdirSync(path.join(site, folder), {withFileTypes: true}).flatMap(entry => {
    const name = folder ? folder + '/' + entry.name : entry.name;
    return entry.isDirectory() ? walk(name) : [name];
  });
}
const kept = walk('').filter(name => !name.startsWith('.') && name != 'sw.js' && !name.startsWith('mapfolio-script.'))
  .sort();
const whole = crypto.createHash('sha256').update(code);
const files = {};
for (const name of kept) {
  const data = fs.readFileSync(path.join(site, name));
  whole.update(name + '\0').update(data);
  files[name] = 'sha256-' + crypto.createHash('sha256').update(data).digest('base64');
}
const cache = `mapfolio-${version}-${whole.digest('hex').slice(0, 16)}`;
fs.writeFileSync(path.join(site, 'sw.js'), `'use strict';\nconst CACHE = ${JSON.stringify(cache)};\n` +
                 `const FILES = ${JSON.stringify(files, null, 1)};\n${code}`);
