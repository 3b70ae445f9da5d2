#pragma once

#include "image/legend.h"
#include "image/rgb_image.h"

// How far two renderings of one view are apart.
struct ImageDifference {
    long pixelsOver2 = 0;   // pixels whose largest channel difference exceeds 2 levels
    long pixelsOver32 = 0;  // and 32 levels
    double psnr = 0.0;      // over all channels, in dB; infinite for identical images
    double coverageIoU = 1.0;  // intersection over union of the non-white pixels; 1 when both are empty
};

// The images must have the same size.
ImageDifference compareImages(const RgbImage& a, const RgbImage& b);

// White where the two agree, darker the more they differ (four times the largest channel difference).
RgbImage differencePanel(const RgbImage& a, const RgbImage& b);

// The white gap between the panels of a comparison.
constexpr int kPanelGap = 8;

// The panels left to right on one white canvas, a gap of gap pixels between them.
RgbImage sideBySide(const RgbImage* panels, int count, int gap);

// What the difference panel's greys mean: white where the two agree, black at 64 levels or more.
LegendEntry differenceLegend();
