// The address: a pose is a link that draws the same picture again, and a bad parameter gives a
// visible message and a sane picture, never a blank or stuck page.
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { openSite, siteFolder } = require('./support/site');
const { setState, pageFrame, pagePose, addressState, singlePrecision, framePoint, settle } = require('./support/page_calls');
const { nativePicture } = require('./support/native');
const { byteDifference } = require('./support/compare');

const screenshot = process.env.PIXELWRIGHT_SCREENSHOT || path.join(siteFolder, '..', 'page.png');
const largestSide = 2048;

const badAddresses = [
  '?scene=12', '?scene=0', '?scene=two',
  '?view=NaN,-60,0.25,0,0', '?view=1e300,-60,0.25,0,0', '?view=-135,-60,1e30,0,0', '?view=1,2,3',
  '?size=100000x100000', '?size=0x480', '?size=big',
  '?scene=2&renderer=raytracer', '?show=sideways',
];

async function messageText(page) {
  const message = page.locator('#message');
  return (await message.isVisible()) ? (await message.textContent()).trim() : '';
}

// The software frame equals the native one for the state the page says it is in.
async function assertSoftwareFrameMatchesState(page, show = 'picture') {
  const { scene } = await addressState(page, (now) => /^[1-9]$/.test(now.scene));
  assert.match(scene, /^[1-9]$/, `the address says scene=${scene}`);
  const view = await pagePose(page);
  assert.ok(view.every(Number.isFinite), `pose ${view.join(',')}`);
  const shown = await pageFrame(page);
  assert.ok(shown.width >= 1 && shown.height >= 1 && shown.width <= largestSide && shown.height <= largestSide,
    `frame ${shown.width}x${shown.height}`);
  const native = await nativePicture({ scene: Number(scene), view, size: `${shown.width}x${shown.height}`, show });
  const difference = byteDifference(shown, native);
  assert.equal(difference, null, `the frame is not the native one for scene ${scene} at ${view.join(',')}: ${difference}`);
}

describe('the address', () => {
  let site;
  before(async () => { site = await openSite(); });
  after(async () => { await site?.close(); });

  for (const query of badAddresses) {
    it(`${query} gives a message and a sane picture`, async () => {
      await site.open(query);
      assert.notEqual(await messageText(site.page), '', 'no visible message in #message');
      await setState(site.page, { renderer: 'software', show: 'picture' });
      await assertSoftwareFrameMatchesState(site.page);
      site.assertNoPageErrors();
    });
  }

  it('draws the pose, scene, renderer, view and size it names, without a message', async () => {
    await site.open('?scene=2&view=-134,9,3.8,-78,-89&renderer=software&show=depth&size=320x240');
    assert.equal(await messageText(site.page), '');
    assert.deepStrictEqual(singlePrecision(await pagePose(site.page)), singlePrecision([-134, 9, 3.8, -78, -89]));
    await assertSoftwareFrameMatchesState(site.page, 'depth');
  });

  it('keeps a pose set through the script interface, so that loading it again draws the same', async () => {
    await site.open();
    const view = [-10.5, 20, 1.5, 3, -4];
    await setState(site.page, { scene: 5, renderer: 'software', view });
    await addressState(site.page, (now) => now.view === view.join(','));
    const link = new URL(site.page.url());
    await site.page.goto('about:blank');
    await site.open(link.search);
    assert.deepStrictEqual(singlePrecision(await pagePose(site.page)), singlePrecision(view));
    assert.equal((await addressState(site.page)).renderer, 'software');
    await assertSoftwareFrameMatchesState(site.page);
  });

  // The README's picture of the page: as it opens, then with a pixel clicked and the comparison on.
  it('shows the frame whole on opening, and a clicked pixel\'s history; its screenshot goes to the README', async () => {
    await site.open('?scene=5');
    const box = await site.page.locator('#frame').boundingBox();
    const viewport = site.page.viewportSize();
    assert.ok(box && box.x >= 0 && box.y >= 0 && box.x + box.width <= viewport.width &&
      box.y + box.height <= viewport.height, `the frame lies at ${JSON.stringify(box)} in ${JSON.stringify(viewport)}`);
    await site.page.check('#compare');
    const pixel = await framePoint(site.page, 300, 200);
    await site.page.mouse.click(pixel.x, pixel.y);
    await settle(site.page);
    assert.match(await site.page.locator('#history h3').textContent(), /^Pixel 300, 200 /);
    assert.ok(await site.page.locator('#figures').isVisible(), 'no comparison figures');
    site.assertNoPageErrors();
    fs.mkdirSync(path.dirname(screenshot), { recursive: true });
    // Down to the page's last line, not the empty rest of the window.
    const bottom = await site.page.evaluate(() => Math.ceil(document.body.getBoundingClientRect().bottom) + 16);
    await site.page.screenshot({ path: screenshot, clip: { x: 0, y: 0, width: viewport.width, height: Math.min(bottom, viewport.height) } });
  });
});
