// Chromium headless driven through its DevTools pipe, with node's own
// modules only: load pages (several tabs of one profile), run script in
// them, type, tap, click, press gamepad buttons (a stand-in gamepad the page
// polls), take screenshots; a small static server to stop and start; and
// what the page tests share: checks of the page and a runner of groups,
// each in a browser of its own.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The stand-in gamepad, put into every page before its own scripts run.
const FAKE_GAMEPAD = `
  window.testGamepad = { index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
  navigator.getGamepads = () => [window.testGamepad];`;

async function openBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quarvel-chromium-'));
  const chromium = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--remote-debugging-pipe', '--window-size=960,720', '--user-data-dir=' + profile, 'about:blank'],
  { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const toBrowser = chromium.stdio[3];
  let nextId = 1;
  const waiting = new Map();
  let received = Buffer.alloc(0);
  chromium.stdio[4].on('data', (chunk) => {
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
  const send = (method, params = {}, sessionId = undefined) => {
    const id = nextId++;
    toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve) => waiting.set(id, resolve)).then((message) => {
      if (message.error) throw new Error(method + ': ' + message.error.message);
      return message.result;
    });
  };

  // One tab: everything sent to it goes through its own session.
  async function attach(targetId) {
    const sessionId = (await send('Target.attachToTarget', { targetId, flatten: true })).sessionId;
    const pageSend = (method, params) => send(method, params, sessionId);
    await pageSend('Page.enable');
    await pageSend('Page.addScriptToEvaluateOnNewDocument', { source: FAKE_GAMEPAD });
    const page = {
      send: pageSend,
      targetId,
      async load(url) {
        await pageSend('Page.navigate', { url });
      },
      async evaluate(expression) {
        const answer = await pageSend('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
        if (answer.exceptionDetails) {
          const detail = answer.exceptionDetails.exception ? answer.exceptionDetails.exception.description : '';
          throw new Error(expression.slice(0, 200) + ': ' + answer.exceptionDetails.text + ' ' + (detail || ''));
        }
        return answer.result.value;
      },
      // Waits until the expression is true in the page; false after the time.
      async waitFor(expression, ms) {
        const end = Date.now() + ms;
        while (Date.now() < end) {
          try {
            if (await page.evaluate(expression)) return true;
          } catch (error) {
            // the page is between two documents
          }
          await sleep(100);
        }
        return false;
      },
      // Waits until the page's status line is in this state; false after the time.
      waitForState(state, ms) {
        return page.waitFor(`(document.getElementById('status') || { dataset: {} }).dataset.state === '${state}'`, ms);
      },
      text(id) {
        return page.evaluate(`document.getElementById(${JSON.stringify(id)}).textContent`);
      },
      // A key pressed and let go: code is where it is, key what the layout types.
      async key(code, key, holdMs = 100, modifiers = 0) {
        const common = { code, key, modifiers, windowsVirtualKeyCode: key.length === 1 ? key.toUpperCase().charCodeAt(0) : 0 };
        await pageSend('Input.dispatchKeyEvent', { type: 'keyDown', text: key.length === 1 && !modifiers ? key : undefined, ...common });
        await sleep(holdMs);
        await pageSend('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
      },
      async gamepadButton(index, holdMs = 100) {
        await page.evaluate(`window.testGamepad.buttons[${index}].pressed = true`);
        await sleep(holdMs);
        await page.evaluate(`window.testGamepad.buttons[${index}].pressed = false`);
      },
      // A finger at a point of the page.
      async tap(x, y, holdMs = 100) {
        await pageSend('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 1 }] });
        await sleep(holdMs);
        await pageSend('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
      },
      // The middle of the element the selector finds, as [x, y].
      centre(selector) {
        return page.evaluate(`(() => { const r = document.querySelector(${JSON.stringify(selector)})` +
          '.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()');
      },
      // A mouse click in the middle of the element the selector finds.
      async click(selector) {
        const [x, y] = await page.centre(selector);
        const at = { x, y, button: 'left', clickCount: 1 };
        await pageSend('Input.dispatchMouseEvent', { type: 'mousePressed', ...at });
        await pageSend('Input.dispatchMouseEvent', { type: 'mouseReleased', ...at });
      },
      // A finger on the on-screen button for that key.
      async touch(keyName, holdMs = 100) {
        const [x, y] = await page.centre(`.pad button[data-key="${keyName}"]`);
        await page.tap(x, y, holdMs);
      },
      async screenshot(file) {
        fs.writeFileSync(file, Buffer.from((await pageSend('Page.captureScreenshot')).data, 'base64'));
      },
      close() {
        return send('Target.closeTarget', { targetId });
      },
    };
    return page;
  }

  let first = null;
  for (let tries = 0; !first && tries < 100; ++tries) {
    first = (await send('Target.getTargets')).targetInfos.find((target) => target.type === 'page');
    if (!first) await sleep(100);
  }
  if (!first) throw new Error('chromium opened no page');
  const browser = await attach(first.targetId);
  browser.newPage = async () => attach((await send('Target.createTarget', { url: 'about:blank' })).targetId);
  browser.close = () => new Promise((resolve) => {
    const done = () => {
      try {
        fs.rmSync(profile, { recursive: true, force: true });
      } catch (error) {
        // a file the browser still held: left in the temporary folder
      }
      resolve();
    };
    if (chromium.exitCode !== null || chromium.signalCode !== null) {
      done();
      return;
    }
    const hard = setTimeout(() => chromium.kill('SIGKILL'), 5000);
    chromium.once('exit', () => {
      clearTimeout(hard);
      done();
    });
    chromium.kill();
  });
  return browser;
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.txt': 'text/plain' };

// A static server of a folder on 127.0.0.1 that can be stopped for good
// (open connections too) and started again on the same port. files(name)
// may give other bytes for a file, or null for a missing one.
async function serveFolder(folder, files = () => undefined) {
  let override = files;
  const missing = [];  // every name answered with 404
  const sockets = new Set();
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    let body = name.includes('..') ? null : override(name);
    if (body === undefined) {
      try {
        body = fs.readFileSync(path.join(folder, name));
      } catch (error) {
        body = null;
      }
    }
    if (body === null) {
      missing.push(name);
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream' });
    response.end(body);
  });
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  const listen = (port) => new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  await listen(0);
  const port = server.address().port;
  return {
    url: `http://127.0.0.1:${port}/`,
    missing,
    stop() {
      for (const socket of sockets) socket.destroy();
      return new Promise((resolve) => server.close(resolve));
    },
    // Serves again on the same port (the same origin), other files if given.
    start(other) {
      if (other) override = other;
      return listen(port);
    },
  };
}

// ---- what the page tests share ---------------------------------------------------

function check(condition, what) {
  if (!condition) throw new Error(what);
}
async function running(page) {
  check(await page.waitForState('running', 30000), 'the game did not start: ' +
    (await page.evaluate("(document.getElementById('status') || {}).textContent")));
}
const STORED = 'quarvel.hiscore.txt';  // the high score's local storage key
const scoreText = (value) => `hi-score\r\n ${value}\r\n`;
const HIDE = "Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });" +
  " document.dispatchEvent(new Event('visibilitychange'))";
const SHOW = "Object.defineProperty(document, 'visibilityState', { value: 'visible', configurable: true })";
const PAUSED = "document.getElementById('pause').getAttribute('aria-pressed') === 'true'";
// A fingerprint of the canvas, to tell a held picture from a moving one.
const canvasPrint = "(() => { const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;" +
  ' let h = 0; for (let i = 0; i < d.length; i += 4) h = (h * 31 + d[i] + d[i + 1] * 7 + d[i + 2] * 13) | 0; return h; })()';
async function moving(page) {
  const before = await page.evaluate(canvasPrint);
  await sleep(700);
  return before !== (await page.evaluate(canvasPrint));
}

// Runs each group(browser, serve) in a browser of its own, given two minutes
// at most; serve is serveFolder, its servers stopped after the group
// whatever happened. Exits the process: 0 when every group passed.
async function runGroups(label, groups, only) {
  let failures = 0;
  for (const [name, run] of Object.entries(groups)) {
    if (only && only !== name) continue;
    const started = Date.now();
    const browser = await openBrowser();
    const servers = [];
    const serve = async (...args) => {
      const server = await serveFolder(...args);
      servers.push(server);
      return server;
    };
    let timer;
    try {
      await Promise.race([run(browser, serve), new Promise((resolve, reject) => {
        timer = setTimeout(() => reject(new Error('no end after 120 s')), 120000);
      })]);
      console.log(`${label} ${name}: passed (${((Date.now() - started) / 1000).toFixed(0)} s)`);
    } catch (error) {
      console.error(`${label} ${name}: FAILED: ${error.message}`);
      failures += 1;
    } finally {
      clearTimeout(timer);
      await Promise.all(servers.map((server) => server.stop()));
      await browser.close();
    }
  }
  process.exit(failures === 0 ? 0 : 1);
}

module.exports = { openBrowser, serveFolder, sleep, check, running, STORED, scoreText, HIDE, SHOW, PAUSED, canvasPrint,
  moving, runGroups };
