// The page's settings rules, run in Node on the page's own script (no browser needed).
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const source = fs.readFileSync(path.join(__dirname, '../../web/page/page_settings.js'), 'utf8');
const page = vm.createContext({URLSearchParams});
vm.runInContext(source, page);
const {applySettings, initialSettings, settingsFromAddress, addressOf, commandLineOf} = page;
const plain = (value) => JSON.parse(JSON.stringify(value));

test('a new scene returns to OpenGL and mip-mapping unless the same call names them', () => {
  const software = applySettings(initialSettings(), {renderer: 'software', mipmapping: false}).settings;
  assert.deepStrictEqual([software.renderer, software.mipmapping], ['software', false]);
  const switched = applySettings(software, {scene: 2}).settings;
  assert.deepStrictEqual([switched.scene, switched.renderer, switched.mipmapping], [2, 'opengl', true]);
  const kept = applySettings(software, {scene: 3, renderer: 'software'}).settings;
  assert.deepStrictEqual(plain([kept.renderer, kept.view]), ['software', [-135, -60, 0.25, 0, 0]]);
});

test('bad values give a problem each and the nearest sane value', () => {
  const cases = [
    [{scene: 12}, 'scene', 9], [{scene: 0}, 'scene', 1], [{scene: 'two'}, 'scene', 4],
    [{size: '99999x0'}, 'size', [2048, 1]], [{size: 'big'}, 'size', [480, 480]],
    [{show: 'bogus'}, 'show', 'picture'], [{renderer: 'raytracer'}, 'renderer', 'opengl'],
    [{view: [1, 2, 3]}, 'view', [-135, -60, 0.25, 0, 0]],
    [{view: [1, 'NaN', 1e30, -1e300, 5]}, 'view', [1, -60, 400, -100000, 5]],
    [{view: [Infinity, 1e9, -401, 0, 100001]}, 'view', [2 ** 24, 2 ** 24, -400, 0, 100000]],
  ];
  for (const [given, key, expected] of cases) {
    const {settings, problems} = applySettings(initialSettings(), given);
    assert.deepStrictEqual(plain(settings[key]), expected, JSON.stringify(given));
    assert.ok(problems.length > 0, `no problem reported for ${JSON.stringify(given)}`);
  }
  assert.strictEqual(applySettings(initialSettings(), {colour: 'red'}).problems.length, 1);
});

test('the address round-trips the settings, and the command line names them', () => {
  const given = '?scene=4&view=-134,9,3.8,-78,-89&renderer=software&show=depth&size=320x240&mipmapping=0';
  const {settings, problems} = settingsFromAddress(given);
  assert.deepStrictEqual(problems.length, 0);
  assert.strictEqual(addressOf(settings), given);
  assert.strictEqual(commandLineOf(settings), 'pixelwright-render --scene 4 --view -134 9 3.8 -78 -89 --size 320x240 ' +
    '--renderer software --show depth --no-mipmapping --output scene4.png');
});
