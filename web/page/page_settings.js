// What the page shows, as the address and pixelwright.set() give it: checked, with the nearest sane
// value and a sentence for anything that could not be taken as it stood.

const VIEW_NAMES = ['picture', 'depth', 'normal', 'bumped-normal', 'texcoord', 'mip-level', 'ambient', 'diffuse',
  'specular', 'overdraw', 'polygons'];
const POSE_NAMES = ['azimuth', 'elevation', 'zoom', 'panX', 'panY'];
// The page's frames stay short enough to leave it answering input (a 2048 × 2048 software frame takes
// a few tenths of a second); the command line goes further.
const MAX_SIDE = 2048;
// Past these every picture is the same, or the arithmetic stops being the viewer's: beyond 2^24 a
// float no longer counts whole degrees of a drag; a zoom past ±400 notches puts every scene behind
// the eye or beyond the far plane; a pan past ±100 000 pixels moves it a thousand units aside.
const POSE_LIMITS = [2 ** 24, 2 ** 24, 400, 100000, 100000];

function initialSettings() {
  // The viewer's start: scene 4 drawn by OpenGL, mip-mapped, from its initial camera.
  return {scene: 4, view: [-135, -60, 0.25, 0, 0], renderer: 'opengl', show: 'picture', size: [480, 480],
    mipmapping: true};
}

// A number given as a number or as text; NaN for anything else. Kept as given (3.8, not the float
// nearest it), so that the address and the command line read as the person wrote them.
function givenNumber(value) {
  if (typeof value === 'number') return value;
  return typeof value === 'string' && value.trim() !== '' ? Number(value) : NaN;
}

function checkScene(value, problems) {
  const n = Number(value);
  if (Number.isInteger(n) && n >= 1 && n <= 9) return n;
  const nearest = Number.isFinite(n) ? Math.min(9, Math.max(1, Math.round(n))) : 4;
  problems.push(`scene "${value}" is not 1 to 9; showing scene ${nearest}`);
  return nearest;
}

function checkView(value, current, problems) {
  const parts = Array.isArray(value) ? value : String(value).split(',');
  if (parts.length !== 5) {
    problems.push(`view needs five numbers (azimuth, elevation, zoom, panX, panY), not "${value}"; keeping ${current.join(',')}`);
    return current.slice();
  }
  return parts.map((part, k) => {
    const n = givenNumber(part);
    if (Math.abs(n) <= POSE_LIMITS[k]) return n;
    const nearest = Number.isNaN(n) ? current[k] : Math.sign(n) * POSE_LIMITS[k];
    problems.push(Number.isNaN(n) ? `view ${POSE_NAMES[k]} "${part}" is no number; keeping ${nearest}`
      : `view ${POSE_NAMES[k]} ${part} is past ±${POSE_LIMITS[k]}; using ${nearest}`);
    return nearest;
  });
}

function checkSize(value, current, problems) {
  const match = /^\s*(-?\d+)\s*[x×]\s*(-?\d+)\s*$/.exec(String(value));
  if (!match) {
    problems.push(`size "${value}" is not WIDTHxHEIGHT; keeping ${current.join('x')}`);
    return current.slice();
  }
  const sides = [Number(match[1]), Number(match[2])].map((side) => Math.min(MAX_SIDE, Math.max(1, side)));
  if (sides[0] !== Number(match[1]) || sides[1] !== Number(match[2]))
    problems.push(`size "${value}": each side is 1 to ${MAX_SIDE} pixels here; using ${sides.join('x')}`);
  return sides;
}

function checkChoice(name, value, choices, current, problems) {
  if (choices.includes(value)) return value;
  problems.push(`${name} "${value}" is none of ${choices.join(', ')}; keeping ${current}`);
  return current;
}

function checkFlag(name, value, current, problems) {
  if (value === true || value === 1 || value === '1' || value === 'true' || value === 'on') return true;
  if (value === false || value === 0 || value === '0' || value === 'false' || value === 'off') return false;
  problems.push(`${name} "${value}" is neither on nor off; keeping it ${current ? 'on' : 'off'}`);
  return current;
}

// The settings after `given` is applied to `current`. Keys left out keep their value, except that a
// new scene returns to OpenGL and mip-mapping, as the viewer's scene keys do, unless the same call
// names them.
function applySettings(current, given) {
  const problems = [];
  const next = {...current, view: current.view.slice(), size: current.size.slice()};
  const has = (key) => given[key] !== undefined && given[key] !== null;
  if (has('scene')) {
    next.scene = checkScene(given.scene, problems);
    next.renderer = 'opengl';
    next.mipmapping = true;
  }
  if (has('view')) next.view = checkView(given.view, next.view, problems);
  if (has('renderer')) next.renderer = checkChoice('renderer', given.renderer, ['software', 'opengl'], next.renderer, problems);
  if (has('show')) next.show = checkChoice('show', given.show, VIEW_NAMES, next.show, problems);
  if (has('size')) next.size = checkSize(given.size, next.size, problems);
  if (has('mipmapping')) next.mipmapping = checkFlag('mipmapping', given.mipmapping, next.mipmapping, problems);
  for (const key of Object.keys(given))
    if (!['scene', 'view', 'renderer', 'show', 'size', 'mipmapping'].includes(key)) problems.push(`"${key}" is no setting of the page`);
  return {settings: next, problems};
}

function settingsFromAddress(search) {
  const given = {};
  for (const [key, value] of new URLSearchParams(search)) given[key] = value;
  return applySettings(initialSettings(), given);
}

function addressOf(settings) {
  const parts = [`scene=${settings.scene}`, `view=${settings.view.join(',')}`, `renderer=${settings.renderer}`,
    `show=${settings.show}`, `size=${settings.size.join('x')}`, `mipmapping=${settings.mipmapping ? 1 : 0}`];
  return '?' + parts.join('&');
}

// The native command that draws the same picture.
function commandLineOf(settings) {
  const words = ['pixelwright-render', '--scene', settings.scene, '--view', ...settings.view, '--size',
    settings.size.join('x'), '--renderer', settings.renderer];
  if (settings.show !== 'picture') words.push('--show', settings.show);
  if (!settings.mipmapping) words.push('--no-mipmapping');
  words.push('--output', `scene${settings.scene}.png`);
  return words.join(' ');
}

function poseOf(settings) {
  const [azimuth, elevation, zoom, panX, panY] = settings.view;
  return {azimuth, elevation, zoom, panX, panY};
}
