// The page's software frames are pixelwright-render's, byte for byte.
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { openSite } = require('./support/site');
const { setState, pageFrame } = require('./support/page_calls');
const { nativePicture, keepPicture } = require('./support/native');
const { byteDifference } = require('./support/compare');
const poses = require('./support/poses');

const cases = [];
for (const scene of [1, 2, 3, 4, 5])
  for (const pose of ['initial', 'turned']) cases.push({ scene, pose, size: '480x480' });
cases.push({ scene: 3, pose: 'turned', size: '320x240' });
cases.push({ scene: 5, pose: 'below', size: '200x333' });

describe('software frame equals pixelwright-render --renderer software', () => {
  let site;
  before(async () => { site = await openSite(); await site.open(); });
  after(async () => { await site?.close(); });

  for (const { scene, pose, size } of cases) {
    it(`scene ${scene}, ${pose} pose, ${size}`, async () => {
      const state = { scene, renderer: 'software', view: poses[pose], size, show: 'picture' };
      await setState(site.page, state);
      const [shown, native] = await Promise.all([pageFrame(site.page), nativePicture(state)]);
      const difference = byteDifference(shown, native);
      if (difference) {
        const name = `software-${scene}-${pose}-${size}`;
        assert.fail(`${difference}\n  page: ${keepPicture(shown, `${name}-page`)}` +
          `\n  native: ${keepPicture(native, `${name}-native`)}`);
      }
    });
  }
});
