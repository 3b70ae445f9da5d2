// Draws the settings into the frame canvas: the scene built once per scene, size and mip-mapping
// change, then each frame from the renderer or the inspection tool the settings choose.

function copyPicture(picture) {
  // The renderer's memory is reused (and may move) at its next picture.
  return picture && {width: picture.width, height: picture.height, rgba: new Uint8Array(picture.rgba)};
}

function createRenderers(note) {
  const renderers = {software: new Module.PageRenderer(), webgl: null, built: null, polygons: 0};
  if (!Module.WebGlRenderer) {
    note('This build has no WebGL renderer: the OpenGL pictures are drawn by the software renderer.');
    return renderers;
  }
  const webgl = new Module.WebGlRenderer('#opengl-canvas');
  if (webgl.available()) renderers.webgl = webgl;
  else note('This browser gives no WebGL 2 context, so the page draws with the software renderer only.');
  return renderers;
}

// Rebuilds what the scene number, size or mip-mapping changed; returns true when it did.
function prepareScene(renderers, settings) {
  const [width, height] = settings.size;
  const built = renderers.built;
  const software = renderers.software;
  if (!built || built.scene !== settings.scene) {
    software.build(settings.scene, width, height, settings.mipmapping);
  } else {
    const resized = built.size[0] !== width || built.size[1] !== height;
    const remapped = built.mipmapping !== settings.mipmapping;
    if (!resized && !remapped) return false;
    if (resized) software.resize(width, height);
    if (remapped) software.setMipmapping(settings.mipmapping);
  }
  // The WebGL side uploads a new scene's vertices and textures; it follows size and mip-mapping itself.
  if (renderers.webgl && (!built || built.scene !== settings.scene)) renderers.webgl.rebuild(software);
  renderers.built = {scene: settings.scene, size: [width, height], mipmapping: settings.mipmapping};
  renderers.polygons = software.polygons();
  return true;
}

function timed(draw) {
  const start = performance.now();
  const picture = copyPicture(draw());
  return {picture, milliseconds: performance.now() - start};
}

function drawSoftware(renderers, pose) {
  const picture = copyPicture(renderers.software.software(pose));
  return {picture, milliseconds: renderers.software.frameMilliseconds()};
}

function drawOpenGl(renderers, pose) {
  return renderers.webgl ? timed(() => renderers.webgl.draw(renderers.software, pose)) : drawSoftware(renderers, pose);
}

// What the frame shows: {picture, legend, milliseconds, renderer}. A fill short of the last polygon
// and the views are of the software frame, whichever renderer is chosen.
function drawSettings(renderers, settings, fill) {
  const pose = poseOf(settings);
  if (settings.show !== 'picture') {
    const start = performance.now();
    const view = renderers.software.view(pose, settings.show);
    const legend = copyPicture(view.legend);
    return {picture: copyPicture(view), legend, milliseconds: performance.now() - start, renderer: 'software'};
  }
  if (fill < renderers.polygons)
    return {...timed(() => renderers.software.fill(pose, fill)), renderer: 'software'};
  if (settings.renderer === 'opengl' && renderers.webgl) return {...drawOpenGl(renderers, pose), renderer: 'opengl'};
  return {...drawSoftware(renderers, pose), renderer: 'software'};
}

function putPicture(canvas, picture) {
  if (!picture || picture.width === 0 || picture.height === 0) {
    canvas.width = 0;
    canvas.height = 0;
    return;
  }
  if (canvas.width !== picture.width) canvas.width = picture.width;
  if (canvas.height !== picture.height) canvas.height = picture.height;
  const pixels = new ImageData(new Uint8ClampedArray(picture.rgba.buffer, picture.rgba.byteOffset,
    picture.rgba.length), picture.width, picture.height);
  canvas.getContext('2d').putImageData(pixels, 0, 0);
}
