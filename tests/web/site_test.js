// The page around the game in Chromium headless, each group served by its
// own server (so its own origin, storage and service worker):
//   loading   a missing or damaged file, no WebAssembly, file:// each say so
//   offline   a visit asks for no missing file (favicon, icons) and leaves an
//             installable app; after it the game starts with the server
//             stopped and the HTTP cache off, and a new build served replaces
//             the copy
//   storage   two tabs never lower the stored high score; garbage is repaired
//             at the next save; refused storage is said once and play goes on
//   layout    phone portrait and landscape, desktop: controls of 44 px or
//             more beside the whole picture; Yes/No at a question; a tap on
//             the title starts a game
//   controls  version, the browser's keys, pause, mute and volume, a still
//             picture drawn once
//   node tests/web/site_test.js SITE_FOLDER SOURCE_FOLDER [GROUP]
'use strict';
const fs = require('fs');
const path = require('path');
const devtools = require('./devtools.js');

const { openBrowser, sleep } = devtools;
const servers = [];  // stopped after each group, whatever happened
async function serveFolder(...args) {
  const server = await devtools.serveFolder(...args);
  servers.push(server);
  return server;
}

const [site, source, only] = process.argv.slice(2);
const files = JSON.parse(/<script id="site-files"[^>]*>(.*?)<\/script>/s.exec(
  fs.readFileSync(path.join(site, 'index.html'), 'utf8'))[1]);
const STORED = 'quarvel.hiscore.txt';
const scoreText = (value) => `hi-score\r\n ${value}\r\n`;

function check(condition, what) {
  if (!condition) throw new Error(what);
}
async function running(page) {
  check(await page.waitForState('running', 30000), 'the game did not start: ' +
    (await page.evaluate("(document.getElementById('status') || {}).textContent")));
}
// The game saving its high score, as it does: a new file renamed over the old.
const gameSaves = (value) => `(() => { const FS = Module.FS; FS.writeFile('/hiscore.txt.new', ${JSON.stringify(scoreText(value))});` +
  " FS.rename('/hiscore.txt.new', '/hiscore.txt'); })()";
const stored = (page) => page.evaluate(`localStorage.getItem('${STORED}')`);
const HIDE = "Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });" +
  " document.dispatchEvent(new Event('visibilitychange'))";
// What the game reports through activity(); simulated while it reports none.
async function activity(page, kind) {
  if (!(await page.evaluate('!!document.body.dataset.activity'))) await page.evaluate(`Module.quarvelPage.activity('${kind}')`);
  check(await page.waitFor(`document.body.dataset.activity === '${kind}'`, 20000), 'the game never reported ' + kind);
}
// A fingerprint of the canvas, to tell a held picture from a moving one.
const canvasPrint = "(() => { const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;" +
  ' let h = 0; for (let i = 0; i < d.length; i += 4) h = (h * 31 + d[i] + d[i + 1] * 7 + d[i + 2] * 13) | 0; return h; })()';
async function moving(page) {
  const before = await page.evaluate(canvasPrint);
  await sleep(700);
  return before !== (await page.evaluate(canvasPrint));
}

