// pixelwright-render drawn in the same run as the page, never pictures stored from an earlier one.
'use strict';
const { execFile } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { promisify } = require('node:util');
const { PNG } = require('pngjs');
const { repositoryRoot } = require('./site');

const run = promisify(execFile);
const renderTool = path.resolve(process.env.PIXELWRIGHT_RENDER || path.join(repositoryRoot, 'build/pixelwright-render'));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'pixelwright-browser-'));
let drawn = 0;

// The command line for one state as the page's set() takes it.
function renderArguments({ scene, renderer = 'software', view, size, show, mipmapping = true }) {
  const args = ['--scene', String(scene), '--renderer', renderer];
  if (view) args.push('--view', ...view.map(String));
  if (size) args.push('--size', size);
  if (show && show !== 'picture') args.push('--show', show, '--no-legend');
  if (!mipmapping) args.push('--no-mipmapping');
  return args;
}

// Runs from the repository root, where scene 5's sphere.raw lies.
async function runRenderTool(args) {
  return run(renderTool, args, { cwd: repositoryRoot, maxBuffer: 64 << 20 });
}

// {width, height, rgba} as pixelwright.frame() gives it (PNG's RGB with opaque alpha).
async function nativePicture(state) {
  const file = path.join(scratch, `native-${++drawn}.png`);
  await runRenderTool([...renderArguments(state), '--output', file]);
  const png = PNG.sync.read(fs.readFileSync(file));
  fs.unlinkSync(file);
  return { width: png.width, height: png.height, rgba: png.data };
}

// The pictures of --steps N, the fill cut after ceil(polygons · k / N) polygons for k = 1 … N.
async function nativeFillSteps(state, steps) {
  const file = path.join(scratch, `fill-${++drawn}.png`);
  await runRenderTool([...renderArguments(state), '--steps', String(steps), '--output', file]);
  const pictures = [];
  for (let k = 1; k <= steps; ++k) {
    const step = file.replace(/\.png$/, `-${String(k).padStart(3, '0')}.png`);
    const png = PNG.sync.read(fs.readFileSync(step));
    fs.unlinkSync(step);
    pictures.push({ width: png.width, height: png.height, rgba: png.data });
  }
  return pictures;
}

async function nativePixel(state, x, y) {
  const { stdout } = await runRenderTool([...renderArguments(state), '--pixel', `${x},${y}`, '--json']);
  return JSON.parse(stdout);
}

// Writes a picture beside the native ones, so a failure can point at what was seen.
function keepPicture(image, name) {
  const png = new PNG({ width: image.width, height: image.height });
  Buffer.from(image.rgba).copy(png.data);
  const file = path.join(scratch, `${name}.png`);
  fs.writeFileSync(file, PNG.sync.write(png));
  return file;
}

module.exports = { nativePicture, nativeFillSteps, nativePixel, keepPicture, renderArguments, renderTool, runRenderTool };
