// Making a colouring page clean: a drawing of dark lines on light paper (scanned, saved from the
// web, anti-aliased, JPEG-compressed) turned into pure black lines on pure white, so that the
// Jar fills each of its areas whole, with no grey rim left along the lines.
//
// The view is 24-bit (any other depth is left alone); it is changed in place, every pixel of it.
// Nothing is kept between calls.
#pragma once

#include "platform/pixels.h"

namespace pictures {

// How a view's pixels were judged.
struct LineArt {
    bool isLineArt = false;  // mostly near-grey, with a bright paper level most pixels share
    int threshold = 0;       // a pixel whose brightness is below it becomes black, the others white
};

// Judges the view and chooses the threshold, changing nothing. The threshold is the middle of
// the widest range of thresholds, between the ink's and the paper's brightness, over which the
// number of white areas and the number of black pieces both hold still: there thin lines are
// unbroken, and no gap the drawing left open has been closed by the grey around it.
LineArt JudgeLineArt(const PixelView& view);

// Makes every pixel pure black or pure white when the view is line art; a photo, a coloured
// drawing or a dark picture is left as it is. True when the view was line art.
bool CleanLineArt(const PixelView& view);

// Shrinks 24-bit `from` onto 24-bit `to` (each direction on its own) by averaging the block of
// pixels each target pixel covers: a line thinner than a block turns grey instead of vanishing
// between the sampled pixels, and cleaning then keeps it. A direction that grows takes the
// nearest pixel.
void ShrinkByArea(const PixelView& from, const PixelView& to);

}  // namespace pictures
