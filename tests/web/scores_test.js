// The high-score table's page and the game page's submitting client, in
// Chromium headless against the real score server (a stand-in verifier, a
// SQLite table in a scratch folder), each group on a server of its own:
//   table    100 runs a page with Previous and Next; names shown as text,
//            HTML and all; the player's own entries marked
//   upload   a replay file submitted from the page shows its rank, a forged
//            one the reason, and the table shows the new entry
//   watch    Watch opens the game page with the run's #replay= link
//   offer    after a game the game page asks the name once, submits and
//            shows the rank; the next offer has the name already
//   played   a game played on the game page and left, with the real game
//            as the verifier: the page offers its replay, and the table
//            takes it at the score the game showed
//   node tests/web/scores_test.js SITE_FOLDER QUARVEL_SCORES STAND_IN_VERIFIER [GROUP]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { check, running, runGroups } = require('./devtools.js');

const [site, program, standIn, only] = process.argv.slice(2);

// The score server on a free port; resolves to {url, post, stop}.
function startServer(verifier = standIn) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-scores-page-'));
  const server = spawn(program, ['--listen', '127.0.0.1:0', '--database', `sqlite:${folder}/scores.db`, '--site', site,
    '--verifier', verifier, '--rate', '0'], { stdio: ['ignore', 'ignore', 'pipe'] });
  // A group given up (its time ran out) ends the test at once: the server with it.
  const orphan = () => server.kill('SIGKILL');
  process.on('exit', orphan);
  server.on('exit', () => process.removeListener('exit', orphan));
  return new Promise((resolve, reject) => {
    let said = '';
    server.stderr.on('data', (chunk) => {
      said += chunk;
      const found = /serving http:\/\/127\.0\.0\.1:(\d+)\//.exec(said);
      if (!found || server.port) return;
      server.port = Number(found[1]);
      const url = `http://127.0.0.1:${server.port}/`;
      const post = (name, replay) => new Promise((done, failed) => {
        const body = JSON.stringify({ name, replay });
        const request = http.request(url + 'api/runs', { method: 'POST', headers: { 'Content-Type': 'application/json' } },
          (response) => {
            let text = '';
            response.on('data', (part) => { text += part; });
            response.on('end', () => done({ status: response.statusCode, run: JSON.parse(text) }));
          });
        request.on('error', failed);
        request.end(body);
      });
      resolve({
        url, post,
        stop: () => new Promise((done) => {
          server.on('exit', () => {
            fs.rmSync(folder, { recursive: true, force: true });
            done();
          });
          server.kill('SIGTERM');
        }),
      });
    });
    server.on('exit', (code) => reject(new Error('the score server ended with ' + code + ': ' + said)));
  });
}

const replay = (score, tag, extra = '') => `stand-in score=${score} ${extra}\n# ${tag}\n`;
const rows = (page) => page.evaluate(`Array.from(document.querySelectorAll('#rows tr')).map((row) => ({
  id: Number(row.dataset.id), mine: row.classList.contains('mine'),
  cells: Array.from(row.cells).map((cell) => cell.textContent), markup: row.cells[1].children.length }))`);

// Each group gets a score server; the devtools runner's serve() is unused.
function withServer(run, verifier = standIn) {
  return async (browser) => {
    const server = await startServer(verifier);
    try {
      await run(browser, server);
    } finally {
      await server.stop();
    }
  };
}

