// The high-score table's page: 100 runs a page, the player's own entries
// marked, Watch on each row (the game page playing that run's replay), and
// an upload box for a replay file of the desktop game. Every name and value
// is put in as text, never as markup.
'use strict';
(function () {
  const PAGE = 100;
  const STAGES = { 1: 'Aliens', 2: 'Tower', 3: 'UFO', 4: 'Ending' };
  const $ = (id) => document.getElementById(id);
  const scores = window.QuarvelScores;
  let offset = Math.max(0, Math.floor(Number(new URLSearchParams(location.search).get('offset')) || 0));

  function cell(row, text) {
    const td = document.createElement('td');
    td.textContent = text;
    row.append(td);
    return td;
  }
  const when = (iso) => (iso ? iso.replace('T', ' ').replace('Z', '') : '');

  async function watch(id, button) {
    button.disabled = true;
    try {
      const response = await fetch('api/runs/' + id);
      const run = await response.json();
      if (!response.ok || !run.link) throw new Error(run.error || 'this run cannot be watched');
      location.href = 'index.html' + run.link;
    } catch (error) {
      $('table-status').textContent = 'Cannot watch run ' + id + ': ' + error.message;
      button.disabled = false;
    }
  }

  async function show() {
    $('table-status').textContent = 'Loading the table…';
    let page;
    try {
      const response = await fetch('api/table?limit=' + PAGE + '&offset=' + offset, { cache: 'no-store' });
      page = await response.json();
      if (!response.ok) throw new Error(page.error || 'the table answered ' + response.status);
    } catch (error) {
      $('table-status').textContent = 'The table cannot be read: ' + error.message;
      return;
    }
    const mine = new Set(scores.mine());
    const rows = $('rows');
    rows.replaceChildren();
    for (const run of page.runs) {
      const row = document.createElement('tr');
      row.dataset.id = run.id;
      if (mine.has(run.id)) row.className = 'mine';
      cell(row, run.rank);
      cell(row, run.name);
      cell(row, run.score);
      cell(row, STAGES[run.stage] || run.stage);
      cell(row, run.frames);
      cell(row, when(run.played));
      cell(row, when(run.submitted));
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Watch';
      button.className = 'watch';
      button.addEventListener('click', () => watch(run.id, button));
      cell(row, '').append(button);
      rows.append(row);
    }
    $('table-status').textContent = page.runs.length ? '' : offset ? 'No runs this far down.' :
      'No runs yet: be the first.';
    $('previous').disabled = offset === 0;
    $('next').disabled = !page.more;
    $('page-label').textContent = page.runs.length ? 'ranks ' + (offset + 1) + ' to ' + (offset + page.runs.length) : '';
  }

  $('previous').addEventListener('click', () => {
    offset = Math.max(0, offset - PAGE);
    show();
  });
  $('next').addEventListener('click', () => {
    offset += PAGE;
    show();
  });

  $('upload-name').value = scores.name();
  $('upload').addEventListener('submit', async (event) => {
    event.preventDefault();
    const result = $('upload-result');
    const name = scores.cleanName($('upload-name').value);
    const file = $('upload-file').files[0];
    if (!name) {
      result.textContent = 'Your name: 1 to 10 capitals, digits or punctuation.';
      return;
    }
    if (!file) {
      result.textContent = 'Choose a replay file first.';
      return;
    }
    if (file.size > 60 * 1024) {
      result.textContent = 'Not taken: the file is larger than a replay can be.';
      return;
    }
    scores.setName(name);
    $('upload-send').disabled = true;
    result.textContent = 'Verifying your game…';
    const answer = await scores.submit(name, await file.text());
    result.textContent = scores.describe(answer);
    $('upload-send').disabled = false;
    if (answer.run) {
      offset = Math.floor((answer.run.rank - 1) / PAGE) * PAGE;
      await show();
    }
  });

  show();
})();
