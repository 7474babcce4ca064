// The browser timedemo in real time: --virtual-time-budget would make the
// page's clock virtual, so this drives Chromium headless through its
// DevTools pipe instead (node's own modules only) and prints what the page
// printed once the game has ended.
//   node tests/web/timedemo.js http://127.0.0.1:8000/
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const site = process.argv[2] || 'http://127.0.0.1:8000/';
const url = new URL('index.html?timedemo', site.endsWith('/') ? site : site + '/').href;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-chromium-'));
const chromium = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
  '--no-first-run', '--remote-debugging-pipe', '--user-data-dir=' + profile, url],
{ stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
const toBrowser = chromium.stdio[3];
const fromBrowser = chromium.stdio[4];

let nextId = 1;
const waiting = new Map();
let received = Buffer.alloc(0);
fromBrowser.on('data', (chunk) => {
  received = Buffer.concat([received, chunk]);
  let end;
  while ((end = received.indexOf(0)) >= 0) {
    const message = JSON.parse(received.subarray(0, end).toString('utf8'));
    received = received.subarray(end + 1);
    const reply = waiting.get(message.id);
    if (reply) {
      waiting.delete(message.id);
      reply(message);
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  return new Promise((resolve) => waiting.set(id, resolve));
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function finish(code) {
  chromium.once('exit', () => {
    try {
      fs.rmSync(profile, { recursive: true, force: true });
    } catch (error) {
      // a file the browser still held: left in the temporary folder
    }
    process.exit(code);
  });
  chromium.kill();
}

(async () => {
  const deadline = Date.now() + 300000;
  let sessionId = null;
  while (!sessionId && Date.now() < deadline) {
    const targets = (await send('Target.getTargets')).result.targetInfos.filter((t) => t.type === 'page');
    if (targets.length > 0) {
      sessionId = (await send('Target.attachToTarget', { targetId: targets[0].targetId, flatten: true })).result.sessionId;
    } else {
      await sleep(100);
    }
  }
  const expression = "(() => { const s = document.getElementById('status');" +
    " return s && s.dataset.state === 'done' ? document.getElementById('console').textContent : null; })()";
  while (Date.now() < deadline) {
    const answer = await send('Runtime.evaluate', { expression, returnByValue: true }, sessionId);
    const text = answer.result && answer.result.result ? answer.result.result.value : null;
    if (typeof text === 'string') {
      console.log(text);
      finish(/^timedemo: /m.test(text) ? 0 : 1);
      return;
    }
    await sleep(250);
  }
  console.error('timedemo: the page did not finish in time');
  finish(1);
})();
