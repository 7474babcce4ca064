// The browser timedemo in real time: --virtual-time-budget would make the
// page's clock virtual, so this drives Chromium headless through its
// DevTools pipe and prints what the page printed once the game has ended.
//   node tests/web/timedemo.js http://127.0.0.1:8000/
'use strict';
const { openBrowser } = require('./devtools.js');

(async () => {
  const site = process.argv[2] || 'http://127.0.0.1:8000/';
  const browser = await openBrowser();
  await browser.load(new URL('index.html?timedemo', site.endsWith('/') ? site : site + '/').href);
  const done = await browser.waitForState('done', 300000);
  const text = done ? await browser.text('console') : 'timedemo: the page did not finish in time';
  await browser.close();
  console.log(text);
  process.exit(/^timedemo: \d+ frames/m.test(text) ? 0 : 1);
})();
