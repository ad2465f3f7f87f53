// SPDX-License-Identifier: MIT
// Runs the native xscatter-batch on one set of box texts in a fresh folder holding the tables:
// its three files (or its message) are what the page must give for the same entries.
'use strict';
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const kFiles = ['P_Spectrum.dat', 'Inc_Spectrum.dat', 'Coh_Spectrum.dat'];

function nativeRun(batch, dataFolder, {kv, targetAngle, inherent, al, cu, angle, filters = []}) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'xscatter-native-'));
  fs.symlinkSync(path.resolve(dataFolder), path.join(folder, 'Data'));
  const args = [`--kv=${kv}`, `--target-angle=${targetAngle}`, `--inherent=${inherent}`,
                `--al=${al}`, `--cu=${cu}`, `--angle=${angle}`,
                ...filters.map((filter) => `--filter=${filter}`)];
  let code = 0;
  let stderr = '';
  try {
    execFileSync(path.resolve(batch), args, {cwd: folder, stdio: ['ignore', 'ignore', 'pipe']});
  } catch (error) {
    code = error.status;
    stderr = error.stderr.toString();
  }
  const files = {};
  for (const name of kFiles) {
    const file = path.join(folder, name);
    if (fs.existsSync(file)) files[name] = fs.readFileSync(file, 'latin1');
  }
  fs.rmSync(folder, {recursive: true});
  return {code, message: stderr.replace(/\n$/, ''), files};
}

module.exports = {kFiles, nativeRun};
