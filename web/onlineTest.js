// The browser test of online play, on the real versus page: two headless
// Chromium pages play the game against each other over WebRTC, through the
// local signaling server, each playing by itself (?autoplay) and holding
// back what it sends by 80 +- 20 ms and losing 5% (?impair); then one page
// plays the desktop's `versus --join-bridge` through the bridge
// (web/bridge.js).  Each pair must agree on the checksums of every confirmed
// frame (a digest of the first 400), and roll back.  A page whose other
// side vanishes says "connection lost" within 3 seconds.  WebRTC is kept to
// 127.0.0.1: no other address is offered or tried.  Every wait watches the
// page's online status (webOnlineStatus), with an upper bound.
//
//   node web/onlineTest.js BUILD_WEB_FOLDER VERSUS [ARTIFACTS]
// VERSUS: the desktop's versus program, run from the repository root.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve.js');
const signaling = require('./signal.js');
const wait = require('./testWait.js');

const frames = 400;
const root = path.join(__dirname, '..');

function fail(message) {
  console.error('FAIL: ' + message);
  process.exitCode = 1;
  throw new Error(message);
}

const statusOf = (page) => page.evaluate(() => window.onlineMatch.status ||
  JSON.parse(Module.UTF8ToString(Module._webOnlineStatus())));

// Resolves to the page's status once its match ended, within `ms`.
async function ended(page, name, ms) {
  await wait.until(async () => (await statusOf(page).catch(() => ({}))).told,
    `${name} to finish its match (${JSON.stringify(await statusOf(page).catch((e) => e.message))})`,
    ms, 100).catch((e) => fail(e.message));
  return statusOf(page);
}

const summary = (s) => `${s.phase}: frame ${s.frame}, confirmed ${s.confirmed}, ` +
  `rollbacks ${s.rollbacks}, longest ${s.longest}, waited ${s.waited}, ping ${s.ping} ms, ` +
  `digest ${s.digest || '-'}, ended: ${s.message}`;

// Runs a program under a time limit; resolves to its exit code and output.
function run(command, args, ms, options = {}) {
  return new Promise((resolve) => {
    const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'], ...options });
    let out = '';
    child.stdout.on('data', (d) => { out += d; });
    child.stderr.on('data', (d) => { out += d; });
    const timer = setTimeout(() => child.kill('SIGKILL'), ms);
    child.on('exit', (code) => { clearTimeout(timer); resolve({ code, out }); });
    run.children.push(child);
  });
}
run.children = [];

