// The page around the game: canvas, keyboard, touch buttons, gamepads, Web
// Audio, the high score in local storage, and the URL's harness controls.
// The game (quarvel.js) reaches this file through Module.quarvelPage.
//
// URL options (all optional):
//   seed=N          seed the random numbers with N
//   script=FILE     input script fetched from this folder (script format)
//   input=TEXT      the script itself, lines separated by newlines (%0A)
//   scene=NAME      title stage1 stage2 stage3 story0 .. story3
//   headless        virtual clock, no real waiting, no keyboard
// When the game ends, the page holds its results in #frame-hashes, #sound-log,
// #high-score and #console, and #status gets data-state="done".
//   frames=LIST     frames to fingerprint: 1,5,10-20 or all (CRC-32, as --frame-hashes)
//   demo            watch the recorded game in real time
//   timedemo        play the recorded game as fast as possible and print the speed
//   nosound         no sound at all
//   touch           show the touch buttons even without a touch screen
'use strict';

(function () {
  const SCRIPT_PATH = '/input/script.txt';
  const DEMO_PATH = '/demo/whole_game.txt';
  const HISCORE_PATH = '/hiscore.txt';
  const HISCORE_STORAGE = 'quarvel.hiscore.txt';

  const params = new URLSearchParams(location.search);
  const timedemo = params.has('timedemo');
  const headless = params.has('headless') || timedemo;

  const $ = (id) => document.getElementById(id);
  const canvas = $('screen');
  const screen = canvas.getContext('2d', { alpha: false });
  const picture = screen.createImageData(320, 240);
  const statusLine = $('status');

  function setStatus(state, text) {
    statusLine.dataset.state = state;
    statusLine.textContent = text;
  }

  // ---- the canvas: whole-number scales of device pixels, letterboxed -------
  function fit() {
    const controls = $('touch');
    const reserved = controls.hidden ? 0 : controls.offsetHeight;
    const ratio = window.devicePixelRatio || 1;
    const width = window.innerWidth * ratio;
    const height = Math.max(1, window.innerHeight - reserved) * ratio;
    let scale = Math.floor(Math.min(width / 320, height / 240));
    if (scale < 1) scale = Math.min(width / 320, height / 240);  // a very small window
    canvas.style.width = (320 * scale) / ratio + 'px';
    canvas.style.height = (240 * scale) / ratio + 'px';
  }
  window.addEventListener('resize', fit);

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
  }
  $('full-screen').addEventListener('click', (event) => {
    event.currentTarget.blur();  // Space must reach the game, not press the button again
    toggleFullScreen();
  });

  // ---- input: one queue the game empties while it sleeps --------------------
  const queue = [];
  const held = new Map();  // key name -> how many sources hold it (keyboard, touch, pad)

  function press(name, letter, shift, answer) {
    held.set(name, (held.get(name) || 0) + 1);
    queue.push({ kind: 1, name, letter, shift, answer });
  }
  function release(name) {
    const count = held.get(name) || 0;
    if (count <= 0) return;
    if (count > 1) {
      held.set(name, count - 1);
      return;
    }
    held.delete(name);
    queue.push({ kind: 2, name });
  }

  const CODES = {
    ArrowLeft: 'left', ArrowRight: 'right', ArrowUp: 'up', ArrowDown: 'down', Space: 'space',
    Escape: 'esc', ControlLeft: 'ctrl', ControlRight: 'ctrl', ShiftLeft: 'lshift', ShiftRight: 'rshift',
    Enter: 'enter', NumpadEnter: 'enter', Tab: 'tab', Backspace: 'backspace', AltLeft: 'alt',
    AltRight: 'alt', Minus: 'minus',
  };

  // Letters by the layout (the character the key types); the other keys by
  // their place on the keyboard.
  function keyOf(event) {
    if (/^[a-zA-Z]$/.test(event.key)) return { name: event.key.toLowerCase(), letter: event.key };
    const letter = /^Key([A-Z])$/.exec(event.code);
    if (letter) {
      const c = event.shiftKey ? letter[1] : letter[1].toLowerCase();
      return { name: letter[1].toLowerCase(), letter: c };
    }
    const digit = /^(?:Digit|Numpad)([0-9])$/.exec(event.code);
    if (digit) return { name: digit[1], letter: '' };
    return CODES[event.code] ? { name: CODES[event.code], letter: '' } : null;
  }

  const keyboardHeld = new Map();  // event.code -> key name, so a release matches its press
  window.addEventListener('keydown', (event) => {
    startAudio();
    if (gameOver) {
      location.reload();
      return;
    }
    if (event.code === 'Enter' && event.altKey) {
      event.preventDefault();
      if (!event.repeat) toggleFullScreen();
      return;
    }
    const key = keyOf(event);
    if (!key) return;
    const browserShortcut = (event.ctrlKey || event.metaKey) && key.letter !== '';
    if (!browserShortcut) event.preventDefault();
    if (headless) return;
    if (event.repeat && keyboardHeld.has(event.code)) {
      queue.push({ kind: 3, name: key.name, letter: key.letter, shift: event.shiftKey });
      return;
    }
    if (keyboardHeld.has(event.code)) return;
    keyboardHeld.set(event.code, key.name);
    press(key.name, key.letter, event.shiftKey, '');
  });
  window.addEventListener('keyup', (event) => {
    const name = keyboardHeld.get(event.code);
    if (name === undefined) return;
    event.preventDefault();
    keyboardHeld.delete(event.code);
    release(name);
  });
  // A key let go while the page had no focus must not stay held.
  window.addEventListener('blur', () => {
    for (const name of keyboardHeld.values()) release(name);
    keyboardHeld.clear();
  });

  // ---- touch buttons ---------------------------------------------------------
  function showTouchButtons() {
    if (!$('touch').hidden) return;
    $('touch').hidden = false;
    fit();
  }
  if (params.has('touch') || (window.matchMedia && window.matchMedia('(pointer: coarse)').matches)) showTouchButtons();
  window.addEventListener('touchstart', () => {
    startAudio();
    showTouchButtons();
  }, { passive: true });
  for (const button of document.querySelectorAll('#touch button')) {
    const name = button.dataset.key;
    const letter = name.length === 1 ? name : '';
    const down = new Set();
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      startAudio();
      if (gameOver) location.reload();
      if (headless || down.has(event.pointerId)) return;
      down.add(event.pointerId);
      button.classList.add('down');
      if (button.setPointerCapture) button.setPointerCapture(event.pointerId);
      press(name, letter, false, '');
    });
    const up = (event) => {
      if (!down.delete(event.pointerId)) return;
      if (down.size === 0) button.classList.remove('down');
      release(name);
    };
    button.addEventListener('pointerup', up);
    button.addEventListener('pointercancel', up);
    button.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  // ---- gamepads (the standard mapping) ----------------------------------------
  // D-pad and left stick move; A = Space, B = z, and at a question A answers
  // yes and B no; Back = Esc; Start = Space; right shoulder = Ctrl, left
  // shoulder = left Shift.
  const PAD_BUTTONS = [
    { name: 'space', answer: 'y', held: (p) => pressed(p, 0) },
    { name: 'z', answer: 'n', held: (p) => pressed(p, 1) },
    { name: 'esc', held: (p) => pressed(p, 8) },
    { name: 'space', held: (p) => pressed(p, 9) },
    { name: 'ctrl', held: (p) => pressed(p, 5) },
    { name: 'lshift', held: (p) => pressed(p, 4) },
    { name: 'left', held: (p) => pressed(p, 14) || (p.axes.length > 0 && p.axes[0] < -0.5) },
    { name: 'right', held: (p) => pressed(p, 15) || (p.axes.length > 0 && p.axes[0] > 0.5) },
  ];
  function pressed(pad, index) {
    return index < pad.buttons.length && pad.buttons[index].pressed;
  }
  const padState = new Map();  // pad index -> array of held flags, as PAD_BUTTONS
  let lastPadPoll = 0;
  function pollGamepads() {
    if (!navigator.getGamepads) return;
    const now = performance.now();
    if (now - lastPadPoll < 4) return;
    lastPadPoll = now;
    const seen = new Set();
    for (const pad of navigator.getGamepads()) {
      if (!pad || !pad.connected) continue;
      seen.add(pad.index);
      const before = padState.get(pad.index) || PAD_BUTTONS.map(() => false);
      const after = PAD_BUTTONS.map((button) => button.held(pad));
      PAD_BUTTONS.forEach((button, i) => {
        if (after[i] && !before[i]) press(button.name, '', false, button.answer || '');
        if (!after[i] && before[i]) release(button.name);
      });
      padState.set(pad.index, after);
    }
    for (const [index, state] of padState) {
      if (seen.has(index)) continue;  // unplugged: let go of everything it held
      PAD_BUTTONS.forEach((button, i) => state[i] && release(button.name));
      padState.delete(index);
    }
  }

  // ---- Web Audio: samples on numbered channels --------------------------------
  const AudioContextClass = window.AudioContext || window.webkitAudioContext;
  const samples = [];  // index -> {channels, rate, data (Int16Array), buffer}
  const playing = new Map();  // channel -> source node
  let audio = null;
  let soundOff = params.has('nosound');

  function makeBuffer(sample) {
    const frames = Math.floor(sample.data.length / sample.channels);
    if (frames === 0) return null;
    const buffer = audio.createBuffer(sample.channels, frames, sample.rate);
    for (let c = 0; c < sample.channels; ++c) {
      const out = buffer.getChannelData(c);
      for (let i = 0; i < frames; ++i) out[i] = sample.data[i * sample.channels + c] / 32768;
    }
    return buffer;
  }

  // Browsers let a page make sound only after the player has touched it.
  function startAudio() {
    if (headless || soundOff || !AudioContextClass) return;
    if (!audio) {
      try {
        audio = new AudioContextClass();
      } catch (error) {
        soundOff = true;
        return;
      }
      for (const sample of samples) if (sample && !sample.buffer) sample.buffer = makeBuffer(sample);
    }
    if (audio.state === 'suspended') audio.resume();
  }
  window.addEventListener('pointerdown', startAudio);

  function stopChannel(channel) {
    const source = playing.get(channel);
    if (!source) return;
    playing.delete(channel);
    try {
      source.stop();
    } catch (error) {
      // already ended
    }
  }

  // ---- high score: hiscore.txt kept in local storage, byte for byte -----------
  function storedHighScore() {
    try {
      return window.localStorage.getItem(HISCORE_STORAGE);
    } catch (error) {
      return null;  // storage switched off: the high score lasts this visit
    }
  }
  function keepHighScore(FS) {
    if (headless) return;
    try {
      const text = FS.readFile(HISCORE_PATH, { encoding: 'utf8' });
      if (text !== storedHighScore()) window.localStorage.setItem(HISCORE_STORAGE, text);
    } catch (error) {
      // no file yet, or no storage
    }
  }

  // ---- what the game calls ------------------------------------------------------
  let gameOver = false;
  const page = {
    show(rgba) {
      picture.data.set(rgba);
      screen.putImageData(picture, 0, 0);
    },
    black() {
      screen.fillStyle = '#000';
      screen.fillRect(0, 0, 320, 240);
    },
    hidePointer() {
      canvas.style.cursor = 'none';
    },
    nextInput() {
      if (queue.length === 0) pollGamepads();
      return queue.shift();
    },
    audioAvailable() {
      return !soundOff && !!AudioContextClass;
    },
    addSample(index, channels, rate, data) {
      samples[index] = { channels, rate, data, buffer: null };
      if (audio) samples[index].buffer = makeBuffer(samples[index]);
    },
    play(channel, index, gain) {
      const sample = samples[index];
      if (!audio || audio.state !== 'running' || !sample || !sample.buffer) return;
      stopChannel(channel);  // a new sound replaces the old one on its channel
      const source = audio.createBufferSource();
      source.buffer = sample.buffer;
      const volume = audio.createGain();
      volume.gain.value = gain;
      source.connect(volume).connect(audio.destination);
      source.onended = () => {
        if (playing.get(channel) === source) playing.delete(channel);
      };
      source.start();
      playing.set(channel, source);
    },
    stopAll() {
      for (const channel of [...playing.keys()]) stopChannel(channel);
    },
  };

  // ---- start-up ----------------------------------------------------------------------
  const consoleText = [];
  function print(text) {
    consoleText.push(text);
    console.log(text);
    if (text.startsWith('timedemo:')) $('timedemo').textContent = text;
  }

  function readOutput(FS, path) {
    try {
      return FS.readFile(path, { encoding: 'utf8' });
    } catch (error) {
      return '';
    }
  }

  function gameArguments() {
    const args = [];
    args.push('--sound-log', '/out/sound-log.txt');
    if (headless) args.push('--headless');
    if (timedemo) args.push('--timedemo');
    if (params.has('seed')) args.push('--seed', params.get('seed'));
    if (params.has('scene')) args.push('--scene', params.get('scene'));
    if (params.has('frames')) args.push('--shot-frames', params.get('frames'), '--frame-hashes', '/out/frame-hashes.txt');
    if (params.has('script') || params.has('input')) args.push('--input', SCRIPT_PATH);
    else if (timedemo || params.has('demo')) args.push('--input', DEMO_PATH);
    // A player's session is not bounded by the test harness's clock limit.
    args.push('--max-ms', params.get('maxms') || (headless ? '3600000' : '1000000000000'));
    if (soundOff || (timedemo && !params.has('sound'))) args.push('NOSOUND');
    return args;
  }

  async function start() {
    let script = null;
    try {
      if (params.has('input')) script = params.get('input');
      else if (params.has('script')) {
        const response = await fetch(params.get('script'));
        if (!response.ok) throw new Error('cannot fetch ' + params.get('script') + ': ' + response.status);
        script = await response.text();
      }
    } catch (error) {
      setStatus('done', String(error.message || error));
      statusLine.dataset.exitCode = '2';
      return;
    }

    window.Module = {
      quarvelPage: page,
      arguments: gameArguments(),
      canvas,
      print,
      printErr: print,
      preRun: [() => {
        const FS = window.Module.FS;
        FS.mkdir('/out');
        FS.mkdir('/input');
        if (script !== null) FS.writeFile(SCRIPT_PATH, script);
        const stored = headless ? null : storedHighScore();
        if (stored !== null) FS.writeFile(HISCORE_PATH, stored);
        // Every save renames the new file over hiscore.txt: keep it then.
        const rename = FS.rename;
        FS.rename = function (from, to) {
          const result = rename.apply(this, arguments);
          if (String(to).endsWith('hiscore.txt')) keepHighScore(FS);
          return result;
        };
        setStatus('running', headless ? 'running' : '');
      }],
      onExit(code) {
        const FS = window.Module.FS;
        keepHighScore(FS);
        gameOver = !headless;
        $('frame-hashes').textContent = readOutput(FS, '/out/frame-hashes.txt');
        $('sound-log').textContent = readOutput(FS, '/out/sound-log.txt');
        $('high-score').textContent = readOutput(FS, HISCORE_PATH);
        $('console').textContent = consoleText.join('\n');
        statusLine.dataset.exitCode = String(code);
        let message = headless ? 'done' : 'Thanks for playing! Press a key or tap to play again.';
        if (timedemo) message = $('timedemo').textContent;
        if (code !== 0) message = consoleText.length > 0 ? consoleText[consoleText.length - 1] : 'exit code ' + code;
        setStatus('done', message);
      },
    };
    window.addEventListener('pagehide', () => keepHighScore(window.Module.FS));
    fit();
    const game = document.createElement('script');
    game.src = 'quarvel.js';
    game.onerror = () => setStatus('done', 'cannot load quarvel.js');
    document.body.appendChild(game);
  }

  setStatus('loading', 'loading');
  start();
})();
