// The page with the game's own signals, in real time in Chromium headless,
// each group served by its own server:
//   pause      a hidden tab and the pause button (the game's PAUSED picture),
//              P and the Menu button (the game's menu) each hold a scripted
//              run of stage one: no frame is handed over and the picture
//              stands; afterwards the run's frame fingerprints and sounds
//              are those of the same run never held
//   menu       the Menu button tapped, P and a gamepad's Start open the menu,
//              a tap on RESUME closes it; its VOLUME starts from the page's
//              slider and sets it; LEFT remapped to a in CONTROLS is stored,
//              and after a reload the game has it and a moves left; then,
//              with the gamepad alone, RIGHT remapped to X is stored and moves
//   reload     a high score reached in mid-stage is stored when the tab is
//              hidden and when it is reloaded, and the new game gets it
//   tabs       two tabs of one profile play; the game in one saves a lower
//              score than the other reached: the stored score stays the higher
//   questions  Yes and No show exactly while the game asks whether to go on
//              or to leave, and answer it
//   title      the standing title hands the page no picture; a tap on it
//              starts a game
//   node tests/web/game_test.js SITE_FOLDER [GROUP]
'use strict';
const { sleep, check, running, STORED, scoreText, HIDE, SHOW, PAUSED, canvasPrint, runGroups } = require('./devtools.js');
const MENU_OPEN = "document.body.dataset.menu === 'open'";
const MENU_CLOSED = "document.body.dataset.menu === 'closed'";
const MENU_ITEMS_TOP = 60, MENU_LINE_HEIGHT = 12;  // where the menu's items stand on the picture
// Where the player's yellow ship stands across the picture: the mean column
// of its pixels in the rows it moves along (-1: not there).
const SHIP_X = "(() => { const d = document.getElementById('screen').getContext('2d').getImageData(0, 190, 320, 32).data;" +
  ' let sum = 0, count = 0; for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] > 200 && d[i + 2] < 100) {' +
  ' sum += (i >> 2) % 320; ++count; } return count > 20 ? sum / count : -1; })()';

const [site, only] = process.argv.slice(2);
const stored = (page) => page.evaluate(`localStorage.getItem('${STORED}')`);
const shows = (page) => page.evaluate('Module.quarvelPage.stats.shows');

// Six seconds of stage one, moving and firing, then left through the exit question.
const PAUSE_SCRIPT = ['200 down space', '260 up space', '400 down left', '1400 up left', '1500 down space',
  '1560 up space', '1700 down right', '3900 up right', '4000 down space', '4060 up space', '5800 down esc',
  '5900 up esc', '6100 type y'].join('\n');

// The game's paused picture: the page dimmed to half, "PAUSED" in the
// game's ringed letters across rows 40 to 59, the only bright pixels.
const PAUSED_PICTURE = "(() => { const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;" +
  ' let outside = 0, inside = 0; for (let i = 0; i < d.length; i += 4) { const row = (i >> 2) / 320 | 0;' +
  ' if (d[i] > 127 || d[i + 1] > 127 || d[i + 2] > 127) row >= 40 && row < 60 ? ++inside : ++outside; }' +
  ' return outside === 0 && inside > 50; })()';

// One hold of a running game (the page's pause, or the game's menu), and
// playing on the same way.
const PAUSE = { held: PAUSED, picture: PAUSED_PICTURE };
const MENU = { held: MENU_OPEN, picture: MENU_OPEN };
const HOLDS = {
  'hidden tab': {
    ...PAUSE,
    pause: (page) => page.evaluate(HIDE),
    async playOn(page) {
      await page.evaluate(SHOW);
      await page.click('#screen');
    },
  },
  p: { ...MENU, pause: (page) => page.key('KeyP', 'p'), playOn: (page) => page.key('KeyP', 'p') },
  button: { ...PAUSE, pause: (page) => page.click('#pause'), playOn: (page) => page.click('#pause') },
  'menu button': { ...MENU, pause: (page) => page.click('#menu'), playOn: (page) => page.key('Escape', 'Escape') },
};
async function holdOnce(page, how) {
  const hold = HOLDS[how];
  check(await page.waitForState('running', 100), `${how}: the run ended before the pause`);
  await hold.pause(page);
  check(await page.waitFor(hold.held, 2000), `${how} did not hold the game`);
  check(await page.waitFor(hold.picture, 2000), `${how}: the game's picture of it is not shown`);
  const held = [await shows(page), await page.evaluate(canvasPrint)];
  await sleep(1200);
  check((await shows(page)) === held[0] && (await page.evaluate(canvasPrint)) === held[1], `${how}: frames went on while paused`);
  await hold.playOn(page);
  check(await page.waitFor(`!(${hold.held})`, 2000), `${how}: did not play on`);
  check(await page.waitFor(`Module.quarvelPage.stats.shows > ${held[0] + 2}`, 3000), `${how}: no frame after playing on`);
}