async function main() {
  const [folder, versus, artifacts] = process.argv.slice(2);
  if (!folder || !versus) {
    console.error('usage: node web/onlineTest.js BUILD_WEB_FOLDER VERSUS [ARTIFACTS]');
    process.exit(2);
  }
  if (artifacts) fs.mkdirSync(artifacts, { recursive: true });
  const { server, port } = await serve(folder, 0);
  const signal = await signaling.start(0, '127.0.0.1');
  const signalUrl = `ws://127.0.0.1:${signal.port}`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fighter-online-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      // Both pages keep their timers though neither is in front.
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows', '--autoplay-policy=no-user-gesture-required',
      // WebRTC offers 127.0.0.1 only with the page allowed to enumerate
      // networks, which a (fake) microphone grants; mDNS names stay off.
      '--allow-loopback-in-peer-connection', '--use-fake-ui-for-media-stream',
      '--use-fake-device-for-media-stream', '--disable-features=WebRtcHideLocalIpsWithMdns'],
  });
  const open = async (name, query) => {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 680 });
    page.on('console', (m) => { if (/^Online: /m.test(m.text())) console.log(`  ${name}: ` + m.text().split('\n').filter((l) => l.startsWith('Online: ')).join(' | ')); });
    page.on('pageerror', (e) => console.log(`  ${name} error: ` + e.message));
    await page.goto(`http://localhost:${port}/versus.html?${query}`);
    return page;
  };
  const base = `signal=${encodeURIComponent(signalUrl)}&loopback&frames=${frames}`;
  const room = async (page, name) => {
    await wait.until(() => page.evaluate(() => window.onlineMatch && window.onlineMatch.room),
      `${name} to get a room from the signaling server`, 20000, 50).catch((e) => fail(e.message));
    return page.evaluate(() => window.onlineMatch.room);
  };
  const shoot = async (page, name) => {
    if (artifacts) await page.screenshot({ path: path.join(artifacts, name + '.png') });
  };

  try {
    // The grant of the (fake) microphone is per origin.
    const first = await browser.newPage();
    await first.goto(`http://localhost:${port}/versus.html`);
    await first.evaluate(() => navigator.mediaDevices.getUserMedia({ audio: true }));
    await first.close();

    // No signaling server: the page says so.
    const lone = await open('lone page', `online&signal=${encodeURIComponent('ws://127.0.0.1:9')}&loopback`);
    await wait.until(() => lone.$eval('#status', (e) => /cannot be reached/.test(e.textContent)),
      'the page to say the signaling server cannot be reached', 20000, 50).catch((e) => fail(e.message));
    await lone.close();

    // Browser against browser.
    const a = await open('host page', `online&${base}&autoplay=3&impair=11`);
    const roomA = await room(a, 'the host page');
    const link = await a.$eval('#link', (e) => e.value);
    if (!link.includes(`join=${roomA}`) || link.includes('online'))
      fail(`the link to send is wrong: ${link}`);
    const b = await open('guest page', `join=${roomA}&${base}&autoplay=4&impair=12`);
    await wait.until(async () => (await statusOf(a)).phase === 'running' &&
      (await statusOf(b)).phase === 'running', 'both pages to start the match', 30000, 50)
      .catch((e) => fail(e.message));
    await wait.until(async () => (await statusOf(a)).confirmed >= frames / 2, 'the match half way',
      30000, 50).catch((e) => fail(e.message));
    await shoot(a, 'online-host');
    const [sa, sb] = [await ended(a, 'the host page', 40000), await ended(b, 'the guest page', 10000)];
    console.log('browser host:  ' + summary(sa));
    console.log('browser guest: ' + summary(sb));
    if (!sa.digest || sa.digest !== sb.digest) fail('the two pages disagree');
    if (sa.rollbacks + sb.rollbacks === 0) fail('no rollback between the pages');
    if (sa.hp[0] === 100 && sa.hp[1] === 100) console.log('  (nobody was hit)');
    await shoot(b, 'online-guest-ended');
    await a.close();
    await b.close();

    // The other page gone mid-match: "connection lost" within 3 seconds.
    const e = await open('host page', `online&${base}&autoplay=7`);
    const roomE = await room(e, 'the host page');
    const f = await open('guest page', `join=${roomE}&${base}&autoplay=8`);
    await wait.until(async () => (await statusOf(e)).confirmed >= 60,
      'the pages to play 60 frames', 30000, 50).catch((err) => fail(err.message));
    await f.close();
    const gone = Date.now();
    const se = await ended(e, 'the page left alone', 5000);
    const seconds = (Date.now() - gone) / 1000;
    console.log(`left alone: ${se.message} after ${seconds.toFixed(1)} s`);
    if (se.message !== 'connection lost' || seconds > 3) fail('"connection lost" did not come within 3 s');
    await shoot(e, 'online-connection-lost');
    await e.close();

    // Browser against desktop, through the bridge.
    const c = await open('page', `online&${base}&autoplay=5&impair=13`);
    const roomC = await room(c, 'the page');
    const udpPort = String(30000 + (process.pid % 20000));
    const bridge = run('node', [path.join(__dirname, 'bridge.js'), signalUrl, roomC, udpPort, '--loopback'], 60000);
    const desktop = run(versus, ['--join-bridge', udpPort, '--frames', String(frames),
      '--autoplay', '6', '--impair', '14'], 60000,
    { cwd: root, env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' } });
    const sc = await ended(c, 'the page against the desktop', 60000);
    const d = await desktop;
    const br = await bridge;
    console.log(br.out.trim().split('\n').map((l) => '  ' + l).join('\n'));
    console.log('browser: ' + summary(sc));
    const desktopLines = d.out.split('\n').filter((l) => /^Online: /.test(l));
    console.log('desktop: ' + desktopLines.slice(-3).join(' | '));
    const desktopDigest = (d.out.match(/confirmed \d+ digest ([0-9a-f]+)/) || [])[1];
    if (d.code !== 0) fail('the desktop side failed:\n' + desktopLines.join('\n'));
    if (!sc.digest || sc.digest !== desktopDigest) fail('the page and the desktop disagree');
    if (sc.rollbacks === 0 && / 0 rollbacks/.test(d.out)) fail('no rollback between the page and the desktop');
    console.log('PASS: browser against browser, and browser against desktop, agree on the versus page');
  } finally {
    for (const child of run.children) if (child.exitCode === null) child.kill('SIGKILL');
    await browser.close();
    server.close();
    signal.server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => {
  if (!process.exitCode) console.error(e);
  process.exitCode = 1;
});
