// The resource manifest: one line per resource, read by the resource compiler.
//
//   kind  id  source  size  options...
//
// kind:    bmp24 | bmp8 | mask | cursor | icon | wave
// source:  a path relative to the art folder, or for waves "synth:<recipe>"
// size:    WxH in pixels ("-" for waves)
// options: noaa           render without anti-aliasing (one exact colour per area)
//          cutout         pixels less than half covered become pure white, the rest keep their
//                         own colour (for pictures drawn through a mask)
//          view=x,y,w,h   render only this area of the drawing (drawing units)
//          layer=name     render only the element with this id
//          hot=x,y        cursor hot spot
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class EntryKind { Bmp24, Bmp8, Mask, Cursor, Icon, Wave };

struct ViewBox {
    double x = 0, y = 0, w = 0, h = 0;
};

struct ManifestEntry {
    EntryKind kind = EntryKind::Bmp24;
    int id = 0;
    std::string source;
    int width = 0, height = 0;
    bool noAntialias = false;
    bool cutout = false;
    std::optional<ViewBox> view;
    std::string layer;
    int hotX = 0, hotY = 0;
    int line = 0;  // for messages
};

// Reads the manifest; on a malformed line prints "file:line: reason" and returns false.
bool ReadManifest(const std::string& path, std::vector<ManifestEntry>& entries);
