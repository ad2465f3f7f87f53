// SPDX-License-Identifier: MIT
// The page's script: it passes the boxes' texts to the engine, shows what the engine answers
// (charts, warnings, box resets, files, figures) and computes nothing itself.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const conditionInputs = ['kv', 'target-angle', 'inherent', 'al', 'cu'].map($);
  const timings = (window.xscatterTimings = {});
  let engine = null;
  const files = new Map(); // name -> {text, type}
  const figures = {primary: [], scatter: []};

  function call(name, ...args) {
    const text = engine.ccall(name, 'string', args.map(() => 'string'), args);
    return JSON.parse(text);
  }

  // The warning box: modal, one OK; resolves once it has been acknowledged.
  function showMessage(text) {
    return new Promise((resolve) => {
      const dialog = $('message');
      $('message-text').textContent = text;
      dialog.addEventListener('close', () => resolve(), {once: true});
      dialog.showModal();
      $('message-ok').focus();
    });
  }

  function showCharts(charts) {
    const boxes = {conditions: 'chart-conditions', scatterPrimary: 'chart-scatter-primary', scatter: 'chart-scatter'};
    for (const [name, svg] of Object.entries(charts || {})) {
      const box = $(boxes[name]);
      box.innerHTML = svg;
      box.dataset.svg = svg;
    }
  }

  function setBoxes(boxes) {
    for (const input of conditionInputs) input.value = boxes[input.dataset.box];
  }

  function showFigures(kind, answer) {
    figures[kind] = answer.figures || [];
    const table = $(kind + '-figures');
    table.replaceChildren();
    for (const figure of figures[kind]) {
      const row = table.insertRow();
      row.insertCell().textContent = figure.label;
      const value = row.insertCell();
      value.textContent = figure.value;
      value.className = 'value';
      row.insertCell().textContent = figure.unit;
    }
    $(kind + '-figures-note').textContent = answer.figuresNote ? '線質の値なし：' + answer.figuresNote : '';
    offerFile(kind === 'primary' ? 'primary_figures.csv' : 'scatter_figures.csv', figuresCsv(figures[kind]), 'text/csv');
  }

  function figuresCsv(rows) {
    if (rows.length === 0) return null;
    const quote = (text) => '"' + text.replace(/"/g, '""') + '"';
    return '\ufeff項目,値,単位\r\n' + rows.map((r) => [r.label, r.exact, r.unit].map(quote).join(',')).join('\r\n') + '\r\n';
  }

  // Files are offered as downloads under their own names, in a fixed order.
  const fileOrder = ['P_Spectrum.dat', 'Inc_Spectrum.dat', 'Coh_Spectrum.dat', 'primary_figures.csv', 'scatter_figures.csv'];
  function offerFile(name, text, type) {
    if (text === null) files.delete(name);
    else files.set(name, {text, type});
    renderDownloads();
  }
  function withdrawFiles(names) {
    for (const name of names) files.delete(name);
    renderDownloads();
  }

  function renderDownloads() {
    const list = $('downloads');
    for (const a of list.querySelectorAll('a[href^="blob:"]')) URL.revokeObjectURL(a.href);
    list.replaceChildren();
    for (const name of fileOrder) {
      if (!files.has(name)) continue;
      const {text, type} = files.get(name);
      list.append(downloadItem(name, new Blob([text], {type: type || 'application/octet-stream'})));
    }
    for (const [id, name] of [['chart-conditions', 'primary_chart'], ['chart-scatter', 'scatter_chart']]) {
      const svg = $(id).dataset.svg;
      if (!svg || $(id).closest('section').hidden) continue;
      list.append(downloadItem(name + '.svg', new Blob([svg], {type: 'image/svg+xml'})));
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = name + '.png';
      button.addEventListener('click', () => savePng(svg, name + '.png'));
      item.append(button);
      list.append(item);
    }
    $('files').hidden = list.children.length === 0;
  }

  function downloadItem(name, blob) {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.textContent = name;
    item.append(link);
    return item;
  }

  // The SVG drawn at twice its size onto a canvas.
  function savePng(svg, name) {
    const image = new Image();
    image.onload = () => {
      const canvas = document.createElement('canvas');
      canvas.width = image.width * 2;
      canvas.height = image.height * 2;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0, canvas.width, canvas.height);
      canvas.toBlob((blob) => {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(blob);
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
      }, 'image/png');
    };
    image.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(svg);
  }

  // Exposure-conditions screen, calculate.
  async function calculate() {
    // A calculation, even a refused one, may change what the scatter run would start from.
    leaveScatter();
    const filters = call('xs_set_filters', filterLines());
    if (filters.status !== 'completed') {
      await showMessage(filters.message);
      return;
    }
    const answer = call('xs_calculate', ...conditionInputs.map((input) => input.value));
    timings.firstResult ??= performance.now();
    if (answer.status !== 'completed') {
      await showMessage(answer.message);
      setBoxes(answer.boxes);
      return;
    }
    showCharts(answer.charts);
    showFigures('primary', answer);
    $('confirm').disabled = false;
  }

  // The chosen further filters, one "MATERIAL:MM" a line; rows without a material are left out.
  function filterLines() {
    const rows = [...document.querySelectorAll('.filter-row')];
    return rows
      .map((row) => [row.querySelector('select').value, row.querySelector('input').value.trim()])
      .filter(([material]) => material !== '')
      .map(([material, mm]) => material + ':' + mm)
      .join('\n');
  }

  function fillMaterials() {
    const answer = call('xs_materials');
    if (answer.status !== 'completed') {
      $('extra-filters').hidden = true;
      return;
    }
    for (const select of document.querySelectorAll('.filter-material')) {
      select.append(new Option('なし', ''));
      for (const name of answer.materials) select.append(new Option(name, name));
    }
  }

  function leaveScatter() {
    $('scatter').hidden = true;
    withdrawFiles(['P_Spectrum.dat', 'Inc_Spectrum.dat', 'Coh_Spectrum.dat', 'scatter_figures.csv']);
  }

  function reset() {
    showCharts(call('xs_reset').charts);
    $('confirm').disabled = true;
    showFigures('primary', {});
    leaveScatter();
  }

  // Exposure-conditions screen, OK: P_Spectrum.dat, the conditions as typed, the angle "90".
  function confirm() {
    if ($('confirm').disabled) return;
    const answer = call('xs_confirm_conditions');
    showCharts(answer.charts);
    const summary = ['summary-kv', 'summary-target-angle', 'summary-inherent', 'summary-al', 'summary-cu'];
    summary.forEach((id, i) => ($(id).value = conditionInputs[i].value));
    $('angle').value = '90';
    $('scatter').hidden = false;
    offerFile('P_Spectrum.dat', answer.files['P_Spectrum.dat']);
    $('scatter-title').scrollIntoView({block: 'start'});
    $('angle').focus();
  }

  // Scatter screen, OK.
  async function scatter() {
    const answer = call('xs_scatter', $('angle').value);
    if (answer.status !== 'completed') {
      await showMessage(answer.message);
      return;
    }
    showCharts(answer.charts);
    offerFile('Inc_Spectrum.dat', answer.files['Inc_Spectrum.dat']);
    offerFile('Coh_Spectrum.dat', answer.files['Coh_Spectrum.dat']);
    showFigures('scatter', answer);
    $('angle').focus();
  }

  function clearScatterChart() {
    showCharts(call('xs_clear_scatter_chart').charts);
    renderDownloads();
    $('angle').focus();
  }

  // The user's own tables: the files of the chosen folder are copied into the engine's file system
  // and read by the program's own reader; a folder it refuses leaves the tables in use as they were.
  let userFolders = 0;
  async function useOwnData(event) {
    const chosen = [...event.target.files];
    if (chosen.length === 0) return;
    const folder = '/UserData' + ++userFolders;
    engine.FS.mkdir(folder);
    for (const file of chosen) {
      engine.FS.writeFile(folder + '/' + file.name, new Uint8Array(await file.arrayBuffer()));
    }
    const started = call('xs_start', folder);
    if (started.status !== 'completed') {
      await showMessage(started.message);
      return;
    }
    const top = chosen[0].webkitRelativePath.split('/')[0] || chosen[0].name;
    $('data-folder-state').value = `「${top}」の表を使っています。`;
    for (const select of document.querySelectorAll('.filter-material')) select.replaceChildren();
    fillMaterials();
    enterConditions();
  }

  // As the main screen's OK: charts prepared, the default conditions, OK disabled.
  function enterConditions() {
    const entered = call('xs_enter_conditions');
    showCharts(entered.charts);
    setBoxes(entered.boxes);
    $('confirm').disabled = true;
    showFigures('primary', {});
    leaveScatter();
  }

  function wire() {
    $('data-folder').addEventListener('change', useOwnData);
    $('calculate').addEventListener('click', calculate);
    $('reset').addEventListener('click', reset);
    $('confirm').addEventListener('click', confirm);
    $('scatter-ok').addEventListener('click', scatter);
    $('clear').addEventListener('click', clearScatterChart);
    // A click into the angle box empties it; Enter there only moves on to OK.
    $('angle').addEventListener('mousedown', () => ($('angle').value = ''));
    $('angle').addEventListener('keydown', (event) => {
      if (event.key === 'Enter') {
        event.preventDefault();
        $('scatter-ok').focus();
      }
    });
    for (const form of [$('conditions-form'), $('angle-form')]) {
      form.addEventListener('submit', (event) => event.preventDefault());
    }
  }

  async function start() {
    wire();
    engine = await createXscatter();
    const started = call('xs_start', '/Data');
    if (started.status !== 'completed') {
      $('loading').textContent = started.message;
      await showMessage(started.message);
      return;
    }
    fillMaterials();
    enterConditions();
    $('loading').hidden = true;
    $('conditions').hidden = false;
    timings.ready = performance.now();
    document.body.dataset.ready = 'true';
    $('calculate').focus();
  }

  start();
})();
