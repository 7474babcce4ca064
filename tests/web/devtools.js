// Chromium headless driven through its DevTools pipe, with node's own
// modules only: load a page, run script in it, type, tap, press gamepad
// buttons (a stand-in gamepad the page polls), take screenshots.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
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
    '--no-first-run', '--remote-debugging-pipe', '--window-size=960,720', '--user-data-dir=' + profile, 'about:blank'],
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
  let sessionId;
  const send = (method, params = {}) => {
    const id = nextId++;
    toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve) => waiting.set(id, resolve)).then((message) => {
      if (message.error) throw new Error(method + ': ' + message.error.message);
      return message.result;
    });
  };
  let page = null;
  for (let tries = 0; !page && tries < 100; ++tries) {
    page = (await send('Target.getTargets')).targetInfos.find((target) => target.type === 'page');
    if (!page) await sleep(100);
  }
  if (!page) throw new Error('chromium opened no page');
  sessionId = (await send('Target.attachToTarget', { targetId: page.targetId, flatten: true })).sessionId;
  await send('Page.enable');
  await send('Page.addScriptToEvaluateOnNewDocument', { source: FAKE_GAMEPAD });

  const browser = {
    send,
    async load(url) {
      await send('Page.navigate', { url });
    },
    async evaluate(expression) {
      const answer = await send('Runtime.evaluate', { expression, returnByValue: true });
      if (answer.exceptionDetails) throw new Error(expression + ': ' + answer.exceptionDetails.text);
      return answer.result.value;
    },
    // Waits until the page's status line is in this state; false after the time.
    async waitForState(state, ms) {
      const end = Date.now() + ms;
      while (Date.now() < end) {
        const now = await browser.evaluate("(document.getElementById('status') || { dataset: {} }).dataset.state");
        if (now === state) return true;
        await sleep(100);
      }
      return false;
    },
    text(id) {
      return browser.evaluate(`document.getElementById(${JSON.stringify(id)}).textContent`);
    },
    // A key pressed and let go: code is where it is, key what the layout types.
    async key(code, key, holdMs = 100) {
      const common = { code, key, windowsVirtualKeyCode: key.length === 1 ? key.toUpperCase().charCodeAt(0) : 0 };
      await send('Input.dispatchKeyEvent', { type: 'keyDown', text: key.length === 1 ? key : undefined, ...common });
      await sleep(holdMs);
      await send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
    },
    async gamepadButton(index, holdMs = 100) {
      await browser.evaluate(`window.testGamepad.buttons[${index}].pressed = true`);
      await sleep(holdMs);
      await browser.evaluate(`window.testGamepad.buttons[${index}].pressed = false`);
    },
    // A finger on the on-screen button for that key.
    async touch(keyName, holdMs = 100) {
      const box = await browser.evaluate(`(() => { const r = document.querySelector('#touch button[data-key="${keyName}"]')` +
        '.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()');
      const point = { x: box[0], y: box[1], id: 1 };
      await send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
      await sleep(holdMs);
      await send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    },
    async screenshot(file) {
      fs.writeFileSync(file, Buffer.from((await send('Page.captureScreenshot')).data, 'base64'));
    },
    close() {
      return new Promise((resolve) => {
        chromium.once('exit', () => {
          try {
            fs.rmSync(profile, { recursive: true, force: true });
          } catch (error) {
            // a file the browser still held: left in the temporary folder
          }
          resolve();
        });
        chromium.kill();
      });
    },
  };
  return browser;
}

module.exports = { openBrowser, sleep };
