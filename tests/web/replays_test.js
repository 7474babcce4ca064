// The page's replays, in real time in Chromium headless:
//   kept    a game played on the page and left is kept: its replay is in
//           local storage and verifies natively with its claims held, the
//           Replays panel lists it with its score, and
//           Share makes the link that plays it; after a reload it is
//           still listed, and the game's menu plays it on the canvas and
//           comes back to its list at its end
//   import  a replay file opened on the page plays from its #replay= link,
//           the one quarvel --replay-link makes of the same file
//   node tests/web/replays_test.js SITE_FOLDER NATIVE_BUILD_FOLDER REPLAY [GROUP]
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { sleep, check, running, runGroups, canvasPrint } = require('./devtools.js');

const [site, native, replayFile, only] = process.argv.slice(2);
const STORED_REPLAYS = 'quarvel.replays';
const keptNames = (page) => page.evaluate(`Object.keys(JSON.parse(localStorage.getItem('${STORED_REPLAYS}') || '{}'))`);

const groups = {
  async kept(browser, serve) {
    const server = await serve(site);
    await browser.load(server.url + 'index.html?nosound');
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'no title');
    await browser.key('Space', ' ');
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 5000), 'Space did not start a game');
    await sleep(1500);
    // Esc until the game asks whether to leave, then y: back to the title.
    for (let tries = 0; tries < 12; ++tries) {
      await browser.key('Escape', 'Escape');
      if (await browser.waitFor("document.body.dataset.activity === 'question'", 700)) break;
    }
    await browser.key('KeyY', 'y');
    check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'the game did not come back to the title');
    check(await browser.waitFor(`(localStorage.getItem('${STORED_REPLAYS}') || '{}') !== '{}'`, 3000),
      'no replay in local storage after the game');
    const names = await keptNames(browser);
    check(names.length === 1 && /\.replay$/.test(names[0]), `kept: ${names}`);
    // The browser's replay verifies natively: the same game, claims held.
    const kept = await browser.evaluate(`JSON.parse(localStorage.getItem('${STORED_REPLAYS}'))[${JSON.stringify(names[0])}]`);
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-replay-')), names[0]);
    fs.writeFileSync(file, kept);
    const verdict = JSON.parse(execFileSync(`${native}/quarvel`, ['--verify', file], { encoding: 'utf8' }));
    fs.rmSync(path.dirname(file), { recursive: true, force: true });
    check(verdict.claims === 'held' && verdict.frames > 0, `the browser's replay natively: ${JSON.stringify(verdict)}`);
    check(!(await browser.evaluate("document.querySelector('.quarvel-submit') !== null")),
      'a site without a table offered to submit');

    await browser.click('#replays');
    check(await browser.waitFor("!document.getElementById('replays-panel').hidden", 2000), 'the Replays panel did not open');
    const row = await browser.evaluate("document.querySelector('#replays-list li span').textContent");
    check(/\d+ points/.test(row), `the listed game: ${row}`);
    await browser.click('#replays-list li button:nth-of-type(2)');  // Share
    const link = await browser.evaluate("document.getElementById('replay-link').value");
    check(link.startsWith(server.url + 'index.html#replay='), `the shared link: ${link.slice(0, 80)}`);

    await browser.load(server.url + 'index.html?nosound');
    await running(browser);
    await browser.click('#replays');
    check(await browser.waitFor("document.querySelectorAll('#replays-list li').length === 1", 3000),
      'the kept replay is not listed after a reload');

    // The game's menu plays it too, on the page's canvas, and Esc comes back
    // to the list as it was.
    await browser.click('#replays');  // the panel closed again
    check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'no title after the reload');
    await browser.key('KeyP', 'p');
    check(await browser.waitFor("document.body.dataset.menu === 'open'", 2000), 'P did not open the menu');
    for (let i = 0; i < 5; ++i) await browser.key('ArrowDown', 'ArrowDown');
    await browser.key('Enter', 'Enter');  // REPLAYS
    await sleep(300);
    const list = await browser.evaluate(canvasPrint);
    await browser.key('Enter', 'Enter');  // the kept game
    await sleep(1500);
    const playing = await browser.evaluate(canvasPrint);
    await sleep(700);
    check(playing !== list && (await browser.evaluate(canvasPrint)) !== playing, 'the replay chosen in the menu does not play');
    // The game was left after a second and a half: at its return to the title
    // the menu's list is back.
    check(await browser.waitFor(`${canvasPrint} === ${JSON.stringify(list)}`, 15000),
      'the replay did not come back to the menu\'s list at its end');
  },

  async import(browser, serve) {
    const server = await serve(site);
    await browser.load(server.url + 'index.html?nosound');
    await running(browser);
    const expected = execFileSync(`${native}/quarvel`, ['--replay-link', replayFile], { encoding: 'utf8' }).trim();
    await browser.click('#replays');
    const { root } = await browser.send('DOM.getDocument', {});
    const { nodeId } = await browser.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#replay-import' });
    await browser.send('DOM.setFileInputFiles', { nodeId, files: [replayFile] });
    check(await browser.waitFor(`location.hash === ${JSON.stringify(expected)}`, 5000),
      'the opened file did not turn into its #replay= link');
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 10000), 'the replay does not play');
  },
};

runGroups('browser replays', groups, only);