// The high scores the game reports from now on.
const listenToHighScores = (page) => page.evaluate('window.reported = [0]; { const p = Module.quarvelPage, tell = p.highScore;' +
  ' p.highScore = (value) => { window.reported.push(value); return tell.call(p, value); }; }');
// Fires from where the ship stands until the game reports a high score above
// value; returns it.
async function fireUntilAbove(page, value) {
  for (const end = Date.now() + 40000; Date.now() < end;) {
    await page.key('Space', ' ', 60);
    await sleep(240);
    const best = await page.evaluate('Math.max(...window.reported)');
    if (best > value) return best;
  }
  throw new Error(`no high score above ${value} reported`);
}
// The tab in front and its game playing (a tab left behind may have paused).
async function toFront(page) {
  await page.send('Page.bringToFront');
  await sleep(200);
  if (await page.evaluate(PAUSED)) await page.click('#pause');
  check(await page.waitFor(`!(${PAUSED})`, 2000), 'the game stays paused');
}
async function storeFirst(page, server, text) {
  await page.load(server.url + 'quarvel.webmanifest');  // the site's origin without a game that would save
  await page.waitFor('document.readyState === "complete"', 5000);
  await page.evaluate(`localStorage.setItem('${STORED}', ${JSON.stringify(text)})`);
}

// The question's white frame on the canvas: continue (86..224 x 118..148) or exit (42..276 x 98..128).
const BOX = "(() => { const c = document.getElementById('screen').getContext('2d');" +
  ' const white = (x, y) => c.getImageData(x, y, 1, 1).data.slice(0, 3).every((v) => v === 255);' +
  " return white(86, 130) && white(224, 130) && white(150, 118) ? 'continue'" +
  " : white(42, 110) && white(276, 110) && white(150, 98) ? 'exit' : ''; })()";
const ANSWERS = "[...document.querySelectorAll('.pad .answer')].map((b) => b.checkVisibility({ visibilityProperty: true })).join()";
// Touches esc until the exit question is up: the stage does not listen while its ship explodes.
async function askToLeave(page, press) {
  for (let tries = 0; tries < 12; ++tries) {
    await press();
    if (await page.waitFor(`${BOX} === 'exit'`, 500)) return;
  }
  throw new Error('the exit question did not come up');
}
async function leaveStage(page) {
  await askToLeave(page, () => page.key('Escape', 'Escape'));
  await page.key('KeyY', 'y');
  check(await page.waitForState('done', 15000), 'the stage was not left');
}

// A tap on the menu's item on that line (0 is RESUME), through where the canvas stands.
async function tapMenuItem(page, item) {
  const [x, y] = await page.evaluate("(() => { const r = document.getElementById('screen').getBoundingClientRect();" +
    ` return [r.x + r.width / 2, r.y + (${MENU_ITEMS_TOP + item * MENU_LINE_HEIGHT + MENU_LINE_HEIGHT / 2} * r.height) / 240]; })()`);
  await page.tap(x, y);
}
const PAD_A = 0, PAD_X = 2, START = 9, PAD_DOWN = 13;  // gamepad buttons, standard mapping

