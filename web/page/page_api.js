// window.pixelwright: the page for scripts (the browser's console, tests). Settings as the address
// takes them; pictures as {width, height, rgba}, top row first, without a legend.
function scriptInterface(page) {
  return Object.freeze({
    set: (given) => changeSettings(page, given || {}),
    frame: () => copyPicture(page.shown),
    pixel: (x, y) => pixelHistory(page, x, y),
    pose: () => page.settings.view.slice(),
    settings: () => JSON.parse(JSON.stringify(page.settings)),
    compare: (a, b) => {
      if (a.width !== b.width || a.height !== b.height) throw new RangeError('the pictures differ in size');
      return page.renderers.software.compare(a.rgba, b.rgba, a.width, a.height).figures;
    },
  });
}
