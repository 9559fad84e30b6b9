// The program's compiled-in resources, looked up by kind and id.
//
// The bytes live in the executable for the program's whole life and must not be written;
// a caller that wants to change a resource copies it first.
//
// Formats:
//  - Bitmap: a BMP file without its 14-byte file header: a 40-byte BITMAPINFOHEADER, for 8-bit
//    pictures a 256-entry colour table (blue, green, red, 0), then bottom-up rows padded to 4.
//  - Cursor: little-endian uint16 width, height, hotX, hotY, then width * height pixels of
//    red, green, blue, alpha (straight alpha), top row first.
//  - Icon: the cursor format; the hot spot is 0, 0. One entry per size, ids from ResourceIcon.
//  - Wave: a complete RIFF WAVE file, 16-bit PCM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ResourceKind : uint8_t { Bitmap, Cursor, Icon, Wave };

struct ResourceData {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    explicit operator bool() const { return bytes != nullptr; }
};

// Makes the pictures with words on them (the labels) those of the first language in `wanted`
// that has its own ("de_DE", "de", named as the translations are); English when none has.
// Returns the language chosen, "" for English. Choose at start, before taking any picture: the
// bytes of an earlier choice go. Each of its pictures is unpacked when first asked for.
std::string ChooseResourceLanguage(const std::vector<std::string>& wanted);

// The resource of that kind and id, in the chosen language; empty when there is none.
ResourceData FindResource(ResourceKind kind, int id);

// Icons come in several sizes under one id; index 0, 1, ... until an empty result.
ResourceData FindIcon(int id, int index);

// Lets the system take back the pages of resources read so far. The bytes stay valid: the next
// read brings them in again from the executable's file.
void ReleaseResourcePages();
