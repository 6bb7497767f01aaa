// The game in a web page, played in headless Chromium the way a player would:
// real key presses, screenshots judged pixel by pixel against the stage
// bitmap, and the budgets measured.  Fails on any console error.  Every step
// waits for what the game reports (web/testWait.js), never for the clock.
//
//   node web/browserTest.js PAGE_FOLDER DATA_FOLDER ARTIFACT_FOLDER
//
// PAGE_FOLDER holds the built page (build-web/web); screenshots land in
// ARTIFACT_FOLDER.  Prints one line per check and "browser: N passed, M failed".
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve.js');
const wait = require('./testWait.js');

const [pageFolder, dataFolder, artifacts] = process.argv.slice(2);
if (!pageFolder || !dataFolder || !artifacts) {
  console.error('usage: node browserTest.js PAGE_FOLDER DATA_FOLDER ARTIFACT_FOLDER');
  process.exit(2);
}

// Budgets (docs/web.md, "Budgets").
const downloadBudget = 1.5 * 1024 * 1024; // bytes, gzip-compressed, all files of the page
const firstFrameBudget = 1500; // ms from navigation to the first frame drawn
// Walking: 3 pixels per movement step, one step whenever more than 10 ms
// of game time have gathered; the desktop loop makes many passes per
// millisecond, so it steps every 10 ms: 600 pixels in 2 s.  The recorded
// game tests/replays/walk.replay shows the same on the desktop build.
const walkMs = 2000;
const nativeWalk = 600;
// With this seed the opponent backs away while player 1 walks, so nothing
// stops the walk (tests/replays/walk.replay plays the same seed).
const walkSeed = 36;
const walkPress = 250; // the tick Right goes down: player 1 has landed by then

let passed = 0;
let failed = 0;
function check(ok, what, detail) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  return ok;
}

// ---- Images -------------------------------------------------------------

// An RGBA image: { width, height, pixels } with 4 bytes per pixel.
function decodePng(buffer) {
  let at = 8;
  let width = 0, height = 0, colourType = 0;
  const data = [];
  while (at < buffer.length) {
    const length = buffer.readUInt32BE(at);
    const type = buffer.toString('ascii', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('only 8-bit, non-interlaced PNG');
      colourType = body[9];
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const channels = { 2: 3, 6: 4 }[colourType];
  if (!channels) throw new Error(`PNG colour type ${colourType}`);
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const value = raw[y * (stride + 1) + 1 + x];
      const left = x >= channels ? rows[y * stride + x - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const upLeft = y > 0 && x >= channels ? rows[(y - 1) * stride + x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = left;
      else if (filter === 2) predicted = up;
      else if (filter === 3) predicted = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - upLeft;
        const pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - upLeft);
        predicted = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
      }
      rows[y * stride + x] = (value + predicted) & 255;
    }
  }
  const pixels = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; i++) {
    for (let c = 0; c < 3; c++) pixels[i * 4 + c] = rows[i * channels + c];
    pixels[i * 4 + 3] = channels === 4 ? rows[i * channels + 3] : 255;
  }
  return { width, height, pixels };
}

// A Windows bitmap of 8 or 24 bits per pixel, as an RGBA image.
function decodeBmp(buffer) {
  const start = buffer.readUInt32LE(10);
  const width = buffer.readInt32LE(18);
  const height = buffer.readInt32LE(22);
  const bits = buffer.readUInt16LE(28);
  const rowBytes = Math.ceil((width * bits) / 32) * 4;
  const pixels = Buffer.alloc(width * Math.abs(height) * 4);
  for (let y = 0; y < Math.abs(height); y++) {
    const row = start + (height > 0 ? Math.abs(height) - 1 - y : y) * rowBytes;
    for (let x = 0; x < width; x++) {
      let b, g, r;
      if (bits === 24) [b, g, r] = buffer.subarray(row + x * 3, row + x * 3 + 3);
      else if (bits === 8) {
        const entry = 54 + buffer[row + x] * 4;
        [b, g, r] = buffer.subarray(entry, entry + 3);
      } else throw new Error(`${bits}-bit bitmap`);
      pixels.set([r, g, b, 255], (y * width + x) * 4);
    }
  }
  return { width, height: Math.abs(height), pixels };
}

