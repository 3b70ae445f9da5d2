// The page's script interface called from the tests, with pictures carried out as base64.
'use strict';

async function setState(page, state) {
  await page.evaluate((s) => window.pixelwright.set(s), state);
}

async function pageFrame(page) {
  const { width, height, base64 } = await page.evaluate(async () => {
    const frame = await window.pixelwright.frame();
    const bytes = frame.rgba;
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000)
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return { width: frame.width, height: frame.height, base64: btoa(text) };
  });
  return { width, height, rgba: Buffer.from(base64, 'base64') };
}

async function pagePose(page) {
  return page.evaluate(async () => Array.from(await window.pixelwright.pose()));
}

// The page may hand the history out as the printed text or as the parsed object.
async function pagePixel(page, x, y) {
  const history = await page.evaluate(async ([px, py]) => window.pixelwright.pixel(px, py), [x, y]);
  return typeof history === 'string' ? JSON.parse(history) : history;
}

// Lets the page handle what input has arrived and draw: two animation frames.
async function settle(page) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

// Where frame pixel (x, y) is in the page's coordinates, however large the canvas is shown.
async function framePoint(page, x, y) {
  return page.evaluate(([fx, fy]) => {
    const canvas = document.getElementById('frame');
    const box = canvas.getBoundingClientRect();
    const style = getComputedStyle(canvas);
    const left = box.left + canvas.clientLeft + parseFloat(style.paddingLeft);
    const top = box.top + canvas.clientTop + parseFloat(style.paddingTop);
    const shownWidth = canvas.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const shownHeight = canvas.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
    return { x: left + (fx * shownWidth) / canvas.width, y: top + (fy * shownHeight) / canvas.height };
  }, [x, y]);
}

// The state the address holds, with the page's initial values for what it leaves out.
function addressStateNow(page) {
  const query = new URL(page.url()).searchParams;
  const flag = query.get('mipmapping');
  return {
    scene: query.get('scene') ?? '4',
    renderer: query.get('renderer') ?? 'opengl',
    mipmapping: flag === null || flag === '1' || flag === 'true',
    view: query.get('view'),
  };
}

// The address once it satisfies `ready`, or as it stands after two seconds: the page may bring it
// up to date a little after the frame (browsers throttle history updates).
async function addressState(page, ready = () => true) {
  for (let waited = 0; waited < 2000; waited += 50) {
    if (ready(addressStateNow(page))) break;
    await new Promise((resume) => setTimeout(resume, 50));
  }
  return addressStateNow(page);
}

// Pose numbers as the camera holds them, in single precision.
function singlePrecision(pose) {
  return pose.map((n) => Math.fround(n));
}

module.exports = { setState, pageFrame, pagePose, pagePixel, settle, framePoint, addressState, singlePrecision };
