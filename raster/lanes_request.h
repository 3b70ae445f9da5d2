#pragma once

// What the environment variable PIXELWRIGHT_LANES asks of a frame: the one-fragment path
// ("reference"), or the lane path in a narrower instruction set than the processor's widest
// ("256", "portable"), so that tests can run every copy on one machine. Read once per process.
enum class LanesRequest { widest, reference, k256, portable };

LanesRequest lanesRequest();
