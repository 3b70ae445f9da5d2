// Mouse and keys move the page as the viewer's callbacks move the viewer: a left drag adds
// (dx, dy) frame pixels to azimuth and elevation, a right or shift drag to the pan, a wheel notch
// (deltaY -100 or +100, smaller deltas summed) changes the zoom by +2 or -2; keys 1-9 pick a scene
// and return to OpenGL, g toggles the renderer, a the mip-mapping.
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { openSite } = require('./support/site');
const { pageFrame, pagePose, settle, framePoint, addressState, singlePrecision } = require('./support/page_calls');
const { nativePicture } = require('./support/native');
const { byteDifference } = require('./support/compare');
const poses = require('./support/poses');

function assertPose(actual, expected) {
  const near = singlePrecision(actual).every((n, k) => Math.abs(n - Math.fround(expected[k])) <= 1e-3);
  assert.ok(actual.length === 5 && near, `pose ${actual.join(',')}, expected ${expected.join(',')}`);
}

// Presses at frame pixel `from` and releases `by` frame pixels further, through one stop halfway.
async function drag(page, { button = 'left', shift = false, from, by }) {
  const at = (share) => framePoint(page, from[0] + Math.trunc(by[0] * share), from[1] + Math.trunc(by[1] * share));
  const start = await at(0), halfway = await at(0.5), end = await at(1);
  await page.mouse.move(start.x, start.y);
  if (shift) await page.keyboard.down('Shift');
  await page.mouse.down({ button });
  await page.mouse.move(halfway.x, halfway.y);
  await page.mouse.move(end.x, end.y);
  await page.mouse.up({ button });
  if (shift) await page.keyboard.up('Shift');
  await settle(page);
}

const [az, el, zoom, panX, panY] = poses.initial;
const drags = [
  { name: 'left drag orbits', size: '480x480', from: [100, 300], by: [37, -21], pose: [az + 37, el - 21, zoom, panX, panY] },
  { name: 'right drag pans', size: '480x480', button: 'right', from: [240, 240], by: [-15, 12], pose: [az, el, zoom, -15, 12] },
  { name: 'shift-drag pans', size: '480x480', shift: true, from: [50, 60], by: [25, 30], pose: [az, el, zoom, 25, 30] },
  { name: 'left drag on a small frame', size: '240x160', from: [20, 30], by: [40, 20], pose: [az + 40, el + 20, zoom, panX, panY] },
  { name: 'left drag on a large frame', size: '1600x1200', from: [1500, 1100], by: [-90, -60], pose: [az - 90, el - 60, zoom, panX, panY] },
];
// Each step's deltaYs, and the zoom change since the page opened once they are in.
const wheels = [
  { name: 'a notch up', steps: [[[-100], 2]] },
  { name: 'a notch down', steps: [[[100], -2]] },
  { name: 'two half notches', steps: [[[-50, -50], 2]] },
  { name: 'small deltas summed', steps: [[[-30, -30, -30], 0], [[-10], 2]] },
  { name: 'up and down', steps: [[[100, 100, -100], -2]] },
];
// Keys pressed after opening the initial page (scene 4, OpenGL, mip-mapped), and what follows.
const keys = [
  { keys: ['g'], scene: '4', renderer: 'software', mipmapping: true },
  { keys: ['g', '2'], scene: '2', renderer: 'opengl', mipmapping: true },
  { keys: ['g', '2', 'g'], scene: '2', renderer: 'software', mipmapping: true },
  { keys: ['5', 'g'], scene: '5', renderer: 'software', mipmapping: true },
  { keys: ['1', 'g', 'g'], scene: '1', renderer: 'opengl', mipmapping: true },
  { keys: ['8', 'g'], scene: '8', renderer: 'software', mipmapping: true },
  { keys: ['a'], scene: '4', renderer: 'opengl', mipmapping: false },
  { keys: ['a', 'a'], scene: '4', renderer: 'opengl', mipmapping: true },
  { keys: ['a', '3'], scene: '3', renderer: 'opengl', mipmapping: true },
];

describe('mouse and keys', () => {
  let site;
  before(async () => { site = await openSite(); });
  after(async () => { await site?.close(); });

  for (const { name, size, button, shift, from, by, pose } of drags) {
    it(`${name} (${by.join(', ')} at ${size})`, async () => {
      await site.open(`?size=${size}`);
      await drag(site.page, { button, shift, from, by });
      assertPose(await pagePose(site.page), pose);
      site.assertNoPageErrors();
    });
  }

  for (const { name, steps } of wheels) {
    it(`wheel: ${name}`, async () => {
      await site.open();
      const centre = await framePoint(site.page, 240, 240);
      await site.page.mouse.move(centre.x, centre.y);
      for (const [deltas, change] of steps) {
        for (const deltaY of deltas) await site.page.mouse.wheel(0, deltaY);
        await settle(site.page);
        assertPose(await pagePose(site.page), [az, el, zoom + change, panX, panY]);
      }
      site.assertNoPageErrors();
    });
  }

  for (const expected of keys) {
    it(`keys ${expected.keys.join(' ')}`, async () => {
      await site.open();
      for (const key of expected.keys) await site.page.keyboard.press(key);
      await settle(site.page);
      const wanted = { scene: expected.scene, renderer: expected.renderer, mipmapping: expected.mipmapping };
      const { scene, renderer, mipmapping } = await addressState(site.page,
        (now) => now.scene === wanted.scene && now.renderer === wanted.renderer && now.mipmapping === wanted.mipmapping);
      assert.deepStrictEqual({ scene, renderer, mipmapping }, wanted);
      assertPose(await pagePose(site.page), poses.initial);
      if (renderer === 'software') {
        const native = await nativePicture({ scene: Number(scene), view: poses.initial });
        const difference = byteDifference(await pageFrame(site.page), native);
        assert.equal(difference, null, `software frame after the keys: ${difference}`);
      }
      site.assertNoPageErrors();
    });
  }
});
