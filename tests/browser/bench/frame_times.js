// Frame times per scene for the README's speed table: the page's software and WebGL frames in
// headless Chromium (the times the page shows under the frame, min of N redraws at the viewer's
// initial camera) beside pixelwright-render --bench. Not part of the test run.
// Usage: node bench/frame_times.js [FRAMES]   (default 30; PIXELWRIGHT_SITE, PIXELWRIGHT_RENDER as for the tests)
'use strict';
const { openSite } = require('../support/site');
const { setState } = require('../support/page_calls');
const { runRenderTool } = require('../support/native');

const frames = Number(process.argv[2] || 30);
const view = [-135, -60, 0.25, 0, 0];

// The page's own time for its last frame of this renderer ('software' or 'WebGL'), or null.
async function shownTime(page, renderer) {
  const text = await page.textContent('#timing');
  const match = new RegExp(`${renderer} ([0-9.]+) ms`).exec(text);
  return match ? Number(match[1]) : null;
}

async function pageMinimum(page, scene, renderer) {
  await setState(page, { scene, renderer, view, size: '480x480', show: 'picture' });
  const label = renderer === 'opengl' ? 'WebGL' : 'software';
  let best = Infinity;
  for (let k = 0; k < frames; ++k) {
    await setState(page, { view });  // the same pose, drawn again
    const ms = await shownTime(page, label);
    if (ms === null) return null;
    best = Math.min(best, ms);
  }
  return best;
}

async function nativeMinimum(scene, renderer) {
  const { stdout } = await runRenderTool(['--scene', String(scene), '--renderer', renderer, '--bench', String(frames)]);
  const match = /min ([0-9.]+) ms/.exec(stdout);
  return match ? Number(match[1]) : null;
}

(async () => {
  const site = await openSite();
  try {
    await site.open();
    const note = (await site.page.textContent('#note')).trim();
    console.log(`min of ${frames} frames, 480 x 480, initial camera, ms${note ? ` (the page says: ${note})` : ''}`);
    console.log('| scene | native software | page software | native OpenGL | page WebGL |');
    console.log('|---|---|---|---|---|');
    const shown = (ms) => (ms === null ? '—' : ms.toFixed(1));
    for (const scene of [1, 2, 3, 4, 5]) {
      const row = [await nativeMinimum(scene, 'software'), await pageMinimum(site.page, scene, 'software'),
        await nativeMinimum(scene, 'opengl'), await pageMinimum(site.page, scene, 'opengl')];
      console.log(`| ${scene} | ${row.map(shown).join(' | ')} |`);
    }
  } finally {
    await site.close();
  }
})().catch((error) => { console.error(error); process.exitCode = 1; });
