// SPDX-License-Identifier: MIT
// The engine compiled to WebAssembly, driven through the page's entry points under node, against
// the native xscatter-batch of the same source: the same files byte for byte for accepted entries,
// the same warning for refused ones, and the box resets of the desktop.
//   node --no-experimental-fetch engine.test.js ENGINE_JS XSCATTER_BATCH DATA_FOLDER
'use strict';
const assert = require('node:assert/strict');
const {kFiles, nativeRun} = require('./native.js');

const [enginePath, batch, dataFolder] = process.argv.slice(2);
const createXscatter = require(enginePath);

const kVoltage = '\u3000管電圧が範囲外 ';
const kTargetAngle = '\u3000ターゲット角度を再入力\u3000';
const kInherent = '\u3000固有ろ過を再入力\u3000';
const kNotComputable = '\u3000この条件ではスペクトルを計算できません\u3000';
const kAngle = ' 散乱角度が範囲外です ';
const kAluminium = '\u3000アルミ付加フィルタを再入力\u3000';
const kCopper = '\u3000銅付加フィルタを再入力\u3000';

const base = {kv: '100', targetAngle: '12', inherent: '2.5', al: '0', cu: '0', angle: '90'};
// name, changed entries, the warning expected (none: accepted), the box reset to its default.
const kCases = [
  ['defaults', {}, null],
  ['lowest voltage', {kv: '40'}, null],
  ['highest voltage', {kv: '150'}, null],
  ['odd half volt', {kv: '80.7'}, null],
  ['voltage with unit text', {kv: '70kV'}, null],
  ['blanks inside a number', {kv: ' 1 2 0 '}, null],
  ['exponent', {kv: '1.2E2', inherent: '25e-1'}, null],
  ['steep target', {targetAngle: '7'}, null],
  ['thick inherent', {inherent: '6'}, null],
  ['aluminium and copper', {al: '2', cu: '0.3'}, null],
  ['smallest angle', {angle: '5'}, null],
  ['largest angle', {angle: '175'}, null],
  ['back scatter', {angle: '150.5'}, null],
  ['forward', {kv: '60', angle: '20'}, null],
  ['voltage below range', {kv: '39.9'}, kVoltage],
  ['voltage above range', {kv: '150.1'}, kVoltage],
  ['empty voltage', {kv: ''}, kVoltage],
  ['target angle below 1', {targetAngle: '0.9'}, kTargetAngle, 'TargetAngle'],
  ['target angle as text', {targetAngle: 'abc'}, kTargetAngle, 'TargetAngle'],
  ['inherent below 1', {inherent: '0.5'}, kInherent, 'InherentFiltration'],
  ['voltage checked first', {kv: '20', targetAngle: '0'}, kVoltage],
  ['target angle before inherent', {targetAngle: '0', inherent: '0'}, kTargetAngle, 'TargetAngle'],
  ['target angle of 90 degrees', {targetAngle: '90'}, kTargetAngle, 'TargetAngle'],
  ['negative aluminium', {al: '-1'}, kAluminium, 'AddedAluminium'],
  ['negative copper', {cu: '-0.1'}, kCopper, 'AddedCopper'],
  ['full-width digits', {kv: '１２０', angle: '４５'}, null],
  ['copper beyond any beam', {cu: '1e6'}, kNotComputable],
  ['angle below range', {angle: '4.9'}, kAngle],
  ['angle above range', {angle: '175.1'}, kAngle],
  ['empty angle', {angle: ''}, kAngle],
  ['lead filter', {filters: ['Pb:0.1']}, null],
  ['two filters, names in any case', {filters: ['sn:0.5', 'BE:1'], angle: '45'}, null],
];

const kBoxOrder = ['kv', 'targetAngle', 'inherent', 'al', 'cu'];

createXscatter().then((engine) => {
  const call = (name, ...args) =>
    JSON.parse(engine.ccall(name, 'string', args.map(() => 'string'), args));
  assert.equal(call('xs_start', '/Data').status, 'completed');
  let failures = 0;
  for (const [name, changes, warning, resetBox] of kCases) {
    const entries = {...base, ...changes};
    try {
      const native = nativeRun(batch, dataFolder, entries);
      call('xs_enter_conditions');
      assert.equal(call('xs_set_filters', (entries.filters || []).join('\n')).status, 'completed');
      const calculated = call('xs_calculate', ...kBoxOrder.map((box) => entries[box]));
      let message = calculated.message;
      const files = {};
      if (calculated.status === 'completed') {
        files['P_Spectrum.dat'] = call('xs_confirm_conditions').files['P_Spectrum.dat'];
        const scattered = call('xs_scatter', entries.angle);
        message = scattered.message;
        if (scattered.status === 'completed') Object.assign(files, scattered.files);
        else delete files['P_Spectrum.dat'];  // the batch tool writes nothing for a refused run
      } else {
        assert.deepEqual(calculated.reset, resetBox ? [resetBox] : [], 'boxes reset');
        if (resetBox) {
          const defaults = {TargetAngle: '12', InherentFiltration: '2.5', AddedAluminium: '0', AddedCopper: '0'};
          assert.equal(calculated.boxes[resetBox], defaults[resetBox], 'reset text');
        }
      }
      assert.equal(message, warning ?? '', 'warning');
      assert.equal(native.message, warning ?? '', 'native message');
      assert.equal(native.code, warning ? 2 : 0, 'native exit status');
      assert.deepEqual(Object.keys(files).sort(), Object.keys(native.files).sort(), 'file names');
      for (const file of kFiles) {
        if (file in native.files) assert.ok(files[file] === native.files[file], `${file} differs`);
      }
      console.log(`ok   ${name}${warning ? ' (refused)' : ''}`);
    } catch (error) {
      failures += 1;
      console.log(`FAIL ${name}: ${error.message}`);
    }
  }
  console.log(`${kCases.length - failures} of ${kCases.length} engine cases agree with xscatter-batch`);
  process.exitCode = failures ? 1 : 0;
});
