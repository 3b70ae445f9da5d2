// The page's start and its one drawing loop. Input only changes the settings and asks for a frame;
// the frame is drawn at the next animation frame from the settings as they are then, so a drag draws
// its latest pose and never a queue of stale ones.

function lookUpElements() {
  const ids = ['frame', 'legend', 'message', 'note', 'pose', 'command', 'copy-command', 'link', 'timing', 'fill',
    'fill-count', 'history', 'compare', 'software-panel', 'opengl-panel', 'difference-panel', 'figures', 'renderer',
    'mipmapping', 'show', 'size', 'scenes', 'panels'];
  const ui = {};
  for (const id of ids) ui[id.replace(/-(\w)/g, (_, c) => c.toUpperCase())] = document.getElementById(id);
  return ui;
}

function say(ui, problems) {
  ui.message.textContent = problems.join('. ');
  ui.message.hidden = problems.length === 0;
}

function poseText(view) { return view.join(', '); }

function showSettings(page) {
  const {ui, settings, renderers} = page;
  ui.pose.textContent = `--view ${settings.view.join(' ')}`;
  ui.command.textContent = commandLineOf(settings);
  ui.link.href = addressOf(settings);
  ui.renderer.value = settings.renderer;
  ui.mipmapping.checked = settings.mipmapping;
  ui.show.value = settings.show;
  const size = settings.size.join('x');
  if (![...ui.size.options].some((option) => option.value === size)) ui.size.add(new Option(size, size));
  ui.size.value = size;
  for (const button of ui.scenes.querySelectorAll('button'))
    button.setAttribute('aria-pressed', String(Number(button.dataset.scene) === settings.scene));
  ui.fill.max = String(renderers.polygons);
  ui.fill.value = String(Math.min(page.fill, renderers.polygons));
  ui.fillCount.textContent = `${ui.fill.value} of ${renderers.polygons} polygons`;
  ui.timing.textContent = Object.entries(page.times).map(([name, ms]) => `${name} ${ms.toFixed(1)} ms`).join(' · ');
}

// The address follows the pose, at most a few times a second (browsers throttle history updates).
function keepAddress(page) {
  clearTimeout(page.addressTimer);
  page.addressTimer = setTimeout(() => history.replaceState(null, '', addressOf(page.settings)), 250);
}

function drawComparison(page) {
  const {ui, renderers, settings} = page;
  ui.panels.hidden = !ui.compare.checked;
  ui.figures.hidden = !ui.compare.checked;
  if (!ui.compare.checked) return;
  const pose = poseOf(settings);
  const software = drawSoftware(renderers, pose).picture;
  const opengl = drawOpenGl(renderers, pose).picture;
  const difference = renderers.software.compare(software.rgba, opengl.rgba, software.width, software.height);
  putPicture(ui.softwarePanel, software);
  putPicture(ui.openglPanel, opengl);
  putPicture(ui.differencePanel, copyPicture(difference));
  ui.figures.textContent = figuresText(difference.figures) +
    (renderers.webgl ? '' : ' (no WebGL 2 here: both panels are the software renderer)');
}

function drawNow(page) {
  page.scheduled = false;
  const waiting = page.waiting;
  page.waiting = [];
  try {
    if (prepareScene(page.renderers, page.settings)) page.fill = Math.min(page.fill, page.renderers.polygons);
    const drawn = drawSettings(page.renderers, page.settings, page.fill);
    page.shown = drawn.picture;
    putPicture(page.ui.frame, drawn.picture);
    putPicture(page.ui.legend, drawn.legend);
    page.times[drawn.renderer === 'opengl' ? 'WebGL' : 'software'] = drawn.milliseconds;
    drawComparison(page);
    showSettings(page);
    keepAddress(page);
  } catch (error) {
    say(page.ui, [`Drawing failed: ${error.message || error}`]);
  }
  for (const settle of waiting) settle();
}

function requestDraw(page) {
  const drawn = new Promise((settle) => page.waiting.push(settle));
  if (!page.scheduled) {
    page.scheduled = true;
    requestAnimationFrame(() => drawNow(page));
  }
  return drawn;
}

// Applies settings as pixelwright.set() takes them; resolves once the frame shows them.
function changeSettings(page, given) {
  const {settings, problems} = applySettings(page.settings, given);
  if (settings.scene !== page.settings.scene || given.scene !== undefined) page.fill = Infinity;
  page.settings = settings;
  say(page.ui, problems);
  return requestDraw(page).then(() => ({problems}));
}

function attachPanels(page) {
  const {ui} = page;
  for (const button of ui.scenes.querySelectorAll('button'))
    button.addEventListener('click', () => changeSettings(page, {scene: Number(button.dataset.scene)}));
  ui.renderer.addEventListener('change', () => changeSettings(page, {renderer: ui.renderer.value}));
  ui.mipmapping.addEventListener('change', () => changeSettings(page, {mipmapping: ui.mipmapping.checked}));
  ui.show.addEventListener('change', () => changeSettings(page, {show: ui.show.value}));
  ui.size.addEventListener('change', () => changeSettings(page, {size: ui.size.value}));
  ui.compare.addEventListener('change', () => requestDraw(page));
  ui.fill.addEventListener('input', () => {
    const value = Number(ui.fill.value);
    page.fill = value >= page.renderers.polygons ? Infinity : value;
    requestDraw(page);
  });
  ui.copyCommand.addEventListener('click', () => {
    ui.command.hidden = false;
    if (navigator.clipboard) navigator.clipboard.writeText(ui.command.textContent).catch(() => {});
  });
}

function pixelHistory(page, x, y) {
  const [width, height] = page.settings.size;
  if (!Number.isInteger(x) || !Number.isInteger(y) || x < 0 || y < 0 || x >= width || y >= height)
    throw new RangeError(`pixel ${x}, ${y} is outside the ${width}x${height} frame`);
  return JSON.parse(page.renderers.software.pixel(poseOf(page.settings), x, y));
}

function startPage() {
  const ui = lookUpElements();
  const notes = [];
  const renderers = createRenderers((text) => notes.push(text));
  ui.note.textContent = notes.join(' ');
  ui.note.hidden = notes.length === 0;
  const {settings, problems} = settingsFromAddress(location.search);
  const page = {ui, renderers, settings, fill: Infinity, waiting: [], scheduled: false, times: {}, shown: null};
  say(ui, problems);
  attachPanels(page);
  attachKeys({change: (given) => changeSettings(page, given), settings: () => page.settings});
  attachControls({
    canvas: ui.frame,
    view: () => page.settings.view.slice(),
    move: (view) => changeSettings(page, {view}),
    zoomBy: (steps) => {
      const view = page.settings.view.slice();
      view[2] += steps;
      changeSettings(page, {view});
    },
    click: (x, y) => showPixelHistory(ui.history, pixelHistory(page, x, y), poseText(page.settings.view)),
  });
  requestDraw(page).then(() => { window.pixelwright = scriptInterface(page); });
}

// Scene 5's environment image goes where the renderer looks for it before anything is built.
Module.onRuntimeInitialized = function () {
  fetch('sphere.raw')
    .then((response) => (response.ok ? response.arrayBuffer() : Promise.reject(new Error(response.statusText))))
    .then((bytes) => Module.FS.writeFile('/sphere.raw', new Uint8Array(bytes)))
    .catch((error) => console.warn(`sphere.raw could not be loaded (${error.message}); scene 5 is drawn without it`))
    .then(startPage);
};
