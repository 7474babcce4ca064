// The browser timedemo in real time: --virtual-time-budget would make the
// page's clock virtual, so this drives Chromium headless through its
// DevTools pipe and prints what the page printed once the game has ended.
// As the native timedemo counts from the first frame to the last, leaving
// the program's start out, the browser is given time to finish starting.
// With a native build folder it plays the same recorded game there too, in
// turn with the browser, and prints the best run of each side by side.
//   node tests/web/timedemo.js http://127.0.0.1:8000/ [NATIVE_BUILD_FOLDER [RUNS]]
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { openBrowser, sleep } = require('./devtools.js');

const REPORT = /^timedemo: (\d+) frames in ([0-9.]+) s/m;

// A browser just started is still busy starting (its page process, the
// first navigation's work) for the better part of a second, beside the game
// on a machine of few cores: it first opens a file of the site and is left
// to settle for a second, as it would be after a player's download.
async function browserRun(site) {
  const browser = await openBrowser();
  const folder = site.endsWith('/') ? site : site + '/';
  try {
    await browser.load(new URL('quarvel.webmanifest', folder).href);
    await sleep(1000);
    await browser.load(new URL('index.html?timedemo', folder).href);
    const done = await browser.waitForState('done', 300000);
    return done ? await browser.text('console') : 'timedemo: the page did not finish in time';
  } finally {
    await browser.close();
  }
}

// The window build's headless timedemo, without sound, its high score in a
// file of its own.
function nativeRun(folder) {
  const game = path.join(__dirname, '..', '..', 'bench', 'whole_game.txt');
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-timedemo-'));
  try {
    return execFileSync(path.join(folder, 'quarvel-win'), ['--headless', '--timedemo', '--input', game,
      '--hiscore', path.join(scratch, 'hiscore.txt'), 'NOSOUND'], { cwd: folder, encoding: 'utf8' }).trim();
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
}

(async () => {
  const site = process.argv[2] || 'http://127.0.0.1:8000/';
  const native = process.argv[3] && path.resolve(process.argv[3]);
  const runs = Number(process.argv[4] || 6);
  if (!native) {
    const text = await browserRun(site);
    console.log(text);
    process.exit(REPORT.test(text) ? 0 : 1);
  }
  const best = { browser: null, native: null };
  for (let run = 1; run <= runs; ++run) {
    for (const [side, text] of [['browser', await browserRun(site)], ['native', nativeRun(native)]]) {
      const report = REPORT.exec(text);
      if (!report) {
        console.error(`${side}: ${text}`);
        process.exit(1);
      }
      console.log(`${run} ${side.padEnd(7)} ${report[2]} s`);
      if (!best[side] || Number(report[2]) < Number(best[side][2])) best[side] = report;
    }
  }
  for (const side of ['native', 'browser']) {
    const [, frames, seconds] = best[side];
    console.log(`best ${side.padEnd(7)} ${frames} frames in ${seconds} s, ${Math.round(frames / seconds)} frames per second`);
  }
  console.log(`the browser takes ${(best.browser[2] / best.native[2]).toFixed(2)} times as long`);
})();
