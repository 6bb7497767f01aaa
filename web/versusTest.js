// The versus page in headless Chromium: two players at one keyboard, each
// throwing a fireball with their own keys, the page's status telling what
// the game did.  Every wait is on what the page reports; only the key presses
// of a command are paced.  Fails on any console error.
//
//   node web/versusTest.js PAGE_FOLDER ARTIFACT_FOLDER
//
// PAGE_FOLDER holds the built page (build-web/web); screenshots land in
// ARTIFACT_FOLDER.  Prints one line per check and "versus: N passed, M failed".
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve.js');
const wait = require('./testWait.js');

const [pageFolder, artifacts] = process.argv.slice(2);
if (!pageFolder || !artifacts) {
  console.error('usage: node versusTest.js PAGE_FOLDER ARTIFACT_FOLDER');
  process.exit(2);
}

let passed = 0;
let failed = 0;
function check(ok, what, detail) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  return ok;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const { status } = wait;
const until = (page, test, timeoutMs) => wait.statusHolds(page, test, { timeoutMs });

// Pixels of a fighter's outfit on the canvas, in the band above the ground
// line around x: player 1's dark blue, or the crimson player 2 wears in a
// versus match.  The stage there shows neither.
const outfitPixels = (page, x, colour) => page.evaluate((x0, crimson) => {
  const canvas = document.getElementById('canvas').getContext('2d');
  const d = canvas.getImageData(Math.max(0, x0 - 40), 380, 80, 140).data;
  let n = 0;
  for (let i = 0; i < d.length; i += 4) {
    const [r, g, b] = [d[i], d[i + 1], d[i + 2]];
    if (crimson ? r > g + 90 && r > b + 90 : b > r + 40 && b > g + 30 && r < 80) n++;
  }
  return n;
}, x, colour === 'crimson');

// A command: its keys pressed one after another, 40 ms apart, as a player's
// fingers would (each lands in a frame of its own).
async function command(page, keys) {
  for (const key of keys) {
    await page.keyboard.press(key);
    await sleep(40);
  }
}

// Presses a command until the status shows `hit`, a few times at most: a
// press may land while the fighter cannot act (still falling, reeling from a
// hit), and a player would simply press again.
async function throwUntil(page, keys, hit) {
  for (let attempt = 0; attempt < 5; attempt++) {
    await command(page, keys);
    if (await until(page, hit, 3000)) return true;
  }
  return false;
}

async function main() {
  fs.mkdirSync(artifacts, { recursive: true });
  const consoleErrors = [];
  const { server, port } = await serve(pageFolder, 0);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fighter-versus-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    // The game's page links the versus page.
    const home = await browser.newPage();
    await home.goto(`http://localhost:${port}/index.html`);
    const link = await home.$eval('a[href="versus.html"]', (a) => a.textContent).catch(() => '');
    check(/versus/i.test(link), 'the game\'s page links the versus page', link);
    await home.close();

    const page = await browser.newPage();
    await page.setViewport({ width: 1240, height: 660 });
    const trace = [];
    page.on('console', (message) => {
      if (message.type() === 'error') consoleErrors.push(message.text());
      if (message.type() === 'log') trace.push(message.text());
    });
    const moves = () => trace.join('\n').split('\n').filter((l) => /^Change Action/.test(l));
    page.on('pageerror', (error) => consoleErrors.push(`uncaught ${error.message}`));
    page.on('requestfailed', (request) => consoleErrors.push(`request failed ${request.url()}`));
    await page.goto(`http://localhost:${port}/versus.html?seed=1`);
    await wait.until(() => page.evaluate(() => window.gameMarks && gameMarks['first frame']),
      'the first frame', 30000);

    check(/versus/.test(await page.title()), 'the page is titled versus', await page.title());
    // Every key of both players is in the legend, under its player.
    const legend = await page.$$eval('#legend tr', (rows) => rows.map((row) =>
      [...row.cells].map((cell) => [...cell.querySelectorAll('kbd')].map((k) => k.textContent).join(' '))));
    const column = (n) => legend.map((row) => row[n] || '').join(' ').split(/\s+/);
    const has = (n, keys) => keys.every((k) => column(n).includes(k));
    check(has(1, ['\u2190', '\u2192', '\u2191', '\u2193', 'Z', 'X', 'C']) &&
      has(2, ['D', 'G', 'R', 'F', 'A', 'S', 'Q']), 'the legend lists both players\' keys',
      JSON.stringify(legend));
    let s = await status(page);
    check(s.versus === true, 'the game plays a versus match');
    check(await until(page, 's.p1.y === 530 && s.p2.y === 530', 20000),
      'both fighters land on the ground', `waited up to 20 s: ${JSON.stringify(await status(page))}`);

    // The canvas shows both fighters between frames (the page erases them
    // only once the browser has shown them), and nothing where neither stands.
    s = await status(page);
    const shown = [await outfitPixels(page, s.p1.x, 'blue'), await outfitPixels(page, s.p2.x, 'crimson'),
      await outfitPixels(page, 300, 'blue') + await outfitPixels(page, 300, 'crimson')];
    check(shown[0] > 1000 && shown[1] > 500 && shown[2] < 100,
      'the canvas shows both fighters, player 2 in its own colours',
      `blue at player 1, crimson at player 2, either between them: ${shown.join(', ')}`);
    const swapped = [await outfitPixels(page, s.p1.x, 'crimson'), await outfitPixels(page, s.p2.x, 'blue')];
    check(swapped[0] < 100 && swapped[1] < 300, 'neither wears the other\'s colours',
      `crimson at player 1, blue at player 2: ${swapped.join(', ')}`);

    // Player 1: Down, Right, Z - a fireball that hits player 2.
    const p1 = await throwUntil(page, ['ArrowDown', 'ArrowRight', 'z'], 's.p2.hp < 1000');
    s = await status(page);
    check(p1 && s.p1.hp === 1000, 'player 1\'s fireball hits player 2, not player 1',
      `hit points ${s.p1.hp} and ${s.p2.hp}; moves: ${moves().join(', ')}`);
    await page.screenshot({ path: path.join(artifacts, 'versus-p1-fireball.png') });

    // Player 2: F, D, A (Down, forward, A on its own keys) - one back.
    const p2hp = s.p2.hp;
    const p2 = await throwUntil(page, ['f', 'd', 'a'], 's.p1.hp < 1000');
    s = await status(page);
    check(p2 && s.p2.hp === p2hp, 'player 2\'s fireball hits player 1, not player 2',
      `hit points ${s.p1.hp} and ${s.p2.hp}; moves: ${moves().join(', ')}`);
    await page.screenshot({ path: path.join(artifacts, 'versus-p2-fireball.png') });

    // Escape ends the match.
    await page.keyboard.press('Escape');
    const ended = await wait.until(() => page.evaluate(() => !!gameMarks.ended), 'the end', 20000)
      .catch(() => false);
    check(ended, 'Escape ends the match', ended ? '' : 'waited up to 20 s for the page to say it ended');
    await page.close();
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  for (const error of consoleErrors) console.log(`console error: ${error}`);
  check(consoleErrors.length === 0, 'no console errors', `${consoleErrors.length}`);
}

const watchdog = setTimeout(() => {
  console.log('FAIL the versus page test did not finish within 2 minutes');
  process.exit(1);
}, 120000);
main().then(() => {
  clearTimeout(watchdog);
  console.log(`versus: ${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}, (error) => {
  clearTimeout(watchdog);
  console.log(`FAIL ${error.stack || error}`);
  console.log(`versus: ${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
