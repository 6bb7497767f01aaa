// The browser test of online play: two headless Chromium pages play the
// online test page (the tests' toy game with the rollback session) against
// each other over WebRTC, through the local signaling server, each holding
// back what it sends by 80 +- 20 ms and losing 5%; then one page plays the
// desktop's netpeer through the bridge (web/bridge.js).  Each pair must
// agree on the checksums of every confirmed frame, and roll back.  WebRTC
// is kept to 127.0.0.1: no other address is offered or tried.
//
//   node web/onlineTest.js BUILD_WEB_FOLDER NETPEER
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const puppeteer = require('puppeteer-core');
const { serve } = require('./serve.js');
const signaling = require('./signal.js');

const frames = 400;

function fail(message) {
  console.error('FAIL: ' + message);
  process.exitCode = 1;
  throw new Error(message);
}

// Resolves to the page's report once it finished, within `ms`.
async function finished(page, name, ms) {
  try {
    await page.waitForFunction(() => window.netTest && window.netTest.report !== null,
      { timeout: ms, polling: 100 });
  } catch (e) {
    const state = await page.evaluate(() => JSON.stringify(window.netTest));
    fail(`${name} did not finish: ${state}`);
  }
  return page.evaluate(() => window.netTest.report);
}

const digest = (report) => (report.match(/^confirmed \d+ digest [0-9a-f]+$/m) || [null])[0];
const rollbacks = (report) => Number((report.match(/rollbacks (\d+)/) || [0, 0])[1]);

// Runs a program under a time limit; resolves to its output.
function run(command, args, ms) {
  return new Promise((resolve) => {
    const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'] });
    let out = '';
    child.stdout.on('data', (d) => { out += d; });
    child.stderr.on('data', (d) => { out += d; });
    const timer = setTimeout(() => child.kill('SIGKILL'), ms);
    child.on('exit', (code) => { clearTimeout(timer); resolve({ code, out, child }); });
    run.children.push(child);
  });
}
run.children = [];

async function main() {
  const [folder, netpeer] = process.argv.slice(2);
  if (!folder || !netpeer) {
    console.error('usage: node web/onlineTest.js BUILD_WEB_FOLDER NETPEER');
    process.exit(2);
  }
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
      // Both pages keep their 16 ms timers though neither is in front.
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows',
      // WebRTC offers 127.0.0.1 only with the page allowed to enumerate
      // networks, which a (fake) microphone grants; mDNS names stay off.
      '--allow-loopback-in-peer-connection', '--use-fake-ui-for-media-stream',
      '--use-fake-device-for-media-stream', '--disable-features=WebRtcHideLocalIpsWithMdns'],
  });
  const open = async (query) => {
    const page = await browser.newPage();
    page.on('console', (m) => { if (/netTest:/.test(m.text())) console.log('  page: ' + m.text()); });
    page.on('pageerror', (e) => console.log('  page error: ' + e.message));
    await page.goto(`http://localhost:${port}/nettest.html?${query}`);
    return page;
  };
  const base = `signal=${encodeURIComponent(signalUrl)}&loopback&frames=${frames}`;
  const grantNetworks = (page) => page.evaluate(async () => {
    await navigator.mediaDevices.getUserMedia({ audio: true });
  });

  try {
    // Browser against browser.
    const host = await browser.newPage();
    await host.goto(`http://localhost:${port}/nettest.html?x`); // the grant is per origin
    await grantNetworks(host);
    await host.close();
    const a = await open(`${base}&seed=3&impair=11`);
    await a.waitForFunction(() => window.netTest.room !== null, { timeout: 10000 });
    const room = await a.evaluate(() => window.netTest.room);
    const b = await open(`${base}&seed=4&impair=12&join=${room}`);
    const [ra, rb] = [await finished(a, 'the host page', 40000), await finished(b, 'the guest page', 10000)];
    console.log('browser host:  ' + ra.replace('\n', ' | '));
    console.log('browser guest: ' + rb.replace('\n', ' | '));
    if (!digest(ra) || digest(ra) !== digest(rb)) fail('the two pages disagree');
    if (rollbacks(ra) + rollbacks(rb) === 0) fail('no rollback between the pages');
    await a.close();
    await b.close();

    // Browser against desktop, through the bridge.
    const c = await open(`${base}&seed=5&impair=13`);
    await c.waitForFunction(() => window.netTest.room !== null, { timeout: 10000 });
    const room2 = await c.evaluate(() => window.netTest.room);
    const udpPort = String(30000 + (process.pid % 20000));
    const bridge = run('node', [path.join(__dirname, 'bridge.js'), signalUrl, room2, udpPort, '--loopback'], 45000);
    const desktop = run(netpeer, ['--join-bridge', udpPort, '--frames', String(frames), '--seed', '6',
      '--limit-ms', '40000'], 45000);
    const rc = await finished(c, 'the page against the desktop', 45000);
    const d = await desktop;
    const br = await bridge;
    console.log(br.out.trim().split('\n').map((l) => '  ' + l).join('\n'));
    console.log('browser: ' + rc.replace('\n', ' | '));
    console.log('desktop: ' + d.out.trim().split('\n').slice(-2).join(' | '));
    if (d.code !== 0) fail('the desktop side failed:\n' + d.out);
    if (!digest(rc) || digest(rc) !== digest(d.out)) fail('the page and the desktop disagree');
    console.log('PASS: browser against browser, and browser against desktop, agree');
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
