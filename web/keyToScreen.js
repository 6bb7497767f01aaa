// Key to screen in the browser: the built page in headless Chromium, player 1
// punching now and then on real key presses.  For each press, from the
// page's keydown event to the end of the refresh that drew the first frame
// showing the punch (the canvas holds it from then on, and the browser shows
// it at its next display refresh), in milliseconds and in refreshes, and to
// the start of that next display refresh.
//
//   node web/keyToScreen.js PAGE_FOLDER [PRESSES]
//
// The page calls Module.onFrameDrawn after every refresh that drew a frame
// (src/game/webEntry.cpp); the measure hangs on it and on the page's own
// keydown event.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve.js');

const [pageFolder, pressArg] = process.argv.slice(2);
if (!pageFolder) {
  console.error('usage: node keyToScreen.js PAGE_FOLDER [PRESSES]');
  process.exit(2);
}
const presses = Number(pressArg || 20);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Installed in the page before its scripts run.
function measureInPage() {
  const k2s = { refreshes: 0, pending: null, results: [], refreshMs: [], lastRefresh: 0,
    notTaken: 0 };
  window.keyToScreen = k2s;
  window.addEventListener('keydown', (event) => {
    if (event.key === 'z' && !k2s.pending)
      k2s.pending = { at: event.timeStamp, refresh: k2s.refreshes };
  }, true);
  const hook = () => {
    const now = performance.now();
    if (k2s.lastRefresh) k2s.refreshMs.push(now - k2s.lastRefresh);
    k2s.lastRefresh = now;
    k2s.refreshes++;
    const pending = k2s.pending;
    if (!pending) return;
    // A press the game does not take within a second (player 1 knocked
    // about) is dropped.
    if (now - pending.at > 1000) {
      k2s.pending = null;
      k2s.notTaken++;
      return;
    }
    const status = JSON.parse(UTF8ToString(Module._webStatus()));
    if (status.p1.action !== 'punch') return;
    k2s.pending = null;
    const result = { refreshes: k2s.refreshes - pending.refresh, drawnMs: now - pending.at };
    // The canvas goes to the screen with the display refresh that follows.
    requestAnimationFrame((t) => { result.shownMs = t - pending.at; k2s.results.push(result); });
  };
  Object.defineProperty(window, 'onFrameDrawnHook', { value: hook });
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length ? sorted[Math.floor(sorted.length / 2)] : 0;
}

async function main() {
  const { server, port } = await serve(pageFolder, 0);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fighter-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  let ok = false;
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1180, height: 660 });
    await page.evaluateOnNewDocument(measureInPage);
    await page.goto(`http://localhost:${port}/index.html?seed=36`);
    await page.waitForFunction(() => window.gameMarks && gameMarks['first frame'],
      { timeout: 60000 });
    await page.evaluate(() => { Module.onFrameDrawn = window.onFrameDrawnHook; });
    await sleep(1000);
    for (let i = 0; i < presses; i++) {
      // Player 1 stands free, then the punch key goes down.
      await page.waitForFunction(() => {
        const s = JSON.parse(UTF8ToString(Module._webStatus()));
        return s.p1.action !== 'punch' && !keyToScreen.pending;
      }, { timeout: 30000, polling: 50 });
      await sleep(150 + 37 * (i % 7)); // presses land anywhere in a refresh
      await page.keyboard.press('z');
      await page.waitForFunction(() => !keyToScreen.pending, { timeout: 30000, polling: 20 });
    }
    await sleep(200); // the last result waits for the display refresh after its frame
    const k2s = await page.evaluate(() => window.keyToScreen);
    const results = k2s.results;
    if (results.length === 0) throw new Error('no punch was seen');
    const refreshes = results.map((r) => r.refreshes);
    console.log(`browser key to screen (${results.length} presses, ${k2s.notTaken} not taken; ` +
      `display refresh ` +
      `${median(k2s.refreshMs).toFixed(1)} ms): median ${median(refreshes)} refresh, ` +
      `${median(results.map((r) => r.drawnMs)).toFixed(1)} ms to the frame drawn, ` +
      `${median(results.map((r) => r.shownMs)).toFixed(1)} ms to the display refresh that ` +
      `shows it; most ${Math.max(...refreshes)} refreshes, ` +
      `${Math.max(...results.map((r) => r.shownMs)).toFixed(1)} ms`);
    ok = true;
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  process.exit(ok ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