const groups = {
  table: withServer(async (browser, server) => {
    const html = '<I>"&\'</I>';
    // 105 runs, scores 1 to 105, four at a time; one of them sent from the browser.
    const scores = Array.from({ length: 105 }, (_, i) => i + 1);
    for (let i = 0; i < scores.length; i += 4) {
      await Promise.all(scores.slice(i, i + 4).filter((s) => s !== 50).map((s) =>
        server.post(s === 104 ? html : 'P' + s, replay(s, 'table ' + s))));
    }
    await browser.load(server.url + 'index.html?nosound');
    await browser.waitFor('window.QuarvelScores !== undefined', 10000);
    const mine = await browser.evaluate(`QuarvelScores.submit('me', ${JSON.stringify(replay(50, 'mine'))})`);
    check(mine.status === 201 && mine.run.name === 'ME', 'the client submits: ' + JSON.stringify(mine));

    await browser.load(server.url + 'scores.html');
    check(await browser.waitFor("document.querySelectorAll('#rows tr').length === 100", 10000), 'no first page');
    let shown = await rows(browser);
    check(shown[0].cells[0] === '1' && shown[0].cells[2] === '105' && shown[99].cells[0] === '100',
      'first page: ' + JSON.stringify([shown[0], shown[99]]));
    const second = shown[1];
    check(second.cells[1] === html && second.markup === 0, 'the HTML name is text: ' + JSON.stringify(second));
    check(await browser.evaluate("document.querySelectorAll('#rows i').length === 0"), 'the name became markup');
    const marked = shown.filter((row) => row.mine);
    check(marked.length === 1 && marked[0].id === mine.run.id && marked[0].cells[1] === 'ME',
      'own entries: ' + JSON.stringify(marked));
    check(await browser.evaluate("document.getElementById('previous').disabled"), 'Previous on the first page');
    await browser.evaluate("document.getElementById('next').scrollIntoView()");
    await browser.click('#next');
    check(await browser.waitFor("document.querySelectorAll('#rows tr').length === 5", 10000), 'no second page');
    shown = await rows(browser);
    check(shown.map((row) => row.cells[0]).join() === '101,102,103,104,105', 'second page: ' + JSON.stringify(shown));
    check(await browser.evaluate("document.getElementById('next').disabled"), 'Next after the last page');
  }),

  upload: withServer(async (browser, server) => {
    await server.post('TOP', replay(900, 'top'));
    await browser.load(server.url + 'scores.html');
    check(await browser.waitFor("document.querySelectorAll('#rows tr').length === 1", 10000), 'no table');
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-upload-'));
    try {
      const upload = async (file, text) => {
        fs.writeFileSync(path.join(folder, file), text);
        const { root } = await browser.send('DOM.getDocument');
        const { nodeId } = await browser.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#upload-file' });
        await browser.send('DOM.setFileInputFiles', { nodeId, files: [path.join(folder, file)] });
        await browser.evaluate("document.getElementById('upload-result').textContent = ''");
        await browser.click('#upload-send');
        check(await browser.waitFor("/rank|Not taken/.test(document.getElementById('upload-result').textContent)",
          15000), 'no answer to the upload');
        return browser.text('upload-result');
      };
      await browser.evaluate("document.getElementById('upload-name').value = 'desk'");
      const taken = await upload('good.txt', replay(500, 'desktop'));
      check(/^On the table: rank 2, 500 points as DESK\.$/.test(taken), 'upload: ' + taken);
      check(await browser.waitFor("document.querySelectorAll('#rows tr.mine').length === 1", 10000),
        'the upload is not marked as the player\'s');
      const forged = await upload('forged.txt', replay(500, 'forged', 'claims=broken'));
      check(/^Not taken: a claim of the replay does not hold/.test(forged), 'forged: ' + forged);
      check((await rows(browser)).length === 2, 'the forged replay reached the table');
    } finally {
      fs.rmSync(folder, { recursive: true, force: true });
    }
  }),

  watch: withServer(async (browser, server) => {
    const { run } = await server.post('WATCH', replay(300, 'watch'));
    await browser.load(server.url + 'scores.html');
    check(await browser.waitFor("document.querySelector('#rows button.watch') !== null", 10000), 'no Watch');
    await browser.click('#rows button.watch');
    check(await browser.waitFor("location.pathname.endsWith('/index.html')", 10000), 'Watch opened no game page');
    const hash = await browser.evaluate('location.hash');
    check(run.link.startsWith('#replay=') && hash === run.link, `Watch opened ${hash}, not ${run.link}`);
  }),

  offer: withServer(async (browser, server) => {
    await browser.load(server.url + 'index.html?nosound');
    await browser.waitFor('window.QuarvelScores !== undefined', 10000);
    await browser.evaluate(`void (window.offered = QuarvelScores.offer({ score: 700, replay: ${JSON.stringify(replay(700, 'o1'))} }))`);
    check(await browser.waitFor("document.querySelector('.quarvel-submit') !== null", 5000), 'no offer shown');
    check(await browser.evaluate("document.querySelector('.quarvel-submit input').value === ''"), 'a name before any');
    await browser.evaluate("document.querySelector('.quarvel-submit input').value = 'ace'");
    await browser.click('.quarvel-submit button[type="submit"]');
    check(await browser.waitFor("/rank/.test(document.querySelector('.quarvel-submit-result').textContent)", 15000),
      'no rank shown');
    const said = await browser.evaluate("document.querySelector('.quarvel-submit-result').textContent");
    check(said === 'On the table: rank 1, 700 points as ACE.', 'offer: ' + said);
    await browser.click('.quarvel-submit button[type="button"]');
    check(await browser.evaluate('window.offered.then((result) => result.status)') === 201, 'the offer\'s result');
    // The next game: the name is there, and a refused replay says why.
    await browser.evaluate(`void (window.offered = QuarvelScores.offer({ score: 5, replay: ${JSON.stringify(replay(5, 'o2', 'version=7'))} }))`);
    check(await browser.waitFor("document.querySelector('.quarvel-submit input').value === 'ACE'", 5000),
      'the name was not kept');
    await browser.click('.quarvel-submit button[type="submit"]');
    check(await browser.waitFor("/Not taken/.test(document.querySelector('.quarvel-submit-result').textContent)",
      15000), 'no reason shown');
    const reason = await browser.evaluate("document.querySelector('.quarvel-submit-result').textContent");
    check(/rules version 7/.test(reason), 'refusal: ' + reason);
  }),
  played: withServer(async (browser, server) => {
    await browser.load(server.url + 'index.html?nosound');
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'no title');
    await browser.key('Space', ' ');
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 5000), 'Space did not start a game');
    // Shots across the formation until the panel shows points.
    for (let shot = 0; shot < 60; ++shot) {
      await browser.key(shot % 20 < 10 ? 'ArrowLeft' : 'ArrowRight', shot % 20 < 10 ? 'ArrowLeft' : 'ArrowRight', 120);
      await browser.key('Space', ' ', 60);
    }
    for (let tries = 0; tries < 12; ++tries) {
      await browser.key('Escape', 'Escape');
      if (await browser.waitFor("document.body.dataset.activity === 'question'", 700)) break;
    }
    await browser.key('KeyY', 'y');
    check(await browser.waitFor("document.querySelector('.quarvel-submit') !== null", 15000),
      'the game page offered no game to the table');
    const offered = await browser.evaluate("document.querySelector('.quarvel-submit p').textContent");
    const points = Number((/(\d+) points/.exec(offered) || [])[1]);
    check(points > 0, 'offered: ' + offered);
    await browser.evaluate("document.querySelector('.quarvel-submit input').value = 'ace'");
    await browser.click('.quarvel-submit button[type="submit"]');
    check(await browser.waitFor("/rank|Not taken/.test(document.querySelector('.quarvel-submit-result').textContent)",
      30000), 'no answer shown');
    const said = await browser.evaluate("document.querySelector('.quarvel-submit-result').textContent");
    check(said === `On the table: rank 1, ${points} points as ACE.`, 'played: ' + said);
  }, path.join(path.dirname(program), 'quarvel')),
};

runGroups('scores page', groups, only);
