// The page's views and pixel histories are the command line's (--show VIEW --no-legend, --pixel --json).
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { openSite } = require('./support/site');
const { setState, pageFrame, pagePixel, settle } = require('./support/page_calls');
const { nativePicture, nativeFillSteps, nativePixel, keepPicture } = require('./support/native');
const { byteDifference } = require('./support/compare');
const poses = require('./support/poses');

const views = [
  { scene: 4, show: 'depth', view: poses.turned, size: '480x480' },
  { scene: 1, show: 'normal', view: poses.initial, size: '320x240' },
  { scene: 3, show: 'mip-level', view: poses.initial, size: '480x480' },
];
// A bump-mapped tile, a lit sphere octant, and a pixel no polygon covers.
const pixels = [
  { scene: 4, view: poses.initial, size: '480x480', x: 240, y: 200 },
  { scene: 2, view: poses.turned, size: '480x480', x: 160, y: 40 },
  { scene: 1, view: poses.initial, size: '320x240', x: 0, y: 0 },
];

describe('views and pixel histories equal the command line', () => {
  let site;
  before(async () => { site = await openSite(); await site.open(); });
  after(async () => { await site?.close(); });

  for (const { scene, show, view, size } of views) {
    it(`${show} view of scene ${scene} at ${size}`, async () => {
      const state = { scene, renderer: 'software', view, size, show };
      await setState(site.page, state);
      const [shown, native] = await Promise.all([pageFrame(site.page), nativePicture(state)]);
      const difference = byteDifference(shown, native);
      if (difference) {
        const name = `view-${show}-${scene}`;
        assert.fail(`${difference}\n  page: ${keepPicture(shown, `${name}-page`)}` +
          `\n  native: ${keepPicture(native, `${name}-native`)}`);
      }
    });
  }

  for (const { scene, view, size, x, y } of pixels) {
    it(`history of pixel ${x},${y} in scene ${scene} at ${size}`, async () => {
      const state = { scene, renderer: 'software', view, size, show: 'picture' };
      await setState(site.page, state);
      assert.deepStrictEqual(await pagePixel(site.page, x, y), await nativePixel(state, x, y));
    });
  }

  it('the fill slider draws the frames of --steps', async () => {
    const state = { scene: 2, renderer: 'software', view: poses.initial, size: '320x240', show: 'picture' };
    await setState(site.page, state);
    const polygons = Number(await site.page.locator('#fill').getAttribute('max'));
    assert.ok(polygons > 4, `the slider runs to ${polygons}`);
    const steps = await nativeFillSteps(state, 4);
    for (const k of [1, 3]) {
      await site.page.locator('#fill').fill(String(Math.ceil(polygons * k / 4)));
      await settle(site.page);
      const difference = byteDifference(await pageFrame(site.page), steps[k - 1]);
      assert.equal(difference, null, `fill after step ${k} of 4: ${difference}`);
    }
  });
});
