// The inspection beside the frame: a pixel's history laid out for reading, and the comparison of
// the two renderers with the figures pixelwright-render --renderer both prints.

function element(tag, text, className) {
  const node = document.createElement(tag);
  if (text !== undefined) node.textContent = text;
  if (className) node.className = className;
  return node;
}

function numbers(value) {
  if (Array.isArray(value)) return value.map((v) => (typeof v === 'number' ? Number(v.toPrecision(5)) : v)).join(', ');
  if (typeof value === 'number') return String(Number(value.toPrecision(6)));
  if (value && typeof value === 'object') return JSON.stringify(value);
  return String(value);
}

function swatch(rgb, scale) {
  const box = element('span', '', 'swatch');
  const [r, g, b] = rgb.map((c) => Math.round(Math.min(1, Math.max(0, c / scale)) * 255));
  box.style.background = `rgb(${r}, ${g}, ${b})`;
  return box;
}

function fieldRows(table, object, prefix) {
  for (const [key, value] of Object.entries(object)) {
    if (value && typeof value === 'object' && !Array.isArray(value)) { fieldRows(table, value, `${prefix}${key}.`); continue; }
    if (Array.isArray(value) && value.length && typeof value[0] === 'object') {
      value.forEach((item, k) => fieldRows(table, item, `${prefix}${key}[${k}].`));
      continue;
    }
    const row = table.insertRow();
    row.insertCell().textContent = prefix + key;
    const cell = row.insertCell();
    cell.textContent = numbers(value);
    if (key === 'colour' && Array.isArray(value)) cell.prepend(swatch(value, 1));
  }
}

// The history object of --pixel --json, as a heading per fragment and a table of its fields.
function showPixelHistory(panel, history, poseText) {
  panel.replaceChildren();
  const heading = element('h3', `Pixel ${history.x}, ${history.y} (from the top left) at ${poseText}`);
  panel.append(heading);
  const stored = element('p', `Stored bytes: ${history.stored.join(', ')} `);
  stored.append(swatch(history.stored, 255));
  panel.append(stored);
  if (history.fragments.length === 0) panel.append(element('p', 'No polygon reached this pixel: it keeps the white background.'));
  history.fragments.forEach((fragment, k) => {
    const verdict = !fragment.passed ? 'failed the depth test' : fragment.shaded ? 'passed and was shaded' : 'passed, not shaded';
    panel.append(element('h4', `Fragment ${k + 1}: primitive ${fragment.primitive}, polygon ${fragment.polygon}, ${verdict}`));
    const table = element('table');
    const rest = {...fragment};
    delete rest.primitive;
    delete rest.polygon;
    fieldRows(table, rest, '');
    panel.append(table);
  });
  const raw = element('details');
  raw.append(element('summary', 'As JSON (pixelwright-render --pixel --json)'), element('pre', JSON.stringify(history, null, 2)));
  panel.append(raw);
}

function figuresText(figures) {
  const psnr = figures.psnr === null ? 'identical' : `PSNR ${figures.psnr.toFixed(2)} dB`;
  return `${figures.pixelsOver2} pixels more than 2 levels apart, ${figures.pixelsOver32} more than 32; ` +
    `${psnr}; coverage IoU ${figures.coverageIoU.toFixed(4)}`;
}
