#include "manifest.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

bool ParseKind(const std::string& word, EntryKind& kind) {
    static const struct { const char* name; EntryKind kind; } kKinds[] = {
        {"bmp24", EntryKind::Bmp24}, {"bmp8", EntryKind::Bmp8},     {"mask", EntryKind::Mask},
        {"cursor", EntryKind::Cursor}, {"icon", EntryKind::Icon}, {"wave", EntryKind::Wave},
    };
    for (const auto& k : kKinds) {
        if (word == k.name) {
            kind = k.kind;
            return true;
        }
    }
    return false;
}

bool ParseSize(const std::string& word, int& w, int& h) {
    char x = 0;
    std::istringstream in(word);
    return (in >> w >> x >> h) && x == 'x' && in.eof() && w > 0 && h > 0 && w <= 8192 && h <= 8192;
}

// "a,b,c" into doubles; true when exactly `count` numbers were read.
bool ParseNumbers(const std::string& text, double* out, int count) {
    std::istringstream in(text);
    for (int i = 0; i < count; ++i) {
        if (!(in >> out[i])) return false;
        if (i + 1 < count) {
            char comma = 0;
            if (!(in >> comma) || comma != ',') return false;
        }
    }
    return in.eof() || (in >> std::ws).eof();
}

bool ParseOption(const std::string& word, ManifestEntry& e) {
    if (word == "noaa") return e.noAntialias = true;
    if (word == "cutout") return e.cutout = true;
    if (word.rfind("layer=", 0) == 0) {
        e.layer = word.substr(6);
        return !e.layer.empty();
    }
    if (word.rfind("view=", 0) == 0) {
        double v[4];
        if (!ParseNumbers(word.substr(5), v, 4) || v[2] <= 0 || v[3] <= 0) return false;
        e.view = ViewBox{v[0], v[1], v[2], v[3]};
        return true;
    }
    if (word.rfind("hot=", 0) == 0) {
        double v[2];
        if (!ParseNumbers(word.substr(4), v, 2)) return false;
        e.hotX = static_cast<int>(v[0]);
        e.hotY = static_cast<int>(v[1]);
        return true;
    }
    return false;
}

}  // namespace

bool ReadManifest(const std::string& path, std::vector<ManifestEntry>& entries) {
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        return false;
    }
    std::string text;
    for (int lineNo = 1; std::getline(file, text); ++lineNo) {
        std::istringstream in(text);
        std::string kind, id, source, size, option;
        if (!(in >> kind) || kind[0] == '#') continue;
        auto fail = [&](const char* why) {
            std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), lineNo, why);
            return false;
        };
        ManifestEntry e;
        e.line = lineNo;
        if (!ParseKind(kind, e.kind)) return fail("unknown kind");
        if (!(in >> id >> source >> size)) return fail("expected: kind id source size [options]");
        try {
            e.id = std::stoi(id);
        } catch (...) {
            return fail("bad id");
        }
        e.source = source;
        if (e.kind == EntryKind::Wave) {
            if (size != "-") return fail("a wave has no size: write '-'");
        } else if (!ParseSize(size, e.width, e.height)) {
            return fail("bad size, expected WxH");
        }
        while (in >> option) {
            if (option[0] == '#') break;
            if (!ParseOption(option, e)) return fail("bad option");
        }
        if (e.kind == EntryKind::Cursor &&
            (e.hotX < 0 || e.hotY < 0 || e.hotX >= e.width || e.hotY >= e.height)) {
            return fail("hot spot outside the cursor");
        }
        entries.push_back(e);
    }
    return true;
}
