// The page's input in a real browser, in real time: the keyboard (letters by
// the layout's character), the touch buttons and a gamepad each leave stage
// one through its exit question, which plays sample 2 on channel 2.
//   node tests/web/input_test.js http://127.0.0.1:PORT/ [keyboard|touch|gamepad]
'use strict';
const { openBrowser, sleep } = require('./devtools.js');

const site = process.argv[2];
const EXIT_SOUND = / 2 2 255$/;
const ESC = 8, A = 0;  // gamepad buttons, standard mapping

// The exit question's white frame, read back from the canvas.
function questionShown(browser) {
  return browser.evaluate("(() => { const c = document.getElementById('screen').getContext('2d');" +
    " const white = (x, y) => c.getImageData(x, y, 1, 1).data.slice(0, 3).every((v) => v === 255);" +
    ' return white(42, 110) && white(276, 110) && white(150, 98); })()');
}

// Asks until the question is up: while the ship explodes the stage does not listen.
async function ask(browser, press) {
  for (let tries = 0; tries < 12; ++tries) {
    await press();
    await sleep(400);
    if (await questionShown(browser)) return;
  }
  throw new Error('the exit question did not come up');
}

// Yes and No show while the game asks.
async function answersShown(browser) {
  if (!(await browser.waitFor("!document.querySelector('.pad [data-key=y]').hidden", 3000))) {
    throw new Error('Yes is not shown at the question');
  }
}

const cases = {
  // Y where a German keyboard has Z: the character counts, not the place.
  async keyboard(browser) {
    await ask(browser, () => browser.key('Escape', 'Escape'));
    await browser.key('KeyZ', 'y');
  },
  async touch(browser) {
    await ask(browser, () => browser.touch('esc'));
    await answersShown(browser);
    await browser.touch('y');
  },
  // A is Space during play and yes at a question.
  async gamepad(browser) {
    await ask(browser, () => browser.gamepadButton(ESC));
    await browser.gamepadButton(A);
  },
};

(async () => {
  let failures = 0;
  const browser = await openBrowser();
  for (const [name, steps] of Object.entries(cases)) {
    if (process.argv[3] && process.argv[3] !== name) continue;
    try {
      await browser.load(new URL('index.html?scene=stage1&seed=3&touch', site).href);
      if (!(await browser.waitForState('running', 30000))) throw new Error('the game did not start');
      await sleep(1500);
      await steps(browser);
      if (!(await browser.waitForState('done', 15000))) throw new Error('stage one did not end');
      const sounds = (await browser.text('sound-log')).trim().split('\n');
      if (!EXIT_SOUND.test(sounds[sounds.length - 1])) throw new Error('no exit sound last: ' + sounds.slice(-3));
      console.log(`browser input ${name}: left stage one through the exit question`);
    } catch (error) {
      console.error(`browser input ${name}: FAILED: ${error.message}`);
      failures += 1;
    }
  }
  await browser.close();
  process.exit(failures === 0 ? 0 : 1);
})();