const groups = {
  async loading(browser) {
    const flipped = Buffer.from(fs.readFileSync(path.join(site, files.data.name)));
    flipped[flipped.length >> 1] ^= 0x40;
    const cases = [
      [files.wasm.name, null, /quarvel\.\w+\.wasm is missing from the site \(HTTP 404\)/],
      [files.data.name, null, /quarvel\.\w+\.data is missing from the site/],
      [files.game.name, null, /quarvel\.\w+\.js is missing from the site/],
      [/src="(quarvel_page\.\w+\.js)"/.exec(fs.readFileSync(path.join(site, 'index.html'), 'utf8'))[1], null, /quarvel_page\.\w+\.js is missing/],
      [files.wasm.name, fs.readFileSync(path.join(site, files.wasm.name)).subarray(0, 1000), /wasm arrived damaged \(1000 bytes/],
      [files.data.name, flipped, /data arrived damaged/],
    ];
    for (const [name, body, message] of cases) {
      const server = await serveFolder(site, (file) => (file === name ? body : undefined));
      await browser.load(server.url + 'index.html');
      check(await browser.waitForState('error', 20000), `no message for ${message}`);
      const text = await browser.text('status');
      check(message.test(text) && /copy every file|Reload/.test(text), 'a message that does not help: ' + text);
      await server.stop();
    }
    await browser.load('file://' + path.resolve(site, 'index.html'));
    check(await browser.waitForState('error', 10000), 'no message from file://');
    check(/python3 -m http\.server/.test(await browser.text('status')), 'file:// gives no way out');
    const old = await browser.newPage();
    await old.send('Page.addScriptToEvaluateOnNewDocument', { source: 'delete window.WebAssembly;' });
    const server = await serveFolder(site);
    await old.load(server.url + 'index.html');
    check(await old.waitForState('error', 10000) && /no WebAssembly/.test(await old.text('status')), 'no message without WebAssembly');
    await old.close();
    await server.stop();
  },

  async offline(browser) {
    const server = await serveFolder(site);
    const url = server.url + 'index.html';
    await browser.load(url);
    await running(browser);
    check(await browser.evaluate('Promise.race([navigator.serviceWorker.ready.then(() => true),' +
      ' new Promise((resolve) => setTimeout(() => resolve(false), 20000))])'), 'no service worker became active');
    check(server.missing.length === 0, 'the page asked for files the site does not have: ' + server.missing);
    const { installabilityErrors } = await browser.send('Page.getInstallabilityErrors');
    check(installabilityErrors.length === 0, 'not installable: ' + JSON.stringify(installabilityErrors));
    await server.stop();
    await browser.send('Network.enable');
    await browser.send('Network.setCacheDisabled', { cacheDisabled: true });
    try {
      await browser.load(url);
      await running(browser);
      check(await browser.evaluate('Module.quarvelPage.stats.draws > 0'), 'offline: nothing drawn');
      // A new build served (another worker and page): once seen online, it
      // is the copy that starts offline.
      const read = (name) => fs.readFileSync(path.join(site, name), 'utf8');
      await server.start((name) => (name === 'service-worker.js' ? read(name).replace("const BUILD = '", "const BUILD = 'next-")
        : name === 'index.html' ? read(name).replace('<title>', '<title>next ') : undefined));
      await browser.load(url);
      await running(browser);
      await browser.evaluate('navigator.serviceWorker.getRegistration().then((r) => r.update())');
      check(await browser.waitFor("caches.keys().then((k) => k.length === 1 && k[0].includes(' next-'))", 20000),
        'the new build did not replace the offline copy');
      await server.stop();
      await browser.load(url);
      await running(browser);
      check((await browser.evaluate('document.title')) === 'next Quarvel', 'offline, the old build started');
    } finally {
      await browser.send('Network.setCacheDisabled', { cacheDisabled: false });
    }
  },

  async storage(browser) {
    const server = await serveFolder(site);
    const url = server.url + 'index.html';
    await browser.load(url);
    await running(browser);
    // The first start creates the file with 1000, which is kept.
    check(await browser.waitFor(`localStorage.getItem('${STORED}') === ${JSON.stringify(scoreText(1000))}`, 5000), 'the first file was not kept');
    const other = await browser.newPage();
    await other.load(url);
    await running(other);
    await browser.evaluate(gameSaves(5000));
    check(await other.waitFor(`localStorage.getItem('${STORED}') === ${JSON.stringify(scoreText(5000))}`, 5000), 'a save was not kept');
    await other.evaluate(gameSaves(1200));
    check((await stored(other)) === scoreText(5000), 'a lower save in another tab replaced 5000: ' + (await stored(other)));
    // The other tab reaches 7000 and is closed: the score reached is kept.
    await other.evaluate('Module.quarvelPage.highScore(7000)');
    await other.close();
    check(await browser.waitFor(`localStorage.getItem('${STORED}') === ${JSON.stringify(scoreText(7000))}`, 5000), 'closing a tab lost its 7000');
    await browser.evaluate(gameSaves(6000));
    check((await stored(browser)) === scoreText(7000), 'a tab that knew 5000 lowered 7000 to ' + (await stored(browser)));

    // Garbage: the game gets it as its file and copes; the next save repairs it.
    for (const [garbage, value] of [['hi-score\r\n 2500 points!', 2500], ['\u0000\u00ff{"not": "a score"}', 0]]) {
      await browser.load(server.url + 'quarvel.webmanifest');  // no game running that would save over it
      await browser.waitFor('document.readyState === "complete"', 5000);
      await browser.evaluate(`localStorage.setItem('${STORED}', ${JSON.stringify(garbage)})`);
      await browser.load(url);
      await running(browser);
      const file = await browser.evaluate("new TextDecoder().decode(Module.FS.readFile('/hiscore.txt'))");
      check(file === garbage, 'the game did not get the stored text: ' + JSON.stringify(file));
      await sleep(500);
      check(await moving(browser) || (await browser.evaluate('Module.quarvelPage.stats.draws')) > 0, 'the game did not cope');
      await browser.evaluate(HIDE);
      check((await stored(browser)) === scoreText(value), `garbage not repaired to ${value}: ${JSON.stringify(await stored(browser))}`);
    }

    // Storage refused: said once, and the game plays on.
    const refusing = await browser.newPage();
    await refusing.send('Page.addScriptToEvaluateOnNewDocument', { source: "Object.defineProperty(window, 'localStorage'," +
      " { get() { throw new DOMException('refused', 'SecurityError'); } });" });
    await refusing.load(url + '?scene=stage1&seed=3');
    await running(refusing);
    check(/local storage is off/.test(await refusing.text('notice')), 'refused storage not said');
    await refusing.key('KeyM', 'm');
    await refusing.evaluate(HIDE);
    check(await refusing.evaluate("document.getElementById('status').dataset.state === 'running'"), 'refused storage stopped the game');
    await refusing.close();
    await server.stop();
  },

  async layout(browser) {
    const server = await serveFolder(site);
    const views = [
      { name: 'phone portrait', width: 390, height: 844, scale: 3, touch: true, orientation: 'portraitPrimary' },
      { name: 'phone landscape', width: 844, height: 390, scale: 3, touch: true, orientation: 'landscapePrimary' },
      { name: 'small phone landscape', width: 640, height: 360, scale: 2, touch: true, orientation: 'landscapePrimary' },
      { name: 'desktop', width: 960, height: 720, scale: 1, touch: false, orientation: 'landscapePrimary' },
    ];
    try {
      for (const view of views) {
        await browser.send('Emulation.setDeviceMetricsOverride', { width: view.width, height: view.height,
          deviceScaleFactor: view.scale, mobile: view.touch,
          screenOrientation: { type: view.orientation, angle: view.orientation.startsWith('portrait') ? 0 : 90 } });
        await browser.send('Emulation.setTouchEmulationEnabled', { enabled: view.touch, maxTouchPoints: 5 });
        await browser.load(server.url + 'index.html');
        await running(browser);
        await browser.evaluate("Module.quarvelPage.activity('question')");  // every control showing
        await sleep(300);
        const boxes = await browser.evaluate(`(() => {
          const box = (e) => { const r = e.getBoundingClientRect(); return { name: e.getAttribute('aria-label') || e.id,
            x: r.left, y: r.top, right: r.right, bottom: r.bottom, pad: e.closest('.pad') ? e.closest('.pad').id : '' }; };
          const shown = [...document.querySelectorAll('button, input')].filter((e) => e.checkVisibility({ visibilityProperty: true }));
          return { canvas: box(document.getElementById('screen')), controls: shown.map(box), width: innerWidth, height: innerHeight };
        })()`);
        const c = boxes.canvas;
        const where = `${view.name}: `;
        check(c.x >= 0 && c.y >= 0 && c.right <= boxes.width + 0.5 && c.bottom <= boxes.height + 0.5, where + 'the picture is cut');
        check(boxes.controls.some((b) => b.name === 'Full screen'), where + 'no full screen button');
        check(boxes.controls.some((b) => b.name === 'Move left') === view.touch, where + 'touch controls shown wrongly');
        for (const b of boxes.controls) {
          check(b.right - b.x >= 44 && b.bottom - b.y >= 44, `${where}${b.name} is ${b.right - b.x}x${b.bottom - b.y}`);
          check(b.right <= c.x || b.x >= c.right || b.bottom <= c.y || b.y >= c.bottom, `${where}${b.name} covers the picture`);
          check(b.x >= 0 && b.y >= 0 && b.right <= boxes.width + 0.5 && b.bottom <= boxes.height + 0.5, `${where}${b.name} is off the screen`);
          if (view.touch && view.orientation.startsWith('landscape') && b.pad) {
            check(b.pad === 'pad-left' ? b.right <= c.x : b.x >= c.right, `${where}${b.name} is on the wrong side`);
          }
        }
      }
    } finally {
      await browser.send('Emulation.clearDeviceMetricsOverride');
      await browser.send('Emulation.setTouchEmulationEnabled', { enabled: false });
    }
    // Yes and No only at a question.
    await browser.load(server.url + 'index.html?touch');
    await running(browser);
    const answers = "[...document.querySelectorAll('.pad .answer')].map((b) => b.checkVisibility({ visibilityProperty: true })).join()";
    check((await browser.evaluate(answers)) === 'false,false', 'Yes and No shown before any question');
    await browser.evaluate("Module.quarvelPage.activity('question')");
    check((await browser.evaluate(answers)) === 'true,true', 'Yes and No not shown at a question');
    await browser.evaluate("Module.quarvelPage.activity('play')");
    check((await browser.evaluate(answers)) === 'false,false', 'Yes and No still shown after the question');
    // A tap on the picture: nothing during play, Space at the title.
    await browser.evaluate('window.taken = []; { const page = Module.quarvelPage, next = page.nextInput;' +
      ' page.nextInput = () => { const e = next.call(page); if (e) window.taken.push(e.kind + e.name); return e; }; }');
    const middle = await browser.evaluate("(() => { const r = document.getElementById('screen').getBoundingClientRect();" +
      ' return [r.x + r.width / 2, r.y + r.height / 2]; })()');
    await browser.tap(middle[0], middle[1]);
    await sleep(400);
    check((await browser.evaluate('window.taken.join()')) === '', 'a tap during play was taken as a key');
    await browser.evaluate("Module.quarvelPage.activity('title')");
    await browser.tap(middle[0], middle[1]);
    check(await browser.waitFor("window.taken.join() === '1space,2space'", 3000), 'a tap on the title did not press Space: ' +
      (await browser.evaluate('window.taken.join()')));
    await server.stop();
  },

  async controls(browser) {
    const server = await serveFolder(site);
    await browser.load(server.url + 'index.html?scene=stage1&seed=3');
    await running(browser);
    const version = /project\(quarvel VERSION ([0-9.]+)/.exec(fs.readFileSync(path.join(source, 'CMakeLists.txt'), 'utf8'))[1];
    check((await browser.evaluate('document.documentElement.dataset.version')) === version, 'the page is not version ' + version);
    check((await browser.text('version')).includes(version), 'the version is not shown');

    // Only the game's keys lose their meaning in the browser.
    await browser.evaluate("window.keys = []; addEventListener('keydown', (e) => window.keys.push(e.code + ':' + e.defaultPrevented))");
    const CTRL = 2, ALT = 1;
    for (const [code, key, modifiers] of [['Minus', '-', CTRL], ['Digit0', '0', CTRL], ['Tab', 'Tab', 0],
      ['ArrowRight', 'ArrowRight', CTRL], ['ArrowLeft', 'ArrowLeft', ALT], ['ArrowLeft', 'ArrowLeft', 0], ['Space', ' ', 0], ['KeyZ', 'z', 0]]) {
      await browser.key(code, key, 20, modifiers);
    }
    check((await browser.evaluate('window.keys.join()')) === 'Minus:false,Digit0:false,Tab:false,ArrowRight:false,' +
      'ArrowLeft:false,ArrowLeft:true,Space:true,KeyZ:true', 'keys held back wrongly: ' + (await browser.evaluate('window.keys.join()')));

    // Pause by P, by a hidden tab: the game and its sound are held; a key or a tap plays on.
    const pressedState = "document.getElementById('pause').getAttribute('aria-pressed')";
    check(await moving(browser), 'stage one does not move');
    await browser.key('KeyP', 'p');
    await sleep(300);
    check((await browser.evaluate(pressedState)) === 'true', 'P did not pause');
    check(!(await moving(browser)), 'the game goes on while paused');
    check((await browser.evaluate('Module.quarvelPage.stats.audio')) !== 'running', 'the sound goes on while paused');
    await browser.key('KeyP', 'p');
    check((await browser.evaluate(pressedState)) === 'false' && await moving(browser), 'P did not play on');
    await browser.evaluate(HIDE);
    check((await browser.evaluate(pressedState)) === 'true', 'a hidden tab did not pause');
    await browser.evaluate("Object.defineProperty(document, 'visibilityState', { value: 'visible', configurable: true })");
    const stage = await browser.evaluate("(() => { const r = document.getElementById('screen').getBoundingClientRect(); return [r.x + 20, r.y + 20]; })()");
    await browser.tap(stage[0], stage[1]);
    check((await browser.evaluate(pressedState)) === 'false' && await moving(browser), 'a tap did not play on');
    await browser.evaluate("window.dispatchEvent(new Event('blur'))");
    check((await browser.evaluate(pressedState)) === 'true', 'a lost focus did not pause');
    await browser.gamepadButton(0, 300);
    check((await browser.evaluate(pressedState)) === 'false', 'a gamepad button did not play on');

    // Mute and volume: M, the slider, kept for the next visit.
    await browser.key('KeyM', 'm');
    await browser.evaluate("{ const v = document.getElementById('volume'); v.value = '40'; v.dispatchEvent(new Event('input')); }");
    check((await browser.evaluate('Module.quarvelPage.stats.gain')) === 0, 'muted sound still plays');
    await browser.load(server.url + 'index.html');
    await running(browser);
    check((await browser.evaluate("document.getElementById('mute').getAttribute('aria-pressed') + document.getElementById('volume').value")) === 'true40',
      'mute and volume not kept');
    await browser.key('KeyM', 'm');
    check((await browser.evaluate("localStorage.getItem('quarvel.muted')")) === '0', 'M did not turn the sound on');

    // A still picture is drawn once, whoever hands it over how often.
    const draws = await browser.evaluate('Module.quarvelPage.stats.draws');
    await sleep(1500);
    check((await browser.evaluate('Module.quarvelPage.stats.draws')) - draws <= 1, 'the still title is drawn again and again');
    const drawn = await browser.evaluate('(() => { const p = Module.quarvelPage, a = new Uint8Array(320 * 240 * 4).fill(90);' +
      ' const before = p.stats.draws; p.show(a); p.show(a.slice()); a[5000] = 1; p.show(a); return p.stats.draws - before; })()');
    check(drawn === 2, `two pictures, ${drawn} draws`);
    await server.stop();
  },
};

// Each group in a browser of its own, given two minutes at most.
(async () => {
  let failures = 0;
  for (const [name, run] of Object.entries(groups)) {
    if (only && only !== name) continue;
    const started = Date.now();
    const browser = await openBrowser();
    let timer;
    try {
      await Promise.race([run(browser), new Promise((resolve, reject) => {
        timer = setTimeout(() => reject(new Error('no end after 120 s')), 120000);
      })]);
      console.log(`browser page ${name}: passed (${((Date.now() - started) / 1000).toFixed(0)} s)`);
    } catch (error) {
      console.error(`browser page ${name}: FAILED: ${error.message}`);
      failures += 1;
    } finally {
      clearTimeout(timer);
      await Promise.all(servers.splice(0).map((server) => server.stop()));
      await browser.close();
    }
  }
  process.exit(failures === 0 ? 0 : 1);
})();
