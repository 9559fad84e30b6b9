// The pixel store behind every toolbox bitmap: a device-independent bitmap laid out exactly as
// in a BMP file (a 40-byte BITMAPINFOHEADER, for 8-bit images a colour table of 256 entries
// blue, green, red, 0, then bottom-up rows padded to 4 bytes).
//
// Pixel coordinates: (x, y) from the image's top-left corner, y down.
//
// There are no display palettes here: an 8-bit image keeps its own colour table, and whatever
// reads it as colour goes through that table. A fresh 8-bit image gets a grey ramp (entry i is
// i, i, i), so index 0 is black and index 255 white, the two values masks are made of.
//
// Resources are used in place: the header, table and rows point into the compiled-in bytes,
// which are never written. The first write through dib_WriteView, dib_SetPixelRGB or
// dib_CopyRect (as target) copies the image into storage of its own first (copy on write).
//
// Ownership: a record owns `section` and frees it in dib_Free. Records are not copyable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/pixels.h"

constexpr int32_t kDibHeaderSize = 40;
constexpr int32_t kDibColorTableSize = 256 * 4;

struct DibRecord {
    const uint8_t* resource = nullptr;  // the resource's bytes while the image is read in place
    const uint8_t* info = nullptr;      // BITMAPINFOHEADER, then the colour table (8 bits)
    const uint8_t* bits = nullptr;      // first byte of the bottom-up rows
    std::unique_ptr<uint8_t[]> section; // our own header, table and rows; null while in place
};

// Creation. Each replaces whatever the record held; width and height below 0 count as 0.
// They return false (and leave the record empty) when the storage cannot be had.
// 8 bits: grey-ramp colour table, every pixel index 0. 24 bits: every pixel black.
bool dib_CreateSection8(DibRecord& image, int32_t width, int32_t height);
bool dib_CreateSection24(DibRecord& image, int32_t width, int32_t height);

// Points the record at bitmap resource `id`, in place. False when there is no such resource or
// its bytes do not hold a whole 8- or 24-bit image; the record is then left empty.
bool dib_LoadResource(DibRecord& image, int id);

// Releases the storage (a resource in place needs nothing) and empties the record.
void dib_Free(DibRecord& image);

// Header accessors; 0 (null for the table) for an empty record.
int32_t dib_GetWidth(const DibRecord& image);
int32_t dib_GetHeight(const DibRecord& image);
int32_t dib_GetBitCount(const DibRecord& image);
int32_t dib_GetStride(const DibRecord& image);     // bytes per stored row
size_t dib_GetImageSize(const DibRecord& image);   // stride x height
const uint8_t* dib_GetColorTable(const DibRecord& image);  // 256 x (b, g, r, 0); null at 24 bits

// True while the pixels are still the resource's own bytes.
inline bool dib_IsInPlace(const DibRecord& image) { return image.resource != nullptr; }

// Gives the record storage of its own if it is still a resource in place. False when that
// storage cannot be had (the record is then unchanged).
bool dib_MakeWritable(DibRecord& image);

// Views for the raster code. A read view of a resource in place points into read-only bytes:
// never write through it. dib_WriteView makes the record writable first; an invalid view
// (bits null) means the copy could not be made.
PixelView dib_ReadView(const DibRecord& image);
PixelView dib_WriteView(DibRecord& image);

// The address of pixel (x, y); null outside the image (negative coordinates included).
const uint8_t* dib_GetPixelAddress(const DibRecord& image, int32_t x, int32_t y);

// Colour of one pixel (8-bit images through their table); black outside the image.
void dib_GetPixelRGB(const DibRecord& image, int32_t x, int32_t y, uint8_t& red, uint8_t& green,
                     uint8_t& blue);
// Writes one pixel (8-bit images get the nearest table entry); nothing outside the image.
void dib_SetPixelRGB(DibRecord& image, int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue);

// Copies a w x h block from (sx, sy) of `source` to (tx, ty) of `target`, byte by byte.
// Key 0 copies every byte; key 1..255 leaves the target's byte wherever the source byte equals
// the key (per byte, so at 24 bits per colour component, not per pixel). Both images must have
// the same depth (otherwise nothing is copied). The block is clipped to both images here, so
// a caller that clipped already loses nothing and one that did not cannot write astray.
void dib_CopyRect(const DibRecord& source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                  DibRecord& target, int32_t tx, int32_t ty, int key);
