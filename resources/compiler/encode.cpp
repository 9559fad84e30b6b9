#include "encode.h"

#include <algorithm>
#include <map>

namespace {

void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

int RowStride(int width, int bitsPerPixel) { return (width * bitsPerPixel / 8 + 3) & ~3; }

void PutInfoHeader(Bytes& b, int width, int height, int bitsPerPixel) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));  // positive: bottom-up rows
    Put16(b, 1);
    Put16(b, bitsPerPixel);
    Put32(b, 0);  // no compression
    Put32(b, static_cast<uint32_t>(RowStride(width, bitsPerPixel) * height));
    Put32(b, 2835);  // 72 dots per inch
    Put32(b, 2835);
    Put32(b, bitsPerPixel == 8 ? 256 : 0);
    Put32(b, 0);
}

uint8_t Unpremultiply(uint8_t c, uint8_t a) {
    return a == 0 ? 0 : static_cast<uint8_t>(std::min(255, (c * 255 + a / 2) / a));
}

// The colour a 24-bit picture stores for one pixel, as red, green, blue.
void OpaqueColour(const uint8_t* px, bool cutout, uint8_t rgb[3]) {
    for (int c = 0; c < 3; ++c) {
        if (!cutout)
            rgb[c] = static_cast<uint8_t>(px[c] + 255 - px[3]);
        else
            rgb[c] = IsShown(px) ? Unpremultiply(px[c], px[3]) : 255;
    }
}

// Writes the index rows of an 8-bit picture; `index` gives each pixel's entry.
template <typename IndexOf>
void PutIndexRows(Bytes& b, const Picture& p, IndexOf index) {
    const int pad = RowStride(p.width, 8) - p.width;
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) b.push_back(index(p.At(x, y)));
        b.insert(b.end(), pad, 0);
    }
}

uint32_t Key(const uint8_t rgb[3]) { return (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]; }

// Median cut: split the box of colours with the widest spread at its weighted median until there
// are `count` boxes; each box gives its weighted mean. For pictures with more than 256 colours.
std::vector<uint32_t> MedianCutTable(const std::map<uint32_t, int>& histogram, size_t count) {
    struct Item { int c[3]; long weight; };
    std::vector<Item> items;
    for (auto [colour, weight] : histogram)
        items.push_back({{int(colour >> 16), int((colour >> 8) & 255), int(colour & 255)}, weight});
    struct Span { size_t begin, end; };
    std::vector<Span> boxes{{0, items.size()}};
    auto spread = [&](const Span& b, int& channel) {
        int best = -1;
        for (int c = 0; c < 3; ++c) {
            int lo = 255, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, items[i].c[c]);
                hi = std::max(hi, items[i].c[c]);
            }
            if (hi - lo > best) best = hi - lo, channel = c;
        }
        return best;
    };
    while (boxes.size() < count) {
        size_t widest = 0;
        int widestSpread = 0, channel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int c = 0, s = spread(boxes[i], c);
            if (s > widestSpread) widestSpread = s, widest = i, channel = c;
        }
        if (widestSpread == 0) break;
        Span b = boxes[widest];
        std::sort(items.begin() + b.begin, items.begin() + b.end,
                  [&](const Item& x, const Item& y) { return x.c[channel] < y.c[channel]; });
        long total = 0, half = 0;
        for (size_t i = b.begin; i < b.end; ++i) total += items[i].weight;
        size_t cut = b.begin + 1;
        for (size_t i = b.begin; i + 1 < b.end && half + items[i].weight <= total / 2; ++i) {
            half += items[i].weight;
            cut = i + 1;
        }
        boxes[widest] = {b.begin, cut};
        boxes.push_back({cut, b.end});
    }
    std::vector<uint32_t> table;
    for (const Span& b : boxes) {
        long sum[3] = {0, 0, 0}, total = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            for (int c = 0; c < 3; ++c) sum[c] += long(items[i].c[c]) * items[i].weight;
            total += items[i].weight;
        }
        uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) colour = (colour << 8) | uint32_t((sum[c] + total / 2) / total);
        table.push_back(colour);
    }
    return table;
}

uint8_t Nearest(const std::vector<uint32_t>& table, uint32_t rgb) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < table.size(); ++i) {
        long d = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            long diff = static_cast<long>((table[i] >> shift) & 255) - ((rgb >> shift) & 255);
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = static_cast<int>(i);
    }
    return static_cast<uint8_t>(best);
}

}  // namespace

Bytes EncodeBmp24(const Picture& p, bool cutout) {
    Bytes b;
    PutInfoHeader(b, p.width, p.height, 24);
    const int pad = RowStride(p.width, 24) - p.width * 3;
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            uint8_t rgb[3];
            OpaqueColour(p.At(x, y), cutout, rgb);
            b.push_back(rgb[2]);
            b.push_back(rgb[1]);
            b.push_back(rgb[0]);
        }
        b.insert(b.end(), pad, 0);
    }
    return b;
}

Bytes EncodeBmp8(const Picture& p, bool cutout) {
    // First how often each colour occurs, then its index in the table.
    std::map<uint32_t, int> used;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            uint8_t rgb[3];
            OpaqueColour(p.At(x, y), cutout, rgb);
            ++used[Key(rgb)];
        }
    }
    std::vector<uint32_t> table;
    if (used.size() <= 256) {
        for (auto& [colour, index] : used) {
            index = static_cast<int>(table.size());
            table.push_back(colour);
        }
    } else {
        table = MedianCutTable(used, 256);
        for (auto& [colour, index] : used) index = Nearest(table, colour);
    }
    table.resize(256, 0);

    Bytes b;
    PutInfoHeader(b, p.width, p.height, 8);
    for (uint32_t colour : table) Put32(b, colour);  // blue, green, red, 0 in little-endian order
    PutIndexRows(b, p, [&](const uint8_t* px) {
        uint8_t rgb[3];
        OpaqueColour(px, cutout, rgb);
        return static_cast<uint8_t>(used[Key(rgb)]);
    });
    return b;
}

Bytes EncodeMask(const Picture& p) {
    Bytes b;
    PutInfoHeader(b, p.width, p.height, 8);
    for (uint32_t grey = 0; grey < 256; ++grey) Put32(b, (grey << 16) | (grey << 8) | grey);
    PutIndexRows(b, p, [](const uint8_t* px) { return static_cast<uint8_t>(IsShown(px) ? 255 : 0); });
    return b;
}

Bytes EncodeCursor(const Picture& p, int hotX, int hotY) {
    Bytes b;
    Put16(b, p.width);
    Put16(b, p.height);
    Put16(b, hotX);
    Put16(b, hotY);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = p.At(x, y);
            for (int c = 0; c < 3; ++c) b.push_back(Unpremultiply(px[c], px[3]));
            b.push_back(px[3]);
        }
    }
    return b;
}