const hex = (image, x, y) => {
  const i = (y * image.width + x) * 4;
  return ((image.pixels[i] << 16) | (image.pixels[i + 1] << 8) | image.pixels[i + 2])
    .toString(16).toUpperCase().padStart(6, '0');
};
const sameColour = (a, i, b, j) =>
  Math.abs(a.pixels[i] - b.pixels[j]) <= 2 && Math.abs(a.pixels[i + 1] - b.pixels[j + 1]) <= 2 &&
  Math.abs(a.pixels[i + 2] - b.pixels[j + 2]) <= 2;

// Pixels in the rectangle that differ from the stage bitmap.
function differsFromStage(shot, stage, x0, y0, w, h) {
  let count = 0;
  for (let y = y0; y < y0 + h; y++)
    for (let x = x0; x < x0 + w; x++) {
      const i = (y * shot.width + x) * 4;
      if (!sameColour(shot, i, stage, i)) count++;
    }
  return count;
}

// Pixels of exactly this colour (0xRRGGBB text) anywhere.
function countColour(shot, colour) {
  let count = 0;
  for (let i = 0; i < shot.width * shot.height; i++)
    if (hex(shot, i % shot.width, Math.floor(i / shot.width)) === colour) count++;
  return count;
}

// Pixels that show one of the colours of a set and differ from the stage.
function countOfColours(shot, stage, colours) {
  let count = 0;
  for (let y = 0; y < shot.height; y++)
    for (let x = 0; x < shot.width; x++) {
      const i = (y * shot.width + x) * 4;
      if (colours.has(hex(shot, x, y)) && !sameColour(shot, i, stage, i)) count++;
    }
  return count;
}

// ---- The page -----------------------------------------------------------

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const consoleErrors = [];
const traceText = [];

async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1180, height: 660 });
  await page.setCacheEnabled(false);
  page.on('console', (message) => {
    if (message.type() === 'error') consoleErrors.push(`${url}: ${message.text()}`);
    if (message.type() === 'log') traceText.push(message.text());
  });
  page.on('pageerror', (error) => consoleErrors.push(`${url}: uncaught ${error.message}`));
  page.on('requestfailed', (request) =>
    consoleErrors.push(`${url}: request failed ${request.url()}`));
  await page.goto(url);
  await page.waitForFunction(() => window.gameMarks && gameMarks['first frame'], { timeout: 60000 })
    .catch((error) => {
      throw new Error(`gave up after 60 s waiting for the first frame of ${url}: ${error.message}`);
    });
  return page;
}

const status = wait.status;

// A screenshot of the canvas, taken while the game is held still (its clock
// stopped, or its loop paused).
async function shot(page, name) {
  const canvas = await page.$('#canvas');
  const file = path.join(artifacts, `${name}.png`);
  await canvas.screenshot({ path: file });
  return decodePng(fs.readFileSync(file));
}
const resume = (page) => page.evaluate(() => Module.resumeMainLoop());

// What the first screenshot must show; why not, or ''.
function startProblem(image, stage) {
  const barPixels = [[22, 25], [377, 25], [422, 25], [777, 25]];
  for (const [x, y] of barPixels)
    if (hex(image, x, y) !== 'FF3300') return `the bars are not full: ${hex(image, x, y)} at ${x},${y}`;
  if (differsFromStage(image, stage, 380, 200, 40, 40) !== 0) return 'the sky in the middle is not the stage';
  if (differsFromStage(image, stage, 0, 540, 800, 50) >= 200) return 'something stands below the ground line';
  // Two fighters stand on the ground line: their bodies fill the band above
  // it and their feet reach down to it.
  const bodies = differsFromStage(image, stage, 0, 330, 800, 200);
  const feet = differsFromStage(image, stage, 0, 518, 800, 12);
  if (bodies < 6000) return `the fighters are not on the stage (${bodies} pixels)`;
  if (feet < 150) return `no feet on the ground line (${feet} pixels)`;
  if (countColour(image, 'FFCC00') >= 50) return 'debug boxes shown before J was pressed';
  return '';
}

