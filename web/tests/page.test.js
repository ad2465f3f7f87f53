// SPDX-License-Identifier: MIT
// The page in Debian's chromium, opened as a file, used by clicking as a person would.
//   node page.test.js PAGE_HTML XSCATTER_BATCH DATA_FOLDER ARTIFACT_FOLDER
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {kFiles, nativeRun} = require('./native.js');

const [pagePath, batch, dataFolder, artifacts] = process.argv.slice(2);

const kFlags = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
                '--disable-component-update', '--no-first-run', '--disable-sync'];

let failures = 0;
async function check(name, body) {
  try {
    await body();
    console.log(`ok   ${name}`);
  } catch (error) {
    failures += 1;
    console.log(`FAIL ${name}: ${error.message}`);
  }
}

async function openPage(context) {
  const page = await context.newPage();
  const started = Date.now();
  await page.goto('file://' + path.resolve(pagePath));
  await page.waitForSelector('body[data-ready="true"]', {timeout: 20000});
  return {page, readyMs: Date.now() - started};
}

// Presses a button and acknowledges the warning box, which must show `text`.
async function expectWarning(page, press, text) {
  await press();
  const dialog = page.getByRole('dialog');
  await dialog.waitFor({state: 'visible', timeout: 5000});
  assert.equal(await page.locator('#message-text').textContent(), text);
  await dialog.getByRole('button', {name: 'OK'}).click();
  await dialog.waitFor({state: 'hidden', timeout: 5000});
}

