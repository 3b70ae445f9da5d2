// The page's WebGL pictures agree with the native OpenGL renderer (Mesa) drawn in the same run.
'use strict';
const { describe, it, before, after } = require('node:test');
const { openSite } = require('./support/site');
const assert = require('node:assert/strict');
const { assertNearOpenGl } = require('./support/opengl_check');
const { nativePicture } = require('./support/native');
const { compareImages } = require('./support/compare');
const poses = require('./support/poses');

describe('WebGL frame within coverage IoU and PSNR limits of pixelwright-render --renderer opengl', () => {
  let site;
  before(async () => { site = await openSite(); await site.open(); });
  after(async () => { await site?.close(); });

  for (const scene of [1, 2, 3, 4, 5]) {
    for (const pose of ['initial', 'turned', 'below']) {
      it(`scene ${scene}, ${pose} pose`, async (t) => {
        const state = { scene, renderer: 'opengl', view: poses[pose], size: '480x480', show: 'picture' };
        const { figures } = await assertNearOpenGl(site.page, state, `opengl-${scene}-${pose}`);
        t.diagnostic(`IoU ${figures.coverageIoU.toFixed(4)}, PSNR ${figures.psnr.toFixed(2)} dB`);
      });
    }
  }

  // Mip-mapped and single-level textures differ by about 33 dB here: the frame must be the nearer one.
  it('single-level textures after mipmapping: false, scene 3', async () => {
    const state = { scene: 3, renderer: 'opengl', view: poses.initial, size: '480x480', mipmapping: false };
    const { figures, shown } = await assertNearOpenGl(site.page, state, 'opengl-3-single-level');
    const mipmapped = compareImages(shown, await nativePicture({ ...state, mipmapping: true }));
    assert.ok(figures.psnr > mipmapped.psnr,
      `nearer the mip-mapped picture (${mipmapped.psnr.toFixed(2)} dB) than the single-level one (${figures.psnr.toFixed(2)} dB)`);
  });
});
