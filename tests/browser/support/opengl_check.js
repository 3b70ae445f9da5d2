// The page's OpenGL frame against Mesa's, drawn by pixelwright-render in the same run.
'use strict';
const assert = require('node:assert/strict');
const { setState, pageFrame } = require('./page_calls');
const { nativePicture, keepPicture } = require('./native');
const { compareImages, byteDifference } = require('./compare');

const minimumIoU = 0.99;
const minimumPsnr = 35;

// Asserts that the page's OpenGL frame is near Mesa's, telling a missing WebGL renderer (the page
// fell back to its software frame) apart from one that draws differently.
async function assertNearOpenGl(page, state, name) {
  await setState(page, state);
  const [shown, native, software] = await Promise.all([
    pageFrame(page), nativePicture(state), nativePicture({ ...state, renderer: 'software' })]);
  // What the page says about itself: its message and its note (why it has no WebGL, say).
  const message = await page.evaluate(() => ['message', 'note']
    .map((id) => document.getElementById(id)?.textContent.trim()).filter(Boolean).join(' / '));
  if (!byteDifference(shown, software))
    assert.fail(`asked for opengl, the page drew its software frame: no WebGL renderer? The page says: "${message}"`);
  const figures = compareImages(shown, native);
  if (figures.coverageIoU < minimumIoU || figures.psnr < minimumPsnr) {
    assert.fail(`coverage IoU ${figures.coverageIoU.toFixed(4)} (at least ${minimumIoU}), ` +
      `PSNR ${figures.psnr.toFixed(2)} dB (at least ${minimumPsnr}), ${figures.pixelsOver32} pixels over 32 levels; ` +
      `the page says: "${message}"\n  page: ${keepPicture(shown, `${name}-page`)}` +
      `\n  native: ${keepPicture(native, `${name}-native`)}`);
  }
  return { figures, shown };
}

module.exports = { assertNearOpenGl, minimumIoU, minimumPsnr };
