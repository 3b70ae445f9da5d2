// Camera poses as --view numbers: the viewer's initial one and two far from it (zoomed and panned,
// seen from below), so that a wrong camera, clip or pan cannot hide behind a symmetric scene.
'use strict';
module.exports = {
  initial: [-135, -60, 0.25, 0, 0],
  turned: [-134, 9, 3.8, -78, -89],
  below: [-100, 40, -2, 30, -20],
};
