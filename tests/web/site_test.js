// The page around the game in Chromium headless, each group served by its
// own server (so its own origin, storage and service worker):
//   loading   a missing or damaged file, no WebAssembly, file:// each say so
//   offline   a visit asks for no missing file (favicon, icons) and leaves an
//             installable app; after it the game starts with the server
//             stopped and the HTTP cache off, and a new build served replaces
//             the copy
//   storage   the first file is kept; garbage reaches the game as it is and
//             is repaired at the next save; refused storage is said once and
//             play goes on
//   layout    phone portrait and landscape, desktop: controls of 44 px or
//             more beside the whole picture; a tap on the picture in play is
//             no key
//   controls  version, the browser's keys, pause (the sound held, a lost
//             focus, a gamepad plays on), mute and volume, a picture handed
//             over again not drawn again
// (The page with the game's own signals: game_test.js.)
//   node tests/web/site_test.js SITE_FOLDER SOURCE_FOLDER [GROUP]
'use strict';
const fs = require('fs');
const path = require('path');
const { sleep, check, running, STORED, scoreText, HIDE, PAUSED, runGroups } = require('./devtools.js');

const [site, source, only] = process.argv.slice(2);
const files = JSON.parse(/<script id="site-files"[^>]*>(.*?)<\/script>/s.exec(
  fs.readFileSync(path.join(site, 'index.html'), 'utf8'))[1]);
const stored = (page) => page.evaluate(`localStorage.getItem('${STORED}')`);

const groups = {
  async loading(browser, serve) {
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
      const server = await serve(site, (file) => (file === name ? body : undefined));
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
    const server = await serve(site);
    await old.load(server.url + 'index.html');
    check(await old.waitForState('error', 10000) && /no WebAssembly/.test(await old.text('status')), 'no message without WebAssembly');
    await old.close();
    await server.stop();
  },

  async offline(browser, serve) {
    const server = await serve(site);
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

  async storage(browser, serve) {
    const server = await serve(site);
    const url = server.url + 'index.html';
    await browser.load(url);
    await running(browser);
    // The first start creates the file with 1000, which is kept.
    check(await browser.waitFor(`localStorage.getItem('${STORED}') === ${JSON.stringify(scoreText(1000))}`, 5000), 'the first file was not kept');

    // Garbage: the game gets it as its file and copes; the next save repairs it.
    for (const [garbage, value] of [['hi-score\r\n 2500 points!', 2500], ['\u0000\u00ff{"not": "a score"}', 0]]) {
      await browser.load(server.url + 'quarvel.webmanifest');  // no game running that would save over it
      await browser.waitFor('document.readyState === "complete"', 5000);
      await browser.evaluate(`localStorage.setItem('${STORED}', ${JSON.stringify(garbage)})`);
      await browser.load(url);
      await running(browser);
      const file = await browser.evaluate("new TextDecoder().decode(Module.FS.readFile('/hiscore.txt'))");
      check(file === garbage, 'the game did not get the stored text: ' + JSON.stringify(file));
      check(await browser.waitFor("document.body.dataset.activity === 'title'", 10000), 'the game did not cope');
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

  async layout(browser, serve) {
    const server = await serve(site);
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
    // A tap on the picture during play is no key (at the title it is Space: game_test.js).
    await browser.load(server.url + 'index.html?touch&scene=stage1&seed=3&nosound');
    await running(browser);
    check(await browser.waitFor("document.body.dataset.activity === 'play'", 10000), 'stage one did not start');
    await browser.evaluate('window.taken = []; { const page = Module.quarvelPage, next = page.nextInput;' +
      ' page.nextInput = () => { const e = next.call(page); if (e) window.taken.push(e.kind + e.name); return e; }; }');
    await browser.click('#screen');
    await sleep(400);
    check((await browser.evaluate('window.taken.join()')) === '', 'a tap during play was taken as a key');
    await server.stop();
  },

  async controls(browser, serve) {
    const server = await serve(site);
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

    // Pause (game_test.js holds the game by the button, a hidden tab and the
    // menu): the sound is held; a lost focus pauses, a gamepad button plays on.
    await browser.click('#pause');
    check(await browser.waitFor(PAUSED, 2000), 'the button did not pause');
    check((await browser.evaluate('Module.quarvelPage.stats.audio')) !== 'running', 'the sound goes on while paused');
    await browser.click('#pause');
    check(!(await browser.evaluate(PAUSED)), 'the button did not play on');
    await browser.evaluate("window.dispatchEvent(new Event('blur'))");
    check(await browser.evaluate(PAUSED), 'a lost focus did not pause');
    await browser.gamepadButton(0, 300);
    check(!(await browser.evaluate(PAUSED)), 'a gamepad button did not play on');

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

    // A picture handed over again is not drawn again.
    const drawn = await browser.evaluate('(() => { const p = Module.quarvelPage, a = new Uint8Array(320 * 240 * 4).fill(90);' +
      ' const before = p.stats.draws; p.show(a); p.show(a.slice()); a[5000] = 1; p.show(a); return p.stats.draws - before; })()');
    check(drawn === 2, `two pictures, ${drawn} draws`);
    await server.stop();
  },
};

runGroups('browser page', groups, only);
