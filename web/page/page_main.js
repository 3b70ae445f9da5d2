// Placeholder start: draws scene 1 once the module is ready.
Module.onRuntimeInitialized = function () {
  const renderer = new Module.PageRenderer();
  renderer.build(1, 480, 480, true);
  const picture = renderer.software({azimuth: -135, elevation: -60, zoom: 0.25, panX: 0, panY: 0});
  const canvas = document.getElementById('frame');
  canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(picture.rgba), 480, 480), 0, 0);
};
