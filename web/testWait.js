// Waiting on the game, for the tests that drive it in a page through
// puppeteer: every wait watches what the game reports (its status, the
// page's marks) rather than the clock, has a generous upper bound, and on
// giving up says what it waited for and what the game showed then.
//
//   const wait = require('./testWait.js');
//   await wait.forStatus(page, 's.p1.y === 530', 'player 1 on the ground');
//   await wait.clockTo(page, 250);          // the game clock stops at 250
//   await wait.until(async () => ..., 'what', 20000);
'use strict';

// The game's status, JSON from the page's webStatus(): the game clock and
// how far it is behind real time, the passes and frames made, the live
// particles and both fighters ({ x, y, hp, action }).
const statusSource = 'JSON.parse(UTF8ToString(Module._webStatus()))';

function status(page) {
  return page.evaluate((source) => new Function(`return ${source};`)(), statusSource);
}

// True once `test`, a JavaScript expression over the status `s`, holds;
// checked in the page on every display refresh.  With `pause` the game is
// held still (Module.pauseMainLoop) on the frame where it first holds.
// False after timeoutMs.
async function statusHolds(page, test, { timeoutMs = 20000, pause = false } = {}) {
  try {
    await page.waitForFunction((source, expression, hold) => {
      const s = new Function(`return ${source};`)();
      if (!new Function('s', `return ${expression};`)(s)) return false;
      if (hold) Module.pauseMainLoop();
      return true;
    }, { polling: 'raf', timeout: timeoutMs }, statusSource, test, pause);
    return true;
  } catch (error) {
    if (error.name === 'TimeoutError') return false;
    throw error;
  }
}

// As statusHolds, but gives up with an error naming `what`.
async function forStatus(page, test, what, options = {}) {
  if (await statusHolds(page, test, options)) return;
  const seconds = (options.timeoutMs || 20000) / 1000;
  const now = await status(page).catch((error) => error.message);
  throw new Error(`gave up after ${seconds} s waiting for ${what} (${test}); the game: ` +
    JSON.stringify(now));
}

// Stops the game clock at `tick` (0: lets it run on) and waits until the game
// has got there (or beyond, if it already had).  While the clock stands no
// pass runs, so key presses sent meanwhile are all read on the next tick,
// however slowly they arrive.
async function clockTo(page, tick, what = `the game clock to reach ${tick}`, timeoutMs = 20000) {
  await page.evaluate((t) => Module._webStopAt(t), tick);
  if (tick) await forStatus(page, `s.clock >= ${tick}`, what, { timeoutMs });
}

// Polls `condition` (an async function run in node) every intervalMs until
// it returns a true value, which it returns; gives up with an error naming
// `what` after timeoutMs.
async function until(condition, what, timeoutMs = 20000, intervalMs = 50) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const value = await condition();
    if (value) return value;
    if (Date.now() >= deadline) throw new Error(`gave up after ${timeoutMs / 1000} s waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, intervalMs));
  }
}

module.exports = { status, statusHolds, forStatus, clockTo, until };
