#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/image_comparison.h"

TEST(ImageComparison, CountsLevelsCoverageAndPsnr)
{
    RgbImage white{2, 2, std::vector<uint8_t>(12, 255)};
    const ImageDifference same = compareImages(white, white);
    EXPECT_EQ(same.pixelsOver2, 0);
    EXPECT_TRUE(std::isinf(same.psnr));
    EXPECT_EQ(same.coverageIoU, 1.0);

    RgbImage a = white, b = white;
    a.pixels[0] = 252;  // pixel 0: 3 levels apart, covered in a only
    a.pixels[3] = 0;    // pixel 1: covered in both, 40 levels apart
    b.pixels[3] = 40;
    b.pixels[6] = 254;  // pixel 2: covered in b only, 1 level apart
    const ImageDifference d = compareImages(a, b);
    EXPECT_EQ(d.pixelsOver2, 2);
    EXPECT_EQ(d.pixelsOver32, 1);
    EXPECT_DOUBLE_EQ(d.coverageIoU, 1.0 / 3.0);
    EXPECT_NEAR(d.psnr, 10 * std::log10(255.0 * 255.0 / ((9 + 1600 + 1) / 12.0)), 1e-9);

    const RgbImage panel = differencePanel(a, b);
    EXPECT_EQ(panel.pixels[0], 255 - 12);
    EXPECT_EQ(panel.pixels[3], 255 - 160);
    EXPECT_EQ(panel.pixels[9], 255);

    RgbImage panels[2] = {RgbImage{1, 1, {0, 0, 0}}, RgbImage{2, 2, std::vector<uint8_t>(12, 7)}};
    const RgbImage canvas = sideBySide(panels, 2, 1);
    EXPECT_EQ(canvas.width, 4);
    EXPECT_EQ(canvas.height, 2);
    EXPECT_EQ(canvas.pixels[0], 0);
    EXPECT_EQ(canvas.pixels[3], 255);                // the gap
    EXPECT_EQ(canvas.pixels[6], 7);                  // second panel, top row
    EXPECT_EQ(canvas.pixels[(1 * 4 + 0) * 3], 255);  // below the short first panel
}
