// A browser without WebGL: the page says why and draws the OpenGL side with the software renderer,
// whose frame stays the native one.
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { openSite } = require('./support/site');
const { pageFrame, pagePose } = require('./support/page_calls');
const { nativePicture } = require('./support/native');
const { byteDifference } = require('./support/compare');

describe('without WebGL', () => {
  let site;
  before(async () => { site = await openSite({ args: ['--disable-webgl'] }); });
  after(async () => { await site?.close(); });

  it('notes it and draws with the software renderer', async () => {
    await site.open('?scene=3&renderer=opengl');
    const note = site.page.locator('#note');
    assert.ok(await note.isVisible(), 'no note on the missing WebGL 2');
    assert.match(await note.textContent(), /WebGL 2/);
    const native = await nativePicture({ scene: 3, view: await pagePose(site.page) });
    assert.equal(byteDifference(await pageFrame(site.page), native), null);
    site.assertNoPageErrors();
  });
});

describe('without WebAssembly SIMD', () => {
  let site;
  before(async () => { site = await openSite(); });
  after(async () => { await site?.close(); });

  it('says so instead of loading a renderer it cannot run', async () => {
    await site.page.addInitScript(() => { WebAssembly.validate = () => false; });
    await site.page.goto(`${site.address}/index.html?scene=2`);
    const message = site.page.locator('#message');
    await message.waitFor({ state: 'visible', timeout: 10000 });
    assert.match(await message.textContent(), /SIMD/);
    assert.equal(await site.page.evaluate(() => document.querySelector('script[src="pixelwright.js"]')), null);
  });
});
