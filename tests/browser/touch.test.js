// Fingers on a touch screen: one finger turns the camera as a left drag does, two fingers pan by
// the move of their midpoint and zoom by a notch (2) for each 1.25-fold spread.
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { openSite } = require('./support/site');
const { pagePose, settle, framePoint } = require('./support/page_calls');
const poses = require('./support/poses');

// Each step: where the fingers are, in frame pixels (the first step puts them down).
async function touch(page, steps) {
  const client = await page.context().newCDPSession(page);
  const points = async (fingers) => Promise.all(fingers.map(async ([x, y], id) => ({ ...(await framePoint(page, x, y)), id })));
  await client.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: await points(steps[0]) });
  for (const fingers of steps.slice(1))
    await client.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: await points(fingers) });
  await client.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await client.detach();
  await settle(page);
}

const [az, el, zoom, panX, panY] = poses.initial;
const gestures = [
  { name: 'one finger turns', steps: [[[200, 200]], [[210, 195]], [[230, 190]]], pose: [az + 30, el - 10, zoom, panX, panY] },
  { name: 'two fingers moved together pan', steps: [[[200, 240], [280, 240]], [[210, 245], [290, 245]], [[220, 250], [300, 250]]],
    pose: [az, el, zoom, panX + 20, panY + 10] },
  // A spread from 80 to 160 pixels is 2-fold: three whole 1.25-fold steps (1.95), the midpoint kept.
  { name: 'two fingers spread zoom in', steps: [[[200, 240], [280, 240]], [[180, 240], [300, 240]], [[160, 240], [320, 240]]],
    pose: [az, el, zoom + 6, panX, panY] },
  { name: 'two fingers pinched zoom out', steps: [[[160, 240], [320, 240]], [[200, 240], [280, 240]]],
    pose: [az, el, zoom - 6, panX, panY] },
];

describe('touch', () => {
  let site;
  before(async () => { site = await openSite({ hasTouch: true }); });
  after(async () => { await site?.close(); });

  for (const { name, steps, pose } of gestures) {
    it(name, async () => {
      await site.open();
      await touch(site.page, steps);
      assert.deepStrictEqual(await pagePose(site.page), pose);
      site.assertNoPageErrors();
    });
  }
});
