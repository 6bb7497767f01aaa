// The web folder (scripts/web.sh --dist DIR) as any static host serves it:
// Python's plain http.server, not the project's own server, on 127.0.0.1,
// and the page played in headless Chromium.  Checks that every file the
// page asks for comes, that fighter.wasm comes as application/wasm, that the
// first frame shows both full bars, that Escape ends the game, that every
// other page in the folder (the versus page) draws its first frame, and that
// nothing is logged as an error.
//
//   node web/distTest.js DIST_FOLDER ARTIFACT_FOLDER
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [dist, artifacts] = process.argv.slice(2);
if (!dist || !artifacts) {
  console.error('usage: node distTest.js DIST_FOLDER ARTIFACT_FOLDER');
  process.exit(2);
}

let passed = 0;
let failed = 0;
function check(ok, what, detail) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} dist: ${what}${detail ? ` (${detail})` : ''}`);
  return ok;
}

// Starts `python3 -m http.server` on a free port of 127.0.0.1; resolves to
// { server, port } once it says where it listens.
function startPythonServer(folder) {
  const python = fs.existsSync('/usr/bin/python3') ? '/usr/bin/python3' : 'python3';
  const server = spawn(python, ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1',
    '--directory', path.resolve(folder)], { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const timer = setTimeout(() => reject(new Error(`http.server did not start: ${said}`)), 10000);
    server.stdout.on('data', (chunk) => {
      said += chunk;
      const port = /port (\d+)/.exec(said);
      if (port) {
        clearTimeout(timer);
        resolve({ server, port: Number(port[1]) });
      }
    });
    server.on('exit', (code) => reject(new Error(`http.server ended with ${code}: ${said}`)));
  });
}

async function main() {
  fs.mkdirSync(artifacts, { recursive: true });
  const pages = fs.readdirSync(dist).filter((name) => name.endsWith('.html')).sort();
  check(pages.includes('index.html'), 'the folder holds index.html', pages.join(', '));

  const { server, port } = await startPythonServer(dist);
  process.on('exit', () => server.kill());
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fighter-dist-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const problems = [];
  const types = new Map();
  const open = async (name) => {
    const page = await browser.newPage();
    await page.setViewport({ width: 1180, height: 660 });
    await page.setCacheEnabled(false);
    page.on('console', (message) => {
      if (message.type() === 'error') problems.push(`${name}: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`${name}: uncaught ${error.message}`));
    page.on('requestfailed', (request) => problems.push(`${name}: request failed ${request.url()}`));
    page.on('response', (response) => {
      const file = new URL(response.url()).pathname.split('/').pop();
      types.set(file, response.headers()['content-type'] || '');
      if (response.status() >= 400) problems.push(`${name}: ${response.status()} for ${file}`);
    });
    await page.goto(`http://127.0.0.1:${port}/${name}`, { waitUntil: 'load' });
    return page;
  };
  try {
    const page = await open('index.html');
    const started = await page.waitForFunction(() => window.gameMarks && gameMarks['first frame'],
      { timeout: 30000 }).then(() => true, () => false);
    if (!check(started, 'the game draws its first frame within 30 s')) return;
    check(/^application\/wasm/.test(types.get('fighter.wasm') || ''), 'fighter.wasm is served as application/wasm',
      types.get('fighter.wasm'));
    // The bars are drawn full from the first frame on.
    const bars = await page.evaluate(() => {
      const context = document.getElementById('canvas').getContext('2d');
      return [[100, 25], [700, 25]].map(([x, y]) => {
        const [r, g, b] = context.getImageData(x, y, 1, 1).data;
        return ((r << 16) | (g << 8) | b).toString(16).toUpperCase().padStart(6, '0');
      });
    });
    await page.screenshot({ path: path.join(artifacts, 'dist-page.png') });
    check(bars.every((colour) => colour === 'FF3300'), 'the first frame shows both bars full', bars.join(' '));
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => gameMarks.ended, { timeout: 20000 }).catch(() => {});
    check(await page.evaluate(() => !!gameMarks.ended), 'Escape ends the game',
      'waited up to 20 s for the page to say the game ended');
    await page.close();

    for (const name of pages.filter((other) => other !== 'index.html')) {
      const other = await open(name);
      // A game page marks its first frame (the versus page does); any other
      // page has a few seconds to show an error.
      if (await other.evaluate(() => typeof window.gameMarks === 'object')) {
        const drawn = await other.waitForFunction(() => gameMarks['first frame'], { timeout: 30000 })
          .then(() => true, () => false);
        check(drawn, `${name} draws its first frame within 30 s`);
      } else {
        await new Promise((resolve) => setTimeout(resolve, 3000));
        check(true, `${name} loads`);
      }
      await other.screenshot({ path: path.join(artifacts, `dist-${name}.png`) });
      await other.close();
    }
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(profile, { recursive: true, force: true });
    for (const problem of problems) console.log(`problem: ${problem}`);
    check(problems.length === 0, 'no console error, no failed or missing file', `${problems.length}`);
  }
}

const watchdog = setTimeout(() => {
  console.log('FAIL dist: the test did not finish within 2 minutes');
  process.exit(1);
}, 120000);
main().then(() => {
  clearTimeout(watchdog);
  console.log(`dist: ${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}, (error) => {
  clearTimeout(watchdog);
  console.log(`FAIL dist: ${error.stack || error}`);
  console.log(`dist: ${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
