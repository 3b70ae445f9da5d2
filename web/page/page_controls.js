// The viewer's mouse and keys on the frame canvas, with its camera arithmetic: distances in frame
// pixels (integers, as the window's), a left drag turning the camera, a right or shift drag panning
// it, a wheel notch zooming by 2 (the viewer counts the press and the release of the wheel button).

const NOTCH = 100;          // Chromium's deltaY for one wheel notch
const PINCH_NOTCH = 1.25;   // a two-finger spread by this factor counts as one notch

// The frame pixel under a pointer event, however large the canvas is shown (its border left out).
function framePixel(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const left = event.clientX - box.left - canvas.clientLeft;
  const top = event.clientY - box.top - canvas.clientTop;
  const x = Math.floor(left * canvas.width / Math.max(canvas.clientWidth, 1));
  const y = Math.floor(top * canvas.height / Math.max(canvas.clientHeight, 1));
  return {x, y};
}

function wheelSteps(state, event) {
  // Lines (deltaMode 1) and pages (2) as the pixels Chromium would report for them.
  const scale = event.deltaMode === 1 ? NOTCH / 3 : event.deltaMode === 2 ? NOTCH * 3 : 1;
  state.wheel += event.deltaY * scale;
  let steps = 0;
  while (state.wheel <= -NOTCH) { state.wheel += NOTCH; steps += 1; }
  while (state.wheel >= NOTCH) { state.wheel -= NOTCH; steps -= 1; }
  return steps;
}

function twoFingers(pointers) {
  const [a, b] = [...pointers.values()];
  return {x: (a.x + b.x) / 2, y: (a.y + b.y) / 2, spread: Math.hypot(a.x - b.x, a.y - b.y)};
}

// page: {canvas, view() → the five numbers, move(view), click(x, y)}.
function attachControls(page) {
  const canvas = page.canvas;
  const state = {pointers: new Map(), wheel: 0, moved: false, pinch: null};

  function moveBy(mode, dx, dy) {
    if (dx === 0 && dy === 0) return;
    const view = page.view();
    if (mode === 'orbit') { view[0] += dx; view[1] += dy; } else { view[3] += dx; view[4] += dy; }
    page.move(view);
  }

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('pointerdown', (event) => {
    const at = framePixel(canvas, event);
    const pan = event.button === 2 || (event.button === 0 && event.shiftKey);
    if (event.button !== 0 && event.button !== 2) return;
    canvas.setPointerCapture(event.pointerId);
    state.pointers.set(event.pointerId, {...at, mode: pan ? 'pan' : 'orbit'});
    state.moved = false;
    if (state.pointers.size === 2) state.pinch = {...twoFingers(state.pointers), panned: [0, 0], steps: 0};
    event.preventDefault();
  });
  canvas.addEventListener('pointermove', (event) => {
    const pointer = state.pointers.get(event.pointerId);
    if (!pointer) return;
    const at = framePixel(canvas, event);
    const dx = at.x - pointer.x;
    const dy = at.y - pointer.y;
    if (dx !== 0 || dy !== 0) state.moved = true;
    pointer.x = at.x;
    pointer.y = at.y;
    if (state.pointers.size === 1) { moveBy(pointer.mode, dx, dy); return; }
    if (state.pointers.size !== 2) return;
    // Two fingers: their midpoint pans, their spread zooms, both counted from where the fingers
    // went down, so that rounding each move to whole pixels never adds up.
    const now = twoFingers(state.pointers);
    const pinch = state.pinch;
    const panned = [Math.round(now.x - pinch.x), Math.round(now.y - pinch.y)];
    moveBy('pan', panned[0] - pinch.panned[0], panned[1] - pinch.panned[1]);
    pinch.panned = panned;
    const steps = Math.trunc(Math.log(Math.max(now.spread, 1) / Math.max(pinch.spread, 1)) / Math.log(PINCH_NOTCH));
    if (steps !== pinch.steps) { page.zoomBy(2 * (steps - pinch.steps)); pinch.steps = steps; }
  });
  const release = (event) => {
    const pointer = state.pointers.get(event.pointerId);
    if (!pointer) return;
    state.pointers.delete(event.pointerId);
    if (state.pointers.size < 2) state.pinch = null;
    if (!state.moved && event.type === 'pointerup' && pointer.mode === 'orbit' && state.pointers.size === 0)
      page.click(pointer.x, pointer.y);
  };
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', release);
  canvas.addEventListener('wheel', (event) => {
    event.preventDefault();
    const steps = wheelSteps(state, event);
    if (steps !== 0) page.zoomBy(2 * steps);
  }, {passive: false});
}

// Keys 1–9, g and a, as the viewer takes them (no case folding); not while typing in a control.
function attachKeys(page) {
  document.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const target = event.target;
    if (target && (target.tagName === 'INPUT' || target.tagName === 'SELECT' || target.tagName === 'TEXTAREA')) return;
    if (event.key >= '1' && event.key <= '9') page.change({scene: Number(event.key)});
    else if (event.key === 'g') page.change({renderer: page.settings().renderer === 'opengl' ? 'software' : 'opengl'});
    else if (event.key === 'a') page.change({mipmapping: !page.settings().mipmapping});
  });
}