// The box's text once the page has settled: a reset follows the acknowledgement of the warning.
async function settledValue(box, expected) {
  for (let tries = 0; tries < 40; ++tries) {
    if ((await box.inputValue()) === expected) break;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return box.inputValue();
}

async function downloadText(page, name) {
  const [download] = await Promise.all([
    page.waitForEvent('download'),
    page.locator('#downloads').getByRole('link', {name, exact: true}).click(),
  ]);
  assert.equal(download.suggestedFilename(), name);
  return fs.readFileSync(await download.path(), 'latin1');
}

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'xscatter-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: kFlags,
    acceptDownloads: true,
    viewport: {width: 1366, height: 768},
  });
  try {
    const {page, readyMs} = await openPage(context);
    const conditions = page.locator('#conditions');
    const scatter = page.locator('#scatter');

    await check('the boxes carry the screen labels and the defaults', async () => {
      const boxes = [['Ｘ線管電圧', '100'], ['ターゲット角度', '12'], ['固有ろ過（Al当量）', '2.5'],
                     ['アルミ付加フィルタ', '0'], ['銅付加フィルタ', '0']];
      for (const [label, text] of boxes) {
        assert.equal(await page.getByLabel(label, {exact: true}).inputValue(), text, label);
      }
      assert.ok(await conditions.getByRole('button', {name: 'OK'}).isDisabled(), 'OK disabled');
    });

    await check('typical run: the three files equal the native tool\'s', async () => {
      const started = Date.now();
      await conditions.getByRole('button', {name: 'スペクトル計算'}).click();
      await conditions.getByRole('button', {name: 'OK'}).click();
      const angle = page.getByLabel('散乱角度 θ （5～175）=', {exact: true});
      assert.equal(await angle.inputValue(), '90');
      await angle.click();
      assert.equal(await angle.inputValue(), '', 'a click empties the angle box');
      await angle.pressSequentially('90');
      await scatter.getByRole('button', {name: 'OK'}).click();
      await page.locator('#downloads').getByRole('link', {name: 'Coh_Spectrum.dat'}).waitFor();
      console.log(`     page ready ${readyMs} ms after navigation; typical run ${Date.now() - started} ms`);
      const timings = await page.evaluate(() => window.xscatterTimings);
      console.log(`     in-page: ready at ${timings.ready.toFixed(0)} ms, first result at ${timings.firstResult.toFixed(0)} ms`);
      const native = nativeRun(batch, dataFolder, {kv: '100', targetAngle: '12', inherent: '2.5', al: '0', cu: '0', angle: '90'});
      for (const name of kFiles) {
        assert.ok((await downloadText(page, name)) === native.files[name], `${name} differs`);
      }
      assert.equal(await page.locator('#summary-kv').textContent(), '100');
      assert.equal(await page.locator('#chart-scatter polyline').count(), 2, 'two scatter curves');
      const [png] = await Promise.all([
        page.waitForEvent('download'),
        page.locator('#downloads').getByRole('button', {name: 'scatter_chart.png'}).click(),
      ]);
      const picture = fs.readFileSync(await png.path());
      assert.equal(png.suggestedFilename(), 'scatter_chart.png');
      assert.equal(picture.subarray(1, 4).toString(), 'PNG', 'a PNG picture');
      assert.deepEqual([picture.readUInt32BE(16), picture.readUInt32BE(20)], [1214, 878], 'twice the chart size');
      fs.mkdirSync(artifacts, {recursive: true});
      await page.screenshot({path: path.join(artifacts, 'typical-run.png'), fullPage: true});
    });

    await check('a second OK overlays, Clear prepares the chart again', async () => {
      const angle = page.getByLabel('散乱角度 θ （5～175）=', {exact: true});
      await angle.click();
      await angle.pressSequentially('30');
      await angle.press('Enter');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'scatter-ok', 'Enter moves to OK');
      assert.equal(await page.locator('#chart-scatter polyline').count(), 2, 'Enter computes nothing');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => document.querySelectorAll('#chart-scatter polyline').length === 4);
      await scatter.getByRole('button', {name: 'Clear'}).click();
      assert.equal(await page.locator('#chart-scatter polyline').count(), 0);
    });

    await check('a refused angle warns and leaves the box', async () => {
      const angle = page.getByLabel('散乱角度 θ （5～175）=', {exact: true});
      await angle.click();
      await angle.pressSequentially('176');
      await expectWarning(page, () => scatter.getByRole('button', {name: 'OK'}).click(), ' 散乱角度が範囲外です ');
      assert.equal(await settledValue(angle, '176'), '176');
    });

    // box label, text typed, warning, box text after the warning
    const kRefused = [
      ['Ｘ線管電圧', '30', '\u3000管電圧が範囲外 ', '30'],
      ['ターゲット角度', '0', '\u3000ターゲット角度を再入力\u3000', '12'],
      ['固有ろ過（Al当量）', '0.5', '\u3000固有ろ過を再入力\u3000', '2.5'],
      ['銅付加フィルタ', '-1', '\u3000銅付加フィルタを再入力\u3000', '0'],
    ];
    for (const [label, text, warning, after] of kRefused) {
      await check(`refused ${label} ${text}`, async () => {
        const box = page.getByLabel(label, {exact: true});
        const before = await box.inputValue();
        await box.fill(text);
        await expectWarning(page, () => conditions.getByRole('button', {name: 'スペクトル計算'}).click(), warning);
        assert.equal(await settledValue(box, after), after);
        await box.fill(before);
      });
    }

    await check('a further filter: P_Spectrum.dat as with --filter, a bad thickness refused', async () => {
      await page.locator('#extra-filters summary').click();
      await page.getByLabel('材質 1', {exact: true}).selectOption('Pb');
      const thickness = page.getByLabel('厚さ 1', {exact: true});
      await thickness.fill('-1');
      await expectWarning(page, () => conditions.getByRole('button', {name: 'スペクトル計算'}).click(),
                          '\u3000フィルタ「Pb」の厚さを 0 以上の mm で再入力\u3000');
      assert.ok(await scatter.isHidden(), 'the scatter part closes on a new calculation');
      await thickness.fill('0.1');
      await conditions.getByRole('button', {name: 'スペクトル計算'}).click();
      await conditions.getByRole('button', {name: 'OK'}).click();
      const native = nativeRun(batch, dataFolder, {kv: '100', targetAngle: '12', inherent: '2.5', al: '0', cu: '0', angle: '90', filters: ['Pb:0.1']});
      assert.ok((await downloadText(page, 'P_Spectrum.dat')) === native.files['P_Spectrum.dat'], 'P_Spectrum.dat differs');
    });

    await check('an own Data folder: a short table refused with the reader\'s message, a whole one used', async () => {
      const broken = fs.mkdtempSync(path.join(os.tmpdir(), 'xscatter-data-'));
      for (const name of fs.readdirSync(dataFolder)) fs.copyFileSync(path.join(dataFolder, name), path.join(broken, name));
      fs.writeFileSync(path.join(broken, 'Mus.dat'), fs.readFileSync(path.join(dataFolder, 'Mus.dat'), 'latin1').slice(0, 500), 'latin1');
      const state = page.locator('#data-folder-state');
      const before = await state.textContent();
      await page.locator('#data-folder').setInputFiles(broken);
      const dialog = page.getByRole('dialog');
      await dialog.waitFor({state: 'visible', timeout: 5000});
      const message = await page.locator('#message-text').textContent();
      assert.match(message, /^データテーブル Mus\.dat /);
      await dialog.getByRole('button', {name: 'OK'}).click();
      assert.equal(await state.textContent(), before, 'the built-in tables stay in use');
      await page.locator('#data-folder').setInputFiles(path.resolve(dataFolder));
      await page.waitForFunction(() => document.querySelector('#data-folder-state').textContent.includes('data'));
      assert.equal(await page.getByLabel('Ｘ線管電圧', {exact: true}).inputValue(), '100');
      assert.ok(await conditions.getByRole('button', {name: 'OK'}).isDisabled(), 'OK disabled again');
      await conditions.getByRole('button', {name: 'スペクトル計算'}).click();
      await conditions.getByRole('button', {name: 'OK'}).click();
      const native = nativeRun(batch, dataFolder, {kv: '100', targetAngle: '12', inherent: '2.5', al: '0', cu: '0', angle: '90'});
      assert.ok((await downloadText(page, 'P_Spectrum.dat')) === native.files['P_Spectrum.dat'], 'P_Spectrum.dat differs');
      fs.rmSync(broken, {recursive: true});
    });

    await check('the page fits 1024 pixels without horizontal scrolling', async () => {
      await page.setViewportSize({width: 1024, height: 768});
      const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
      assert.ok(overflow <= 0, `${overflow} px too wide`);
    });
  } finally {
    await context.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }
  console.log(failures ? `${failures} page check(s) failed` : 'all page checks passed');
  process.exitCode = failures ? 1 : 0;
})().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
