// The figures --renderer both prints, computed here rather than by the page under test. White
// pixels are background for the coverage IoU; alpha is ignored.
'use strict';

function compareImages(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let pixelsOver2 = 0, pixelsOver32 = 0, squaredError = 0, intersection = 0, union = 0;
  const count = a.width * a.height;
  for (let i = 0; i < count * 4; i += 4) {
    let largest = 0, inA = false, inB = false;
    for (let c = 0; c < 3; ++c) {
      const d = a.rgba[i + c] - b.rgba[i + c];
      largest = Math.max(largest, Math.abs(d));
      squaredError += d * d;
      inA = inA || a.rgba[i + c] !== 255;
      inB = inB || b.rgba[i + c] !== 255;
    }
    if (largest > 2) ++pixelsOver2;
    if (largest > 32) ++pixelsOver32;
    if (inA && inB) ++intersection;
    if (inA || inB) ++union;
  }
  const meanSquaredError = count ? squaredError / (3 * count) : 0;
  return {
    pixelsOver2,
    pixelsOver32,
    psnr: meanSquaredError === 0 ? Infinity : 10 * Math.log10((255 * 255) / meanSquaredError),
    coverageIoU: union ? intersection / union : 1,
  };
}

// null when both are the same bytes, else how many pixels differ and where the first one is.
function byteDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) return `sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`;
  if (Buffer.compare(Buffer.from(a.rgba), Buffer.from(b.rgba)) === 0) return null;
  let differing = 0, first = -1;
  for (let i = 0; i < a.rgba.length; i += 4) {
    if (a.rgba[i] !== b.rgba[i] || a.rgba[i + 1] !== b.rgba[i + 1] || a.rgba[i + 2] !== b.rgba[i + 2] ||
        a.rgba[i + 3] !== b.rgba[i + 3]) {
      if (first < 0) first = i;
      ++differing;
    }
  }
  const at = first / 4;
  const bytes = (image) => Array.from(image.rgba.slice(first, first + 4)).join(',');
  return `${differing} of ${a.width * a.height} pixels differ; the first at (${at % a.width}, ${Math.floor(at / a.width)}): ` +
    `${bytes(a)} against ${bytes(b)}`;
}

module.exports = { compareImages, byteDifference };
