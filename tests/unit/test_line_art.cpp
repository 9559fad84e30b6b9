// Colouring pages made clean: pictures drawn anti-aliased by ImageMagick, some through JPEG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "pictures/line_art.h"
#include "platform/raster/fill.h"
#include "tests/support/reference_pixels.h"

namespace {

TEST(LineArt, ThinLinesStayClosedGapsStayOpenAndOnlyDrawingsOnPaperChange) {
    struct Row {
        const char* drawing;  // ImageMagick's options on a 200 x 150 picture; a shape around (100, 75)
        const char* file;     // its kind decides the compression
        bool lineArt, closed;
    } rows[] = {
        {"xc:white -stroke black -strokewidth 1 -draw 'polygon 30,20 170,45 140,135 25,110'", "bmp", true, true},
        {"xc:white -stroke black -strokewidth 0.4 -draw 'polygon 30,20 170,45 140,135 25,110'", "bmp", true, true},
        {"xc:gray94 -stroke gray30 -strokewidth 0.8 -draw 'ellipse 100,75 80,55 0,360'", "jpg", true, true},
        {"xc:white -stroke black -strokewidth 2 -draw 'polygon 100,10 190,75 100,140 10,75'", "jpg", true, true},
        // Open by one pixel: straight, and on a slant.
        {"xc:white -stroke black -draw 'polyline 100,20 170,20 170,130 30,130 30,20 98,20'", "bmp", true, false},
        {"xc:gray94 -stroke black -draw 'polyline 100,10 190,75 100,140 10,75 98,11.5'", "jpg", true, false},
        {"xc:white -stroke red -strokewidth 2 -draw 'ellipse 100,75 80,55 0,360'", "bmp", false, true},
        {"-seed 7 plasma:", "jpg", false, false},
        {"-seed 7 plasma: -colorspace gray", "bmp", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.drawing);
        const std::string file = testing::TempDir() + "line_art." + row.file;
        const std::string command = "convert -size 200x150 -fill none " + std::string(row.drawing) + " " + file;
        ASSERT_EQ(std::system(command.c_str()), 0);
        const reference::Picture drawn = reference::Read(file);
        ASSERT_EQ(drawn.width, 200);
        std::vector<uint8_t> pixels(drawn.bgr.size());  // bottom-up, as a bitmap keeps them
        for (int y = 0; y < 150; ++y) std::memcpy(&pixels[(149 - y) * 600], drawn.at(0, y), 600);
        const std::vector<uint8_t> before = pixels;
        const PixelView view{pixels.data(), 200, 150, 600};

        ASSERT_EQ(pictures::CleanLineArt(view), row.lineArt);
        EXPECT_TRUE(row.lineArt || pixels == before) << "a picture that is not line art changed";
        if (!row.lineArt) continue;
        for (uint8_t byte : pixels) ASSERT_TRUE(byte == 0 || byte == 255) << int{byte};
        const uint32_t inside = raster::PixelAt(view, 100, 75);
        raster::FloodFiller().fill(view, 100, 75, inside, raster::InkFor(view, 0, 0, 255), Rect{0, 0, 200, 150});
        EXPECT_EQ(raster::PixelAt(view, 100, 75) != raster::PixelAt(view, 2, 2), row.closed);
    }
}

}  // namespace
