// The high-score table's client, shared by the game page and the table's
// page: submit a replay, keep the player's name (asked once) and the ids of
// their own entries in local storage, and say the rank or the reason.
//   QuarvelScores.submit(name, replay)   -> {status, run} or {status, why}
//   QuarvelScores.offer({replay, score}) asks the name once, submits, shows the rank
// The table's API lives beside the site (api/...), so it works from any path.
'use strict';
(function () {
  const NAME_KEY = 'quarvel scores name';
  const MINE_KEY = 'quarvel scores mine';
  const NAME_MAX = 10;
  const MINE_MAX = 1000;

  function stored(key, fallback) {
    try {
      const value = localStorage.getItem(key);
      return value === null ? fallback : value;
    } catch (error) {
      return fallback;  // storage refused: nothing is kept after the visit
    }
  }
  function store(key, value) {
    try {
      localStorage.setItem(key, value);
    } catch (error) {
      // Storage refused: as above.
    }
  }

  // The characters the game's font draws (codes 32 to 95); letters as capitals.
  function cleanName(text) {
    return Array.from(String(text).toUpperCase()).filter((c) => c >= ' ' && c <= '_').join('').trim()
      .slice(0, NAME_MAX);
  }

  function mine() {
    try {
      const ids = JSON.parse(stored(MINE_KEY, '[]'));
      return Array.isArray(ids) ? ids.filter((id) => Number.isSafeInteger(id)) : [];
    } catch (error) {
      return [];
    }
  }
  function remember(id) {
    const ids = mine().filter((other) => other !== id);
    ids.push(id);
    store(MINE_KEY, JSON.stringify(ids.slice(-MINE_MAX)));
  }

  // Resolves to {status, run} when the table took it (201, or 200 for a
  // replay it had), else {status, why}; never rejects.
  async function submit(name, replay) {
    let response;
    try {
      response = await fetch('api/runs', {
        method: 'POST', headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ name: cleanName(name), replay: String(replay) }),
      });
    } catch (error) {
      return { status: 0, why: 'the table cannot be reached (no connection?)' };
    }
    let answer = {};
    try {
      answer = await response.json();
    } catch (error) {
      // An answer that is not ours (a proxy's page): the status says enough.
    }
    if (response.status === 200 || response.status === 201) {
      remember(answer.id);
      return { status: response.status, run: answer };
    }
    let why = answer.error || 'the table answered ' + response.status;
    const wait = response.headers.get('Retry-After');
    if (wait && (response.status === 429 || response.status === 503)) why += ' (try again in ' + wait + ' s)';
    return { status: response.status, why };
  }

  function describe(result) {
    if (result.run) {
      return (result.status === 200 ? 'Already on the table' : 'On the table') + ': rank ' + result.run.rank +
        ', ' + result.run.score + ' points as ' + result.run.name + '.';
    }
    return 'Not taken: ' + result.why + '.';
  }

  // A small box over the page: the name (asked once, then kept), Submit and
  // Not now; after a submission it shows the rank or the reason.
  function offer(game) {
    return new Promise((resolve) => {
      const box = document.createElement('form');
      box.className = 'quarvel-submit';
      box.setAttribute('role', 'dialog');
      box.setAttribute('aria-label', 'Submit your score');
      box.style.cssText = 'position:fixed;left:50%;top:20%;transform:translateX(-50%);z-index:10;' +
        'padding:12px 16px;background:#10104a;border:1px solid #558;border-radius:8px;color:#eee;' +
        'font:15px system-ui,sans-serif;text-align:center;max-width:90vw';
      const title = document.createElement('p');
      title.textContent = 'Put your ' + (game.score !== undefined ? game.score + ' points' : 'game') +
        ' on the high-score table?';
      const name = document.createElement('input');
      name.name = 'name';
      name.maxLength = NAME_MAX;
      name.placeholder = 'NAME';
      name.autocomplete = 'nickname';
      name.value = stored(NAME_KEY, '');
      name.style.textTransform = 'uppercase';
      name.setAttribute('aria-label', 'Your name on the table (capitals, digits, punctuation)');
      const send = document.createElement('button');
      send.type = 'submit';
      send.textContent = 'Submit';
      const later = document.createElement('button');
      later.type = 'button';
      later.textContent = 'Not now';
      const said = document.createElement('p');
      said.className = 'quarvel-submit-result';
      said.setAttribute('role', 'status');
      for (const control of [name, send, later]) {
        control.style.cssText += ';font:inherit;color:#eee;background:#222;border:1px solid #669;border-radius:6px;' +
          'padding:6px 10px;margin:2px';
      }
      box.append(title, name, ' ', send, ' ', later, said);
      let result = null;  // what the offer resolves to: null until a submission was answered
      later.addEventListener('click', () => {
        box.remove();
        resolve(result);
      });
      // Typing a name is not play: the game page never sees these keys.
      for (const kind of ['keydown', 'keyup']) box.addEventListener(kind, (event) => event.stopPropagation());
      box.addEventListener('submit', async (event) => {
        event.preventDefault();
        const chosen = cleanName(name.value);
        if (!chosen) {
          said.textContent = 'Your name: 1 to 10 capitals, digits or punctuation.';
          return;
        }
        store(NAME_KEY, chosen);
        send.disabled = true;
        said.textContent = 'Verifying your game…';
        result = await submit(chosen, game.replay);
        said.textContent = describe(result);
        send.hidden = true;
        later.textContent = 'Close';
      });
      document.body.append(box);
      if (!name.value) name.focus();
    });
  }

  window.QuarvelScores = { submit, offer, describe, mine, remember, cleanName,
    name: () => stored(NAME_KEY, ''), setName: (name) => store(NAME_KEY, cleanName(name)) };
})();
