// The page around the game: loading, canvas, keyboard, touch buttons,
// gamepads, Web Audio, pause, mute and volume, the game's menu (P, the Menu
// button, a gamepad's Start; taps choose in it), the high score and the
// settings in local storage, the offline copy and the URL's harness
// controls. The game (quarvel.js) reaches this file through Module.quarvelPage.
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
//   #replay=DATA    watch a shared replay (what quarvel --replay-link prints);
//                   the options above may follow it in the address's hash
//                   (#replay=DATA&frames=all&headless) or stand in its query
//   demo            watch the recorded game in real time
//   timedemo        play the recorded game as fast as possible and print the speed
//   nosound         no sound at all
//   touch           show the touch buttons even without a touch screen
'use strict';

(function () {
  const SCRIPT_PATH = '/input/script.txt';
  const DEMO_PATH = '/demo/whole_game.txt';
  const HISCORE_PATH = '/hiscore.txt';
  const STORED_HISCORE = 'quarvel.hiscore.txt';
  const STORED_VOLUME = 'quarvel.volume';
  const STORED_MUTED = 'quarvel.muted';
  // The game's settings file, as the menu last saved it; the volume and mute
  // in it are the page's own (above), written in before each start.
  const SETTINGS_PATH = '/quarvel.ini';
  const STORED_SETTINGS = 'quarvel.ini';

  // The query's options, and the hash's: a shared replay travels in the
  // hash, which never reaches a server.
  const params = new URLSearchParams(location.search);
  for (const [name, value] of new URLSearchParams(location.hash.slice(1))) params.set(name, value);
  const REPLAY_LINK_MARKER = '#replay=';
  const timedemo = params.has('timedemo');
  const headless = params.has('headless') || timedemo;
  // A run for a test or a measurement: no offline copy, no stored settings.
  const harness = headless || params.has('frames') || params.has('script') || params.has('input') ||
    params.has('replay');

  const $ = (id) => document.getElementById(id);
  const canvas = $('screen');
  const screen = canvas.getContext('2d', { alpha: false });
  const picture = screen.createImageData(320, 240);
  const pictureWords = new Uint32Array(picture.data.buffer);
  const statusLine = $('status');

  function setStatus(state, text) {
    statusLine.dataset.state = state;
    statusLine.textContent = text;
    $('loading').hidden = state === 'running';
    $('progress').hidden = state !== 'loading';
    $('hold').hidden = !pausedNow || state === 'running';  // paused while loading; the game shows its own
  }

  // A failed start: the reason on the page, not only in the console.
  function fail(text) {
    if (statusLine.dataset.state === 'error') return;
    setStatus('error', text);
    console.error('quarvel: ' + text);
  }

  let noticeShown = '';
  function notice(text) {
    if (noticeShown === text) return;
    noticeShown = text;
    $('notice').textContent = text;
    $('notice').hidden = false;
    setTimeout(() => {
      if (noticeShown === text) $('notice').hidden = true;
    }, 12000);
  }

  // ---- local storage, which a browser may refuse --------------------------------
  let storageRefused = false;
  function refused() {
    if (storageRefused) return;
    storageRefused = true;
    notice('This browser does not let the page keep anything (local storage is off or full): ' +
      'the high score, volume and mute last only until you leave.');
  }
  const storage = {
    get(key) {
      try {
        return window.localStorage.getItem(key);
      } catch (error) {
        refused();
        return null;
      }
    },
    set(key, value) {
      try {
        if (window.localStorage.getItem(key) !== value) window.localStorage.setItem(key, value);
      } catch (error) {
        refused();
      }
    },
  };

  // ---- the canvas: whole-number scales of device pixels, letterboxed -------
  function fit() {
    const stage = $('stage');
    const ratio = window.devicePixelRatio || 1;
    const width = stage.clientWidth * ratio;
    const height = stage.clientHeight * ratio;
    let scale = Math.floor(Math.min(width / 320, height / 240));
    if (scale < 1) scale = Math.max(0.01, Math.min(width / 320, height / 240));  // a very small window
    canvas.style.width = (320 * scale) / ratio + 'px';
    canvas.style.height = (240 * scale) / ratio + 'px';
  }
  if (window.ResizeObserver) new ResizeObserver(fit).observe($('stage'));
  window.addEventListener('resize', fit);

  const fullScreenButton = $('full-screen');
  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
  }
  document.addEventListener('fullscreenchange', () => {
    const full = !!document.fullscreenElement;
    fullScreenButton.setAttribute('aria-pressed', String(full));
    fullScreenButton.setAttribute('aria-label', full ? 'Leave full screen' : 'Full screen');
    fullScreenButton.title = (full ? 'Leave full screen' : 'Full screen') + ' (Alt+Enter)';
  });
  if (!document.fullscreenEnabled) fullScreenButton.hidden = true;  // e.g. a phone's browser without it
  // A button clicked gives the focus back, so that Space reaches the game.
  function onClick(button, action) {
    button.addEventListener('click', () => {
      button.blur();
      action();
    });
  }
  onClick(fullScreenButton, toggleFullScreen);

  // ---- input: one queue the game empties while it sleeps --------------------
  const queue = [];
  const held = new Map();  // key name -> how many sources hold it (keyboard, touch, pad)

  // P is the pause key: it opens the game's menu and closes it (or is
  // taken as the new key of a control the menu waits on).
  const PAUSE_KEY = 'p';
  function press(name, letter, shift) {
    wakeGame();
    held.set(name, (held.get(name) || 0) + 1);
    queue.push({ kind: 1, name, letter, shift, pauseKey: name === PAUSE_KEY });
  }
  // The menu opens, or closes when it is open.
  function askForMenu() {
    if (headless || gameOver) return;
    if (pausedNow) setPaused(false);
    queue.push({ kind: 4, name: '' });
    wakeGame();
  }
  // A tap or click on the open menu, in the picture's pixels (-1: beside it).
  function tapMenu(event) {
    const rect = canvas.getBoundingClientRect();
    const inside = (at, start, size) => at >= start && at < start + size;
    const onPicture = rect.width > 0 && rect.height > 0 && inside(event.clientX, rect.left, rect.width) &&
      inside(event.clientY, rect.top, rect.height);
    const x = onPicture ? Math.floor(((event.clientX - rect.left) * 320) / rect.width) : -1;
    const y = onPicture ? Math.floor(((event.clientY - rect.top) * 240) / rect.height) : -1;
    queue.push({ kind: 5, name: '', x, y });
    wakeGame();
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
    AltRight: 'alt', Minus: 'minus', Period: 'period', NumpadDecimal: 'period',
  };
  // The keys the game plays with; only these lose their meaning in the browser.
  const GAME_KEYS = new Set(['left', 'right', 'up', 'down', 'space', 'esc', 'ctrl', 'lshift', 'y', 'n', 'z', 'p']);
  const MODIFIERS = new Set(['ControlLeft', 'ControlRight', 'ShiftLeft', 'ShiftRight', 'AltLeft', 'AltRight',
    'MetaLeft', 'MetaRight']);

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

  // Ctrl, Alt or Meta held with another key: a browser or system shortcut.
  function chord(event) {
    const code = event.code;
    return (event.ctrlKey && !code.startsWith('Control')) || (event.altKey && !code.startsWith('Alt')) ||
      (event.metaKey && !code.startsWith('Meta'));
  }

  const keyboardHeld = new Map();  // event.code -> key name, so a release matches its press
  window.addEventListener('keydown', (event) => {
    startAudio();
    if (event.code === 'Enter' || event.code === 'NumpadEnter') {
      if (event.altKey && !event.ctrlKey && !event.metaKey) {
        event.preventDefault();
        if (!event.repeat) toggleFullScreen();
        return;
      }
    }
    if (chord(event)) return;  // never the game's, always the browser's
    if (gameOver) {
      if (!MODIFIERS.has(event.code)) playAgain();
      return;
    }
    const key = keyOf(event);
    if (key && !headless && key.name === 'm' && !menuOpen) {
      event.preventDefault();
      if (!event.repeat) {
        setMuted(!muted);
        tellGameVolume();
      }
      return;
    }
    if (pausedNow && !MODIFIERS.has(event.code)) {
      if (key && GAME_KEYS.has(key.name)) event.preventDefault();
      if (!event.repeat) setPaused(false);  // the key that resumes is not the game's
      return;
    }
    if (!key) return;
    if (GAME_KEYS.has(key.name)) event.preventDefault();
    if (headless) return;
    if (event.repeat && keyboardHeld.has(event.code)) {
      queue.push({ kind: 3, name: key.name, letter: key.letter, shift: event.shiftKey, pauseKey: key.name === PAUSE_KEY });
      return;
    }
    if (keyboardHeld.has(event.code)) return;
    keyboardHeld.set(event.code, key.name);
    press(key.name, key.letter, event.shiftKey);
  });
  window.addEventListener('keyup', (event) => {
    const name = keyboardHeld.get(event.code);
    if (name === undefined) return;
    if (GAME_KEYS.has(name)) event.preventDefault();
    keyboardHeld.delete(event.code);
    release(name);
  });
  // A key let go while the page had no focus must not stay held.
  function releaseKeyboard() {
    for (const name of keyboardHeld.values()) release(name);
    keyboardHeld.clear();
  }

  // ---- touch buttons, and a tap on the picture at the title ---------------------
  function showTouchButtons() {
    document.body.classList.add('touch');
  }
  if (params.has('touch') || (window.matchMedia && window.matchMedia('(pointer: coarse)').matches)) showTouchButtons();
  window.addEventListener('touchstart', () => {
    startAudio();
    showTouchButtons();
  }, { passive: true });
  for (const button of document.querySelectorAll('.pad button')) {
    const name = button.dataset.key;
    const letter = name.length === 1 ? name : '';
    const down = new Set();
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      startAudio();
      if (gameOver) playAgain();
      if (pausedNow) {
        setPaused(false);
        return;
      }
      if (headless || down.has(event.pointerId)) return;
      down.add(event.pointerId);
      button.classList.add('down');
      if (button.setPointerCapture) button.setPointerCapture(event.pointerId);
      press(name, letter, false);
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
  $('stage').addEventListener('pointerdown', (event) => {
    if (headless) return;
    if (gameOver) {
      playAgain();
    } else if (pausedNow) {
      event.preventDefault();
      setPaused(false);
    } else if (menuOpen) {
      event.preventDefault();
      tapMenu(event);
    } else if (activityNow === 'title') {
      event.preventDefault();
      press('space', '', false);
      release('space');
    }
  });

  // ---- gamepads (the standard mapping) ----------------------------------------
  // The buttons go to the game as a controller's buttons, as the window
  // build's controllers do: the game binds them to its actions (the menu's
  // CONTROLS remaps them), answers Yes and No with them at a question, opens
  // its menu on Start and moves in it with the d-pad and the stick.
  const STICK = 0.5;
  const PAD_BUTTON_DOWN = 7, PAD_BUTTON_UP = 8;  // the queue's kinds for them
  // In the game's order of buttons: A, B, X, Y, Back, Start, the left and
  // right shoulders, the d-pad's up, down, left and right, then the left
  // stick's left, right, up and down.
  const PAD_BUTTONS = [0, 1, 2, 3, 8, 9, 4, 5, 12, 13, 14, 15].map((index) => (p) => pressed(p, index)).concat([
    (p) => p.axes.length > 0 && p.axes[0] < -STICK,
    (p) => p.axes.length > 0 && p.axes[0] > STICK,
    (p) => p.axes.length > 1 && p.axes[1] < -STICK,
    (p) => p.axes.length > 1 && p.axes[1] > STICK,
  ]);
  function pressed(pad, index) {
    return index < pad.buttons.length && pad.buttons[index].pressed;
  }
  function padButton(kind, button) {
    wakeGame();
    queue.push({ kind, name: '', x: button });
  }
  // pad index -> per PAD_BUTTONS: held and given to the game; a press that
  // only ended the page's own pause is held but not the game's
  const padState = new Map();
  const NOT_HELD = 0, HELD = 1, HELD_FOR_PAGE = 2;
  let lastPadPoll = 0;
  function pollGamepads() {
    if (headless || !navigator.getGamepads) return;
    const now = performance.now();
    if (now - lastPadPoll < 4) return;
    lastPadPoll = now;
    const seen = new Set();
    for (const pad of navigator.getGamepads()) {
      if (!pad || !pad.connected) continue;
      seen.add(pad.index);
      const before = padState.get(pad.index) || PAD_BUTTONS.map(() => NOT_HELD);
      const after = PAD_BUTTONS.map((held, button) => {
        if (!held(pad)) {
          if (before[button] === HELD) padButton(PAD_BUTTON_UP, button);
          return NOT_HELD;
        }
        if (before[button] !== NOT_HELD) return before[button];
        if (pausedNow) {  // any button plays on, as a key does
          setPaused(false);
          return HELD_FOR_PAGE;
        }
        padButton(PAD_BUTTON_DOWN, button);
        return HELD;
      });
      padState.set(pad.index, after);
    }
    for (const [index, state] of padState) {
      if (seen.has(index)) continue;  // unplugged: let go of everything it held
      state.forEach((held, button) => held === HELD && padButton(PAD_BUTTON_UP, button));
      padState.delete(index);
    }
  }

  // ---- Web Audio: samples on numbered channels, one master gain ----------------
  const AudioContextClass = window.AudioContext || window.webkitAudioContext;
  const samples = [];  // index -> {channels, rate, data (Int16Array), buffer}
  const playing = new Map();  // channel -> source node
  let audio = null;
  let master = null;
  let soundOff = params.has('nosound');
  let muted = false;
  let volume = 100;

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
        master = audio.createGain();
        master.connect(audio.destination);
      } catch (error) {
        soundOff = true;
        return;
      }
      applyVolume();
      for (const sample of samples) if (sample && !sample.buffer) sample.buffer = makeBuffer(sample);
    }
    if (audio.state === 'suspended' && !pausedNow) audio.resume().catch(() => {});
  }
  window.addEventListener('pointerdown', startAudio);

  function applyVolume() {
    if (master) master.gain.value = muted ? 0 : volume / 100;
    $('mute').setAttribute('aria-pressed', String(muted));
    $('mute').setAttribute('aria-label', muted ? 'Sound on' : 'Mute');
    $('volume').value = String(volume);
  }
  // The stored settings file, with the page's volume and mute in it.
  function settingsForGame() {
    const stored = storage.get(STORED_SETTINGS) || '';
    const others = stored.split('\n').filter((line) => !/^\s*(volume|mute)\s*=/.test(line) && line.trim() !== '');
    return others.concat(['volume = ' + volume, 'mute = ' + (muted ? 'yes' : 'no')]).join('\n') + '\n';
  }
  // The game's menu shows them: it hears of each change but its own.
  function tellGameVolume() {
    if (!headless) queue.push({ kind: 6, name: '', x: volume, shift: muted });
  }
  function setMuted(on) {
    muted = on;
    if (!harness) storage.set(STORED_MUTED, muted ? '1' : '0');
    applyVolume();
  }
  function setVolume(value) {
    volume = Math.max(0, Math.min(100, Math.round(value)));
    if (!harness) storage.set(STORED_VOLUME, String(volume));
    applyVolume();
  }
  if (!harness) {
    const storedVolume = Number.parseInt(storage.get(STORED_VOLUME), 10);
    if (storedVolume >= 0 && storedVolume <= 100) volume = storedVolume;
    muted = storage.get(STORED_MUTED) === '1';
  }
  applyVolume();
  onClick($('mute'), () => {
    setMuted(!muted);
    tellGameVolume();
  });
  $('volume').addEventListener('input', (event) => {
    setVolume(Number(event.target.value));
    tellGameVolume();
  });
  $('volume').addEventListener('change', (event) => event.target.blur());

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

  // ---- pause: the button, P, a hidden tab or a lost focus ---------------------------
  // The game asks paused() between its frames and holds its clock, shows
  // PAUSED and stops its sounds itself.
  let pausedNow = false;
  let padWatch = 0;  // while paused the game may not ask for input: a gamepad still plays on
  function setPaused(on) {
    if (headless || on === pausedNow) return;
    pausedNow = on;
    clearInterval(padWatch);
    if (on) padWatch = setInterval(pollGamepads, 100);
    const button = $('pause');
    button.setAttribute('aria-pressed', String(on));
    button.setAttribute('aria-label', on ? 'Play on' : 'Pause');
    if (on) releaseKeyboard();
    if (audio) (on ? audio.suspend() : audio.resume()).catch(() => {});
    $('hold').hidden = !on || statusLine.dataset.state === 'running';
    wakeGame();
  }
  onClick($('pause'), () => setPaused(!pausedNow));
  onClick($('menu'), askForMenu);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') {
      setPaused(true);
      saveHighScore();
    }
  });
  window.addEventListener('blur', () => {
    releaseKeyboard();
    if (statusLine.dataset.state === 'running') setPaused(true);
  });

  // ---- high score: hiscore.txt kept in local storage ------------------------------
  // The game reads /hiscore.txt once at its start and renames a new file over
  // it at every save. The page keeps the best score it has seen (the file,
  // what the game reports, other tabs' saves) and never stores less than is
  // stored already; a stored text the game cannot read is replaced by a
  // proper one at the next save.
  let bestScore = null;  // null: nothing known yet

  // The value as the game reads it: the second item of the text (items end
  // at a comma or a line end), blanks skipped, an optional sign, digits with
  // an optional fraction rounded half to even, no digits 0, clamped to 32 bits.
  function highScoreFromText(text) {
    let index = 0;
    let item = '';
    let second = null;
    for (const c of text) {
      if (c === ',' || c === '\n') {
        if (index === 1) {
          second = item;
          break;
        }
        ++index;
        item = '';
      } else if (c !== '\r' && item.length < 4096) {
        item += c;
      }
    }
    if (second === null) second = index === 1 ? item : '';
    const number = /^[ \t]*([+-]?(?:\d+(?:\.\d*)?|\.\d+))/.exec(second);
    if (!number) return 0;
    const value = Number(number[1]);
    let rounded = Math.round(value);
    if (Math.abs(value % 1) === 0.5) rounded = 2 * Math.round(value / 2);
    return Math.max(-2147483648, Math.min(2147483647, rounded));
  }
  function highScoreText(value) {
    return 'hi-score\r\n' + (value < 0 ? '-' + -value : ' ' + value) + '\r\n';
  }
  function noteScore(value) {
    if (typeof value === 'number' && Number.isFinite(value)) bestScore = bestScore === null ? value : Math.max(bestScore, value);
  }
  function saveHighScore() {
    if (harness || bestScore === null) return;
    const stored = storage.get(STORED_HISCORE);
    if (stored !== null) noteScore(highScoreFromText(stored));
    storage.set(STORED_HISCORE, highScoreText(bestScore));
  }
  function keepSavedFile(FS) {
    try {
      noteScore(highScoreFromText(FS.readFile(HISCORE_PATH, { encoding: 'utf8' })));
    } catch (error) {
      return;  // no file yet
    }
    saveHighScore();
  }
  window.addEventListener('storage', (event) => {
    if (event.key === STORED_HISCORE && event.newValue !== null && !harness) noteScore(highScoreFromText(event.newValue));
  });
  window.addEventListener('pagehide', saveHighScore);

  // ---- the game's frames: the page's timer drives them ------------------------
  // quarvel_tick(run) plays the frames that are due and says in how many
  // milliseconds it wants the next call (0: at once, as a script on the
  // virtual clock does; below 0: the run has ended). A call at once goes
  // through a message the page posts to itself, which setTimeout(0) would
  // hold to 4 ms once such calls nest.
  let runHandle = null;
  let tickTimer = 0;
  let tickPosted = false;
  const tickChannel = typeof MessageChannel === 'undefined' ? null : new MessageChannel();
  if (tickChannel) tickChannel.port1.onmessage = () => {
    tickPosted = false;
    tick();
  };
  function scheduleTick(ms) {
    if (runHandle === null) return;
    clearTimeout(tickTimer);
    tickTimer = 0;
    if (ms > 0 || !tickChannel) {
      tickTimer = setTimeout(tick, Math.max(0, ms));
    } else if (!tickPosted) {
      tickPosted = true;
      tickChannel.port2.postMessage(0);
    }
  }
  function tick() {
    if (runHandle === null) return;
    const next = window.Module._quarvel_tick(runHandle);
    if (next >= 0) scheduleTick(next);
  }
  // Input arrived: the game takes it now rather than at its next frame.
  function wakeGame() {
    if (runHandle !== null && !headless) scheduleTick(0);
  }

  // After the run: the game again; after a shared replay, a game of one's own.
  function playAgain() {
    if (params.has('replay')) location.assign(location.pathname + location.search);
    else location.reload();
  }

  // ---- replays: every game kept, watched, shared as a link, exported, imported ----
  // The game keeps each game it plays as a file in /replays (the last 20
  // games and every one that raised the high score, at most 100: the game
  // deletes the others); the page keeps that folder in local storage from
  // one visit to the next. A link carries a replay in the address's hash.
  const REPLAYS_PATH = '/replays';
  const STORED_REPLAYS = 'quarvel.replays';  // {file name: replay text}
  const REPLAY_NAME = /^[\w.-]+\.replay$/;
  const replaysPanel = $('replays-panel');
  let seenReplays = null;  // the names kept when the game last came back to the title

  function storedReplays() {
    try {
      const kept = JSON.parse(storage.get(STORED_REPLAYS) || '{}');
      return kept && typeof kept === 'object' && !Array.isArray(kept) ? kept : {};
    } catch (error) {
      return {};  // a damaged entry: the page starts again with none
    }
  }
  function restoreReplays(FS) {
    FS.mkdir(REPLAYS_PATH);
    if (harness) return;
    for (const [name, text] of Object.entries(storedReplays())) {
      if (REPLAY_NAME.test(name) && typeof text === 'string') FS.writeFile(REPLAYS_PATH + '/' + name, text);
    }
  }
  // The kept replays, newest first (their names start with when they were played).
  function keptReplays() {
    const FS = window.Module && window.Module.FS;
    if (!FS) return [];
    let names = [];
    try {
      names = FS.readdir(REPLAYS_PATH).filter((name) => REPLAY_NAME.test(name));
    } catch (error) {
      return [];
    }
    return names.sort().reverse().map((name) => {
      const text = FS.readFile(REPLAYS_PATH + '/' + name, { encoding: 'utf8' });
      const score = /^claim score (\d+)/m.exec(text);
      const stage = /-s(\d)\.replay$/.exec(name);
      return { name, text, score: score ? Number(score[1]) : 0, stage: stage ? Number(stage[1]) : 0 };
    });
  }
  function saveReplays(replays = keptReplays()) {
    if (harness) return;
    const kept = {};
    for (const replay of replays) kept[replay.name] = replay.text;
    storage.set(STORED_REPLAYS, JSON.stringify(kept));
  }
  window.addEventListener('pagehide', () => saveReplays());

  // The page's address playing the replay: the game packs it (quarvel_replay_link).
  function linkOf(text) {
    const FS = window.Module.FS;
    FS.writeFile('/out/share.replay', text);
    const failed = window.Module.ccall('quarvel_replay_link', 'number', ['string', 'string'],
      ['/out/share.replay', '/out/share.link']);
    if (failed) return null;
    return location.origin + location.pathname + FS.readFile('/out/share.link', { encoding: 'utf8' }).trim();
  }
  function share(text) {
    const link = linkOf(text);
    if (!link) {
      notice('This replay cannot be shared: this version of the game does not play it.');
      return;
    }
    const field = $('replay-link');
    field.value = link;
    field.hidden = false;
    field.select();
    if (navigator.clipboard) {
      navigator.clipboard.writeText(link).then(() => notice('The link is copied: whoever opens it watches the game.'),
        () => notice('Copy the link from the box to share the game.'));
    }
  }
  function exportReplay(replay) {
    const url = URL.createObjectURL(new Blob([replay.text], { type: 'text/plain' }));
    const save = document.createElement('a');
    save.href = url;
    save.download = 'quarvel-' + replay.name;
    document.body.append(save);
    save.click();
    save.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }
  // A replay file from the desktop game, or one exported here: watched at once.
  $('replay-import').addEventListener('change', async (event) => {
    const file = event.target.files && event.target.files[0];
    event.target.value = '';
    if (!file) return;
    if (file.size > 1048576) {
      notice('That file is larger than a replay can be (1 MB).');
      return;
    }
    const link = linkOf(await file.text());
    if (link) location.assign(link);
    else notice('That file is not a replay this version of the game plays.');
  });
  // Opening another shared link on this page plays it.
  window.addEventListener('hashchange', () => {
    if (location.hash.startsWith(REPLAY_LINK_MARKER)) location.reload();
  });

  function showReplays() {
    const list = $('replays-list');
    list.textContent = '';
    const kept = keptReplays();
    $('replays-none').hidden = kept.length > 0;
    for (const replay of kept) {
      const row = document.createElement('li');
      const when = replay.name.slice(0, 10) + ' ' + replay.name.slice(11, 16).replace('-', ':');  // 2026-12-09T08-43
      const what = document.createElement('span');
      what.textContent = when + '  ' + replay.score + ' points' +
        (replay.stage === 4 ? ', the ending' : replay.stage ? ', stage ' + replay.stage : '');
      row.append(what);
      for (const [label, action] of [['Watch', () => {
        const link = linkOf(replay.text);
        if (link) location.assign(link);
      }], ['Share', () => share(replay.text)], ['Export', () => exportReplay(replay)]]) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        onClick(button, action);
        row.append(' ', button);
      }
      list.append(row);
    }
    $('replay-link').hidden = true;
    replaysPanel.hidden = false;
  }
  onClick($('replays'), () => (replaysPanel.hidden ? showReplays() : (replaysPanel.hidden = true)));
  onClick($('replays-close'), () => (replaysPanel.hidden = true));
  for (const kind of ['keydown', 'keyup']) replaysPanel.addEventListener(kind, (event) => event.stopPropagation());

  // Back at the title after a game: its replay is kept, and a game that
  // scored is offered to the high-score table, when the site has one.
  let tableHere = null;
  async function siteHasTable() {
    if (tableHere === null) {
      tableHere = fetch('api/table?limit=1').then((response) => response.ok, () => false);
    }
    return tableHere;
  }
  async function gameKept() {
    if (harness) return;
    const kept = keptReplays();
    const before = seenReplays;
    seenReplays = new Set(kept.map((replay) => replay.name));
    if (before === null) return;  // the first look: what earlier visits kept
    saveReplays(kept);
    const newest = kept.find((replay) => !before.has(replay.name));
    if (!newest || newest.score <= 0 || !window.QuarvelScores) return;
    if (await siteHasTable()) window.QuarvelScores.offer({ replay: newest.text, score: newest.score });
  }

  // ---- what the game calls ------------------------------------------------------
  let gameOver = false;
  let activityNow = '';
  let menuOpen = false;  // the game's menu is up: taps choose in it
  let pictureShown = false;  // the canvas holds picture's pixels
  const page = {
    // For whoever drives the page: pictures handed over and drawn, the sound.
    stats: {
      shows: 0,
      draws: 0,
      get audio() {
        return audio ? audio.state : 'none';
      },
      get gain() {
        return master ? master.gain.value : null;
      },
    },
    // Only a picture that differs from the one on the canvas is drawn: a
    // comparison costs far less than a canvas upload.
    show(rgba) {
      ++page.stats.shows;
      const words = rgba.byteOffset % 4 === 0 ? new Uint32Array(rgba.buffer, rgba.byteOffset, 320 * 240) : null;
      if (pictureShown && words) {
        let i = 0;
        while (i < 76800 && words[i] === pictureWords[i]) ++i;
        if (i === 76800) return;
      }
      picture.data.set(rgba);
      screen.putImageData(picture, 0, 0);
      pictureShown = true;
      ++page.stats.draws;
    },
    black() {
      screen.fillStyle = '#000';
      screen.fillRect(0, 0, 320, 240);
      pictureShown = false;
      ++page.stats.draws;
    },
    hidePointer() {
      canvas.style.cursor = 'none';
    },
    nextInput() {
      if (queue.length === 0) pollGamepads();
      return queue.shift();
    },
    // 'title', 'play', 'question' (Yes and No are shown) or 'leaving'.
    activity(kind) {
      activityNow = String(kind);
      document.body.dataset.activity = activityNow;
      if (activityNow === 'leaving') saveHighScore();
      if (activityNow === 'title' || activityNow === 'leaving') gameKept();
      for (const button of document.querySelectorAll('.pad .answer')) button.hidden = activityNow !== 'question';
    },
    highScore(value) {
      noteScore(value);
    },
    paused() {
      return pausedNow;
    },
    // The game's menu opened or closed.
    menuChanged(open) {
      menuOpen = !!open;
      document.body.dataset.menu = menuOpen ? 'open' : 'closed';
      $('menu').setAttribute('aria-pressed', String(menuOpen));
    },
    // The menu's FULL SCREEN.
    toggleFullScreen,
    fullScreen() {
      return !!document.fullscreenElement;
    },
    // The menu's SOUND: the page's volume and mute, kept as the page keeps them.
    gameVolume(percent, off) {
      setVolume(percent);
      setMuted(off);
    },
    // The game's run, handed over once it has started: the page's timer
    // calls its next frame when it is due, at once when the player does
    // something, and stops when it says it has ended.
    drive(run) {
      runHandle = run;
      scheduleTick(0);
    },
    // The run has ended with this exit code.
    finished(code) {
      runHandle = null;
      finish(code);
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
      const level = audio.createGain();
      level.gain.value = gain;
      source.connect(level).connect(master);
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

  // The run's results onto the page, once it has ended with its exit code.
  function finish(code) {
    const FS = window.Module.FS;
    keepSavedFile(FS);
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
  }

  function gameArguments() {
    const args = [];
    args.push('--sound-log', '/out/sound-log.txt');
    if (headless) args.push('--headless');
    if (timedemo) args.push('--timedemo');
    if (params.has('seed')) args.push('--seed', params.get('seed'));
    if (params.has('scene')) args.push('--scene', params.get('scene'));
    if (params.has('frames')) args.push('--shot-frames', params.get('frames'), '--frame-hashes', '/out/frame-hashes.txt');
    if (params.has('script') || params.has('input') || params.has('replay')) args.push('--input', SCRIPT_PATH);
    else if (timedemo || params.has('demo')) args.push('--input', DEMO_PATH);
    // A player's session is not bounded by the test harness's clock limit.
    args.push('--max-ms', params.get('maxms') || (headless ? '3600000' : '1000000000000'));
    if (!harness) args.push('--config', SETTINGS_PATH);
    if (soundOff || (timedemo && !params.has('sound'))) args.push('NOSOUND');
    return args;
  }

  const FETCH_FAILED = 'did not arrive: the connection failed. Check the connection and reload the page.';
  const SITE_BROKEN = 'If you host this site, copy every file of the built site to it again.';

  // Downloads one of the site's files, counting its bytes into the progress
  // bar, and checks that it is whole: its size, and its SHA-256 where the
  // browser offers it (secure pages: https or this machine).
  async function download(file, progress) {
    let response;
    try {
      response = await fetch(file.name);
    } catch (error) {
      throw new Error(file.name + ' ' + FETCH_FAILED);
    }
    if (!response.ok) {
      throw new Error(file.name + ' is missing from the site (HTTP ' + response.status + '). ' + SITE_BROKEN);
    }
    const parts = [];
    let length = 0;
    try {
      const reader = response.body.getReader();
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        parts.push(value);
        length += value.length;
        progress(value.length);
      }
    } catch (error) {
      throw new Error(file.name + ' ' + FETCH_FAILED);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    let whole = length === file.size;
    if (whole && window.crypto && crypto.subtle) {
      const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
      whole = Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('') === file.sha256;
    }
    if (!whole) {
      throw new Error(file.name + ' arrived damaged (' + length + ' bytes, ' + file.size + ' expected). ' +
        'Reload the page; if this happens again, the copy on the site is damaged. ' + SITE_BROKEN);
    }
    return bytes;
  }

  function registerOfflineCopy() {
    if (harness || !navigator.serviceWorker) return;
    const hadWorker = !!navigator.serviceWorker.controller;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (hadWorker) notice('Quarvel has been updated: the new version starts the next time you open this page.');
    });
    navigator.serviceWorker.register('service-worker.js').catch((error) => {
      console.warn('quarvel: no offline copy: ' + error.message);
    });
  }

  async function start() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      fail('This browser cannot run Quarvel: it has no WebAssembly, or it is switched off. ' +
        'Open the page in a current Firefox, Chrome, Edge or Safari.');
      return;
    }
    if (location.protocol === 'file:') {
      fail('Quarvel cannot start from a file on the disk: browsers do not let such a page load the game. ' +
        'Serve this folder with any web server (for example "python3 -m http.server" in it) and open ' +
        'http://127.0.0.1:8000/ instead.');
      return;
    }
    registerOfflineCopy();

    let script = null;
    let files;
    let loaded;
    try {
      if (params.has('replay')) script = REPLAY_LINK_MARKER + params.get('replay') + '\n';  // the game reads the link
      else if (params.has('input')) script = params.get('input');
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
    try {
      files = JSON.parse($('site-files').textContent);
      const total = files.game.size + files.wasm.size + files.data.size;
      let done = 0;
      const progress = (bytes) => {
        done += bytes;
        $('progress').value = Math.min(1, done / total);
      };
      loaded = await Promise.all([download(files.game, progress), download(files.wasm, progress),
        download(files.data, progress)]);
    } catch (error) {
      fail('The game could not be loaded: ' + (error.message || error));
      return;
    }
    setStatus('loading', 'Starting\u2026');

    const names = { 'quarvel.wasm': files.wasm.name, 'quarvel.data': files.data.name };
    window.Module = {
      quarvelPage: page,
      arguments: gameArguments(),
      canvas,
      print,
      printErr: print,
      wasmBinary: loaded[1],
      locateFile: (path) => names[path] || path,
      getPreloadedPackage: () => loaded[2].buffer,
      onAbort(what) {
        fail('The game stopped while starting (' + what + '). Reload the page; if this happens again, ' +
          'the browser may be too old for it, or the site damaged.');
      },
      preRun: [() => {
        const FS = window.Module.FS;
        FS.mkdir('/out');
        FS.mkdir('/input');
        if (script !== null) FS.writeFile(SCRIPT_PATH, script);
        restoreReplays(FS);
        const stored = harness ? null : storage.get(STORED_HISCORE);
        if (stored !== null) {
          FS.writeFile(HISCORE_PATH, stored);  // as it is: the game copes with a garbled file
          noteScore(highScoreFromText(stored));
        }
        if (!harness) FS.writeFile(SETTINGS_PATH, settingsForGame());
        // Every save renames the new file over hiscore.txt or quarvel.ini:
        // keep it then.
        const rename = FS.rename;
        FS.rename = function (from, to) {
          const result = rename.apply(this, arguments);
          if (String(to).endsWith('hiscore.txt')) keepSavedFile(FS);
          if (String(to) === SETTINGS_PATH && !harness) storage.set(STORED_SETTINGS, readOutput(FS, SETTINGS_PATH));
          return result;
        };
        setStatus('running', headless ? 'running' : '');
      }],
    };
    fit();
    const game = document.createElement('script');
    game.textContent = new TextDecoder().decode(loaded[0]);
    window.addEventListener('error', (event) => {
      if (statusLine.dataset.state === 'loading') fail('The game could not be loaded: ' + files.game.name + ' does not run (' + event.message + '). ' + SITE_BROKEN);
    });
    document.body.appendChild(game);
  }

  setStatus('loading', 'Loading\u2026');
  start();
})();