const groups = {
  async pause(browser, serve) {
    const server = await serve(site);
    const url = server.url + 'index.html?scene=stage1&seed=3&frames=all&input=' + encodeURIComponent(PAUSE_SCRIPT);
    const fingerprints = async (holds) => {
      await browser.load(url);
      await running(browser);
      for (const how of holds) {
        await sleep(1000);
        await holdOnce(browser, how);
      }
      check(await browser.waitForState('done', 30000), 'the scripted run did not end');
      check((await browser.evaluate("document.getElementById('status').dataset.exitCode")) === '0', 'the scripted run failed');
      return [(await browser.text('frame-hashes')).trim().split('\n'), await browser.text('sound-log')];
    };
    const [unpaused, unpausedSounds] = await fingerprints([]);
    const [paused, pausedSounds] = await fingerprints(Object.keys(HOLDS));
    check(unpaused.length > 150, `only ${unpaused.length} frames`);
    const first = paused.findIndex((line, i) => line !== unpaused[i]);
    check(first < 0 && paused.length === unpaused.length, `after pauses, frame ${paused[first] || paused.length} differs`);
    check(pausedSounds === unpausedSounds, 'after pauses, the sounds differ');
  },

  async menu(browser, serve) {
    const server = await serve(site);
    const url = server.url + 'index.html?scene=stage1&seed=3&nosound&touch';
    await browser.load(url);
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 10000), 'stage one did not start');
    await sleep(500);
    const [x, y] = await browser.centre('#menu');
    await browser.tap(x, y);
    check(await browser.waitFor(MENU_OPEN, 2000), 'a tap on the Menu button did not open the menu');
    const held = [await shows(browser), await browser.evaluate(canvasPrint)];
    await sleep(600);
    check((await browser.evaluate(canvasPrint)) === held[1], 'the game went on under the menu');
    await tapMenuItem(browser, 0);
    check(await browser.waitFor(MENU_CLOSED, 2000), 'a tap on RESUME did not close the menu');
    check(await browser.waitFor(`Module.quarvelPage.stats.shows > ${held[0] + 2}`, 3000), 'no frame after the menu');
    await browser.gamepadButton(START, 300);
    check(await browser.waitFor(MENU_OPEN, 2000), "the gamepad's Start did not open the menu");
    await sleep(300);  // the page looks at the gamepad a few times a second: let it see Start let go
    await browser.gamepadButton(START, 300);
    check(await browser.waitFor(MENU_CLOSED, 2000), "the gamepad's Start did not close the menu");

    // The menu's SOUND starts from the page's slider, and sets it.
    await browser.evaluate("{ const v = document.getElementById('volume'); v.value = '40'; v.dispatchEvent(new Event('input')); }");
    await browser.key('KeyP', 'p');
    check(await browser.waitFor(MENU_OPEN, 2000), 'P did not open the menu');
    for (const key of ['ArrowDown', 'Enter', 'ArrowLeft']) await browser.key(key, key);
    check(await browser.waitFor("document.getElementById('volume').value === '30'", 2000),
      'VOLUME down from the slider\'s 40 left the slider at ' + (await browser.evaluate("document.getElementById('volume').value")));
    check((await browser.evaluate("localStorage.getItem('quarvel.volume')")) === '30', 'the volume the menu set was not kept');
    await browser.key('KeyP', 'p');
    check(await browser.waitFor(MENU_CLOSED, 2000), 'P did not close the menu');

    // CONTROLS (three down from RESUME), Enter on LEFT, then a.
    await browser.key('KeyP', 'p');
    check(await browser.waitFor(MENU_OPEN, 2000), 'P did not open the menu');
    for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter', 'Enter']) await browser.key(key, key);
    await browser.key('KeyA', 'a');
    const keptLeft = "/^key_left = a$/m.test(localStorage.getItem('quarvel.ini') || '')";
    check(await browser.waitFor(keptLeft, 2000), 'key_left = a was not stored: ' +
      JSON.stringify(await browser.evaluate("localStorage.getItem('quarvel.ini')")));
    await browser.key('KeyP', 'p');
    check(await browser.waitFor(MENU_CLOSED, 2000), 'P did not close the menu');

    await browser.load(url);
    await running(browser);
    const file = await browser.evaluate("new TextDecoder().decode(Module.FS.readFile('/quarvel.ini'))");
    check(/^key_left = a$/m.test(file), 'the reloaded game has no key_left = a: ' + JSON.stringify(file));
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 10000), 'stage one did not start again');
    await sleep(1500);
    const start = await browser.evaluate(SHIP_X);
    check(start > 0, 'no ship to move');
    await browser.key('KeyA', 'a', 800);
    const moved = await browser.evaluate(SHIP_X);
    check(moved < start - 10, `a did not move the ship left (from x ${start} to ${moved})`);

    // With the gamepad alone: Start, down to CONTROLS, A, down to RIGHT, A,
    // then X; Start closes, and X moves the ship back right.
    for (const button of [START, PAD_DOWN, PAD_DOWN, PAD_DOWN, PAD_A, PAD_DOWN, PAD_A, PAD_X, START]) {
      await browser.gamepadButton(button, 150);
      await sleep(150);
    }
    const keptPad = "/^pad_right = x$/m.test(localStorage.getItem('quarvel.ini') || '')";
    check(await browser.waitFor(keptPad, 2000), 'pad_right = x was not stored: ' +
      JSON.stringify(await browser.evaluate("localStorage.getItem('quarvel.ini')")));
    check(await browser.waitFor(MENU_CLOSED, 2000), "the gamepad's Start did not close the menu");
    const before = await browser.evaluate(SHIP_X);
    await browser.gamepadButton(PAD_X, 800);
    const after = await browser.evaluate(SHIP_X);
    check(after > before + 10, `the gamepad's X did not move the ship right (from x ${before} to ${after})`);
  },

  async reload(browser, serve) {
    const server = await serve(site);
    await storeFirst(browser, server, scoreText(0));
    const url = server.url + 'index.html?scene=stage1&seed=3&nosound';
    await browser.load(url);
    await running(browser);
    await listenToHighScores(browser);
    const first = await fireUntilAbove(browser, 0);
    await browser.evaluate(HIDE);
    check((await stored(browser)) === scoreText(first), `hidden in mid-stage at ${first}, stored ${JSON.stringify(await stored(browser))}`);
    await browser.evaluate(SHOW);
    await toFront(browser);
    const second = await fireUntilAbove(browser, first);
    await browser.load(url);
    check((await stored(browser)) === scoreText(second), `reloaded at ${second}, stored ${JSON.stringify(await stored(browser))}`);
    await running(browser);
    const file = await browser.evaluate("new TextDecoder().decode(Module.FS.readFile('/hiscore.txt'))");
    check(file === scoreText(second), 'the reloaded game did not get the high score: ' + JSON.stringify(file));
  },

  async tabs(browser, serve) {
    const server = await serve(site);
    await storeFirst(browser, server, scoreText(0));
    const url = server.url + 'index.html?scene=stage1&seed=3&nosound';
    const low = await browser.newPage();
    for (const page of [low, browser]) {
      await page.load(url);
      await running(page);
      await listenToHighScores(page);
    }
    await toFront(low);
    const lowScore = await fireUntilAbove(low, 0);
    await toFront(browser);
    const highScore = await fireUntilAbove(browser, lowScore);
    await leaveStage(browser);
    check(await browser.waitFor(`localStorage.getItem('${STORED}') === ${JSON.stringify(scoreText(highScore))}`, 5000),
      `the game's save of ${highScore} was not stored`);
    await toFront(low);
    await leaveStage(low);
    const lowFile = await low.evaluate("new TextDecoder().decode(Module.FS.readFile('/hiscore.txt'))");
    check(lowFile === scoreText(lowScore), `the other game did not save its ${lowScore}: ` + JSON.stringify(lowFile));
    await sleep(500);  // another tab's storage arrives a moment later
    check((await stored(browser)) === scoreText(highScore), `${highScore} was lowered to ${JSON.stringify(await stored(browser))}`);
  },

  async questions(browser, serve) {
    const server = await serve(site);
    // Stage one untouched with seed 11: the ships are lost in 12 s, and the game asks whether to go on.
    await browser.load(server.url + 'index.html?scene=stage1&seed=11&touch&nosound');
    await running(browser);
    // What the player sees, every 50 ms: the Yes and No buttons, and which question's frame.
    await browser.evaluate(`window.seen = []; setInterval(() => window.seen.push(${ANSWERS} + ' ' + ${BOX}), 50)`);
    check(await browser.waitFor(`${BOX} === 'continue'`, 30000), 'the game did not ask whether to go on');
    await sleep(300);
    await browser.touch('y');
    check(await browser.waitFor(`${BOX} === '' && document.body.dataset.activity === 'play'`, 5000), 'Yes did not go on');
    await askToLeave(browser, () => browser.touch('esc'));
    await sleep(300);
    await browser.touch('n');
    check(await browser.waitFor(`${BOX} === ''`, 5000), 'No did not stay');
    await sleep(500);
    check((await browser.evaluate("document.getElementById('status').dataset.state")) === 'running', 'No left the stage');
    await askToLeave(browser, () => browser.touch('esc'));
    await sleep(300);
    await browser.touch('y');
    check(await browser.waitForState('done', 15000), 'Yes did not leave');
    const seen = await browser.evaluate('window.seen');
    // The exit question is asked from the moment Esc goes down, and its box
    // is drawn once Esc is up again: Yes and No may show a moment before it.
    const waitingForEsc = (s, i) => s === 'true,true ' && seen.slice(i).find((t) => t !== s) === 'true,true exit';
    const wrong = seen.filter((s, i) => !['false,false ', 'true,true continue', 'true,true exit'].includes(s) &&
      !waitingForEsc(s, i));
    check(wrong.length === 0, 'Yes and No against the question: ' + [...new Set(wrong)].join(' | '));
    for (const state of ['false,false ', 'true,true continue', 'true,true exit']) {
      check(seen.includes(state), `never seen: "${state}"`);
    }
  },

  async title(browser, serve) {
    const server = await serve(site);
    await browser.load(server.url + 'index.html?nosound');
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'the game did not report its title');
    await sleep(500);
    const before = await browser.evaluate('[Module.quarvelPage.stats.shows, Module.quarvelPage.stats.draws]');
    check(before[1] > 0, 'the title was never drawn');
    await sleep(2000);
    const after = await browser.evaluate('[Module.quarvelPage.stats.shows, Module.quarvelPage.stats.draws]');
    check(after[0] === before[0] && after[1] === before[1], `the still title: ${after[0] - before[0]} pictures handed over, ` +
      `${after[1] - before[1]} drawn in 2 s`);
    check((await browser.evaluate('document.body.dataset.activity')) === 'title', 'the title did not wait');
    const [x, y] = await browser.centre('#screen');
    await browser.tap(x, y);
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 5000), 'a tap on the title did not start a game');
  },
};

runGroups('browser game', groups, only);