async function main() {
  fs.mkdirSync(artifacts, { recursive: true });
  const stage = decodeBmp(fs.readFileSync(path.join(dataFolder, 'tBG2.bmp')));
  const fireColours = new Set();
  const fireFolder = path.join(dataFolder, 'particle', 'fireball');
  for (const name of fs.readdirSync(fireFolder).filter((n) => n.endsWith('.bmp'))) {
    const frame = decodeBmp(fs.readFileSync(path.join(fireFolder, name)));
    for (let y = 0; y < frame.height; y++)
      for (let x = 0; x < frame.width; x++) fireColours.add(hex(frame, x, y));
  }
  fireColours.delete('FF00FF'); // the frames' transparent colour

  const { server, port, sent } = await serve(pageFolder, 0);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fighter-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const base = `http://localhost:${port}/index.html`;
  try {
    // Start-up: the best of three fresh loads, as a loaded machine slows
    // any one of them.
    let best = null;
    for (let load = 1; load <= 3; load++) {
      sent.clear();
      const page = await openPage(browser, `${base}?seed=${walkSeed}`);
      const marks = await page.evaluate(() => {
        const files = {};
        for (const entry of performance.getEntriesByType('resource'))
          files[entry.name.split('/').pop()] = Math.round(entry.responseEnd);
        return { ...gameMarks, files };
      });
      const bytes = [...sent.values()].reduce((a, b) => a + b, 0);
      if (!best || marks['first frame'] < best.marks['first frame']) {
        if (best) await best.page.close();
        best = { page, marks, bytes, files: new Map(sent) };
      } else await page.close();
      if (best.marks['first frame'] <= firstFrameBudget) break;
    }
    const m = best.marks;
    console.log(`start-up, ms after navigation: page script ${Math.round(m.script)}, ` +
      `fighter.js ${m.files['fighter.js']}, fighter.wasm ${m.files['fighter.wasm']}, ` +
      `fighter.data ${m.files['fighter.data']}, runtime ready ${Math.round(m['runtime ready'])}, ` +
      `game started ${Math.round(m.started)}, first frame ${Math.round(m['first frame'])}`);
    console.log('downloaded, gzip: ' + [...best.files].map(([f, n]) => `${f} ${(n / 1024).toFixed(0)} KB`).join(', '));
    check(best.bytes <= downloadBudget, 'download within 1.5 MB gzipped',
      `${(best.bytes / 1024).toFixed(0)} KB`);
    // The first-frame figure is printed, not judged: start-up on a shared
    // machine varies too much with its other jobs for a pass or a fail.
    const load = os.loadavg()[0];
    const cores = os.cpus().length;
    const firstFrame = `${Math.round(m['first frame'])} ms, load ${load.toFixed(1)} on ${cores} cores`;
    const verdict = m['first frame'] <= firstFrameBudget ? 'within' : 'over';
    console.log(`first frame ${verdict} the 1.5 s budget: ${firstFrame}`);

    const legend = await best.page.$eval('aside', (aside) => aside.innerText);
    check(/fireball/.test(legend) && /Esc/.test(legend) && /first key press or click/.test(legend),
      'key legend and the sound line beside the canvas');
    await best.page.close();

    // Walking speed: player 1 holds Right for 2 s of the game clock, with the
    // key repeats a real keyboard sends, and must walk as far as on the
    // desktop.  The game clock stops for the press and the release, so they
    // land on known ticks however late the test's own key presses arrive on
    // a busy machine: the page then plays exactly the desktop's game of
    // tests/replays/walk.replay.  The first key press also starts the page's
    // audio.
    const walk = await openPage(browser, `${base}?seed=${walkSeed}&stopAt=${walkPress}`);
    await wait.clockTo(walk, walkPress, 'the game clock to stop where the walk starts');
    // A stopped clock stands however long the test takes: here 2.5 s of real
    // time, more than a late refresh ever makes up for (the sleep is the span
    // tested, not a wait for the game).
    await sleep(2500);
    const before = await status(walk);
    await walk.keyboard.down('ArrowRight');
    await walk.evaluate((t) => Module._webStopAt(t), walkPress + walkMs);
    // A keyboard's repeats: the first after half a second, then 30 a second
    // (these sleeps pace the presses; the game is not waited on).
    await sleep(500);
    while ((await status(walk)).clock < walkPress + walkMs - 100) {
      await walk.keyboard.down('ArrowRight'); // a repeat: the key is already down
      await sleep(33);
    }
    await wait.clockTo(walk, walkPress + walkMs, 'the game clock to reach the end of the walk');
    await walk.keyboard.up('ArrowRight');
    await wait.clockTo(walk, walkPress + walkMs + 100, 'the game clock to pass the release of Right');
    const after = await status(walk);
    await wait.clockTo(walk, 0);
    const walked = after.p1.x - before.p1.x;
    check(before.clock === walkPress, 'the game clock stops where the test asks and stands there',
      `at ${before.clock} 2.5 s after it stopped`);
    check(Math.abs(walked - nativeWalk) <= nativeWalk * 0.05,
      'walking speed: 2 s of Right walks within 5% of the desktop distance',
      `${walked} px in the browser, ${nativeWalk} px on the desktop; ` +
      `player 1 ${before.p1.x} -> ${after.p1.x}, opponent at ${after.p2.x}`);

    // The game clock follows real time: once it has caught up after the
    // walk's stop, it runs 1.5 s of real time (the sleep is the measured
    // span, not a wait for the game) as far as real time.  A busy machine can
    // hold the page back for a moment in any one span: the best of three.
    const clockAt = () => walk.evaluate(() =>
      [JSON.parse(UTF8ToString(Module._webStatus())).clock, performance.now()]);
    const spans = [];
    let keepsUp = false;
    for (let span = 1; span <= 3 && !keepsUp; span++) {
      await wait.forStatus(walk, 's.behind < 100', 'the game clock to catch up with real time');
      const [clock0, real0] = await clockAt();
      await sleep(1500);
      const [clock1, real1] = await clockAt();
      const ratio = (clock1 - clock0) / (real1 - real0);
      const late = (await status(walk)).behind;
      keepsUp = Math.abs(ratio - 1) <= 0.05 && late < 250;
      spans.push(`${clock1 - clock0} ms of game time in ${Math.round(real1 - real0)} ms, ` +
        `${late} ms behind`);
    }
    check(keepsUp, 'the game clock keeps up with real time',
      `${spans.join('; ')}; ${after.passes} passes in ${after.frames} frames`);
    const audio = await walk.evaluate(() => SDL.audioContext.constructor.name + ' ' + SDL.audioContext.state);
    check(audio === 'AudioContext running', 'sound plays through the page after the first key press', audio);
    await walk.close();

    // The first screenshot, once the fighters have fallen onto the ground
    // line (within a quarter of a second of game time).  Then down, forward,
    // A throws a fireball; J shows the boxes; Escape ends the game.  With
    // the walk's seed the opponent walks up to player 1 from the start and
    // stands in their face after about a second of game time, where a
    // fireball cannot fly; the clock stops at tick 500 for the first try,
    // however long the start takes on a busy machine, when the opponent is
    // still some 350 pixels off.
    const fireAt = 500;
    const play = await openPage(browser, `${base}?seed=${walkSeed}&stopAt=${fireAt}`);
    await wait.forStatus(play, 's.p1.y === 530 && s.p2.y === 530', 'both fighters on the ground',
      { pause: true });
    const problem = startProblem(await shot(play, 'start'), stage);
    await resume(play);
    check(!problem, 'both fighters on the ground, both bars full, no boxes', problem);
    await wait.clockTo(play, fireAt, 'the game clock to stop for the first Down, forward, Z');
    // The game clock stands while the three presses go in, so the game reads
    // them on one tick however slowly they arrive, then runs 50 ms: player 1
    // has started the fireball by then, unless the opponent was hitting
    // them (who then cannot throw).  A player would simply try again, so the
    // test sends the whole command again.  Then the clock goes on 10 ms at a
    // time until the fireball is out, and stands for its screenshot.  A
    // particle may also be a spark from a blow or a block: the clock goes on
    // until the canvas shows the fireball's own colours, the move and its
    // particles are over, or 1.5 s of game time have passed.
    let fire = 0;
    let thrown = false;
    const tries = [];
    for (let attempt = 1; attempt <= 5 && !thrown; attempt++) {
      await wait.clockTo(play, (await status(play)).clock + 1, 'the clock to stop before Down, forward, Z');
      const held = await status(play);
      const forward = held.p2.x >= held.p1.x ? 'ArrowRight' : 'ArrowLeft';
      for (const key of ['ArrowDown', forward, 'z']) {
        await play.keyboard.press(key);
        await sleep(40); // paces the presses
      }
      await wait.clockTo(play, held.clock + 50, 'the game to read Down, forward, Z');
      let s = await status(play);
      console.log(`fireball, try ${attempt}: Down, ${forward}, Z at ${held.clock}: ` +
        `player 1's action ${s.p1.action} at ${s.clock}`);
      tries.push(`${forward}: ${s.p1.action}`);
      if (s.p1.action !== 'fireball') {
        // Whatever kept player 1 busy passes meanwhile.
        await wait.clockTo(play, s.clock + 300, 'the clock to run on before the next try');
        continue;
      }
      // The fireball leaves the hand well within a second of the move.
      while (!thrown && (s.p1.action === 'fireball' || s.particles > 0) &&
        s.clock < held.clock + 1500) {
        await wait.clockTo(play, s.clock + 10, 'the fireball to come out');
        s = await status(play);
        if (s.particles === 0) continue;
        fire = countOfColours(await shot(play, 'fireball'), stage, fireColours);
        thrown = fire > 100;
      }
      console.log(`fireball, try ${attempt}: ${s.particles} particles at ${s.clock}, ` +
        `player 1's action ${s.p1.action}, ${fire} fireball pixels`);
      if (thrown) await play.screenshot({ path: path.join(artifacts, 'page.png') });
    }
    await wait.clockTo(play, 0);
    check(thrown, 'Down, forward, Z throws a fireball',
      `${fire} fireball pixels; player 1's action after each try: ${tries.join(', ')}`);
    await play.keyboard.press('j');
    const shown = (await status(play)).frames;
    await wait.forStatus(play, `s.frames > ${shown}`, 'a frame after J', { pause: true });
    const yellow = countColour(await shot(play, 'debug'), 'FFCC00');
    await resume(play);
    check(yellow > 500, 'J shows the collision boxes', `${yellow} yellow pixels`);
    await play.keyboard.press('Escape');
    await play.waitForFunction(() => gameMarks.ended, { timeout: 20000 }).catch(() => {});
    check(await play.evaluate(() => !!gameMarks.ended), 'Escape ends the game',
      'waited up to 20 s for the page to say the game ended');
    await play.close();

    const trace = traceText.join('\n');
    fs.writeFileSync(path.join(artifacts, 'trace.txt'), trace + '\n');
    check(/Change Action: fireball/.test(trace) && /particle added/.test(trace),
      'the trace shows the fireball move and its particle');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  for (const error of consoleErrors) console.log(`console error: ${error}`);
  check(consoleErrors.length === 0, 'no console errors', `${consoleErrors.length}`);
}

const watchdog = setTimeout(() => {
  console.log('FAIL the browser test did not finish within 3 minutes');
  process.exit(1);
}, 180000);
main().then(() => {
  clearTimeout(watchdog);
  console.log(`browser: ${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}, (error) => {
  clearTimeout(watchdog);
  console.log(`FAIL ${error.stack || error}`);
  console.log(`browser: ${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
