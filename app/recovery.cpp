// The recovery copy on disk: when it is written, how it is laid out, and how it comes back.
#include "app/recovery.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/pictures.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "toolbox/toolbox.h"

namespace recovery {
namespace {

constexpr char kMagic[16] = {'P', 'i', 'c', 't', 'o', 'r', 'i', 'a', 'R', 'e', 'c', 'o', 'v', 'e', 'r', 'y'};
constexpr size_t kHeaderSize = 54;   // BMP file header and the 40-byte info header
constexpr size_t kGapFixed = 28;     // after the headers: magic, name length, (name), checksum
constexpr int32_t kLargestSide = 16384;
constexpr const char* kCopyName = "picture.bmp";
constexpr const char* kTemporaryPrefix = "picture.bmp.";

struct State {
    bool due = false;
    uint32_t dueAt = 0;
    bool onDisk = false;    // a copy of ours is in the folder
    uint64_t written = 0;   // what it holds (ContentHash), valid while onDisk
};
State gState;

uint64_t Fnv(const void* data, size_t size, uint64_t hash = 14695981039346656037ull) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

size_t PixelBytes(const PixelView& v) { return static_cast<size_t>(v.stride) * static_cast<size_t>(v.height); }

uint64_t ContentHash(const PixelView& v, const std::string& name) {
    const int32_t size[2] = {v.width, v.height};
    return Fnv(name.data(), name.size(), Fnv(size, sizeof size, Fnv(v.bits, PixelBytes(v))));
}

void Put16(std::string& out, uint32_t value) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
uint64_t Get(const std::string& in, size_t at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(in[at + i]);
    return value;
}

// The 54 bytes of a bottom-up 24-bit BMP whose pixels start at `offset` and end the file.
std::string BmpHeader(const PixelView& v, size_t offset) {
    const auto pixels = static_cast<uint32_t>(PixelBytes(v));
    std::string h = "BM";
    Put32(h, static_cast<uint32_t>(offset) + pixels);
    Put32(h, 0);
    Put32(h, static_cast<uint32_t>(offset));
    Put32(h, 40);
    Put32(h, static_cast<uint32_t>(v.width));
    Put32(h, static_cast<uint32_t>(v.height));
    Put16(h, 1);
    Put16(h, 24);
    Put32(h, 0);  // uncompressed
    Put32(h, pixels);
    Put32(h, 2835), Put32(h, 2835);  // 72 dots per inch
    Put32(h, 0), Put32(h, 0);
    return h;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n, size -= static_cast<size_t>(n);
    }
    return true;
}

// The rename is only durable once the folder's own entry has reached the disk too.
void FlushFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool WriteCopy(const PixelView& v, const std::string& name) {
    const std::string folder = Folder();
    if (folder.empty()) return false;
    std::string temporary = folder + "/" + kTemporaryPrefix + "XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);  // readable by the user alone
    if (fd < 0) return false;
    // The name and the checksum sit between the headers and the pixels, where every BMP reader
    // skips to the pixel offset.
    std::string gap(kMagic, sizeof kMagic);
    Put32(gap, static_cast<uint32_t>(name.size()));
    gap += name;
    const std::string header = BmpHeader(v, kHeaderSize + gap.size() + 8);
    const uint64_t sum = Fnv(v.bits, PixelBytes(v), Fnv(gap.data(), gap.size(), Fnv(header.data(), header.size())));
    for (int i = 0; i < 8; ++i) gap.push_back(static_cast<char>((sum >> (8 * i)) & 0xFF));
    bool ok = WriteAll(fd, header.data(), header.size()) && WriteAll(fd, gap.data(), gap.size()) &&
              WriteAll(fd, v.bits, PixelBytes(v)) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temporary.c_str(), CopyPath().c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    FlushFolder(folder);
    return true;
}

bool ReadAll(const std::string& path, std::string& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// True when `bytes` is a whole copy as WriteCopy makes it; `name` receives the picture's name.
bool CheckCopy(const std::string& bytes, std::string& name) {
    if (bytes.size() < kHeaderSize + kGapFixed || bytes.compare(0, 2, "BM") != 0) return false;
    if (Get(bytes, 14, 4) != 40 || Get(bytes, 28, 2) != 24 || bytes.compare(kHeaderSize, 16, kMagic, 16) != 0)
        return false;
    const auto width = static_cast<int32_t>(Get(bytes, 18, 4)), height = static_cast<int32_t>(Get(bytes, 22, 4));
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return false;
    const size_t nameLength = Get(bytes, kHeaderSize + sizeof kMagic, 4);
    const size_t offset = kHeaderSize + kGapFixed + nameLength;
    const size_t pixels = static_cast<size_t>(StrideFor(width, 24)) * static_cast<size_t>(height);
    if (nameLength == 0 || Get(bytes, 10, 4) != offset || bytes.size() != offset + pixels) return false;
    const uint64_t sum = Fnv(bytes.data() + offset, pixels,
                             Fnv(bytes.data() + kHeaderSize, offset - 8 - kHeaderSize, Fnv(bytes.data(), kHeaderSize)));
    if (sum != Get(bytes, offset - 8, 8)) return false;
    name = bytes.substr(kHeaderSize + sizeof kMagic + 4, nameLength);
    return true;
}

// A copy that does not check out may still hold most of a picture, and a disk that spoils files
// is worth knowing about: it is kept under another name for a grown-up to look at.
void SetAside(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string aside = Folder() + "/spoiled-" + stamp + ".bmp";
    if (rename(path.c_str(), aside.c_str()) != 0) return;
    std::fprintf(stderr, "pictoria: the unsaved picture kept in %s is damaged and was not restored; it is now %s\n",
                 path.c_str(), aside.c_str());
}

// Temporaries of a write that a crash or power cut interrupted: the copy beside them is whole.
void RemoveLeftovers() {
    const std::string folder = Folder();
    for (const std::string& name : tb_ListFolder(folder, nullptr)) {
        if (name.rfind(kTemporaryPrefix, 0) == 0) unlink((folder + "/" + name).c_str());
    }
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// Where the folder is, without making it.
std::string FolderName() {
    // A relative XDG_STATE_HOME is invalid by its own rules and is ignored.
    const char* xdg = std::getenv("XDG_STATE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/pictoria";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/state/pictoria";
}

}  // namespace

std::string Folder() {
    const std::string folder = FolderName();
    return !folder.empty() && MakeFolders(folder) ? folder : std::string();
}

std::string CopyPath() {
    const std::string folder = Folder();
    return folder.empty() ? std::string() : folder + "/" + kCopyName;
}

void AfterInput(uint32_t now) {
    if (!shell::Shell().ready) return;
    if (scene::TheRoom().modified) {
        gState.due = true;
        gState.dueAt = now + kPauseMs;
    } else if (gState.onDisk) {
        Discard();
    }
}

int MillisecondsUntilDue(uint32_t now) {
    if (!gState.due) return -1;
    const auto left = static_cast<int32_t>(gState.dueAt - now);
    return left > 0 ? left : 0;
}

void WriteWhenDue(uint32_t now) {
    if (MillisecondsUntilDue(now) != 0) return;
    gState.due = false;
    WriteNow();
}

bool WriteNow() {
    if (!shell::Shell().ready || !scene::TheRoom().modified) return true;
    const PixelView v = tb_PeekBitmapPixels(scene::TheRoom().canvas);
    if (!v.isValid() || v.bitCount != 24) return false;
    const std::string& name = shell::Shell().pictureFileName;
    const uint64_t content = ContentHash(v, name);
    if (gState.onDisk && gState.written == content) return true;
    if (!WriteCopy(v, name)) return false;
    gState.onDisk = true;
    gState.written = content;
    return true;
}

void Discard() {
    gState = State{};
    const std::string folder = FolderName();
    if (!folder.empty()) unlink((folder + "/" + kCopyName).c_str());
}

bool Restore() {
    gState = State{};
    const std::string path = CopyPath();
    if (path.empty()) return false;
    RemoveLeftovers();
    std::string bytes, name;
    if (!ReadAll(path, bytes)) return false;  // nothing was left
    std::string opened = path;
    Rect rect{};
    int picture = -1;
    if (CheckCopy(bytes, name) && tb_OpenFile(opened, 0) == 1) {
        picture = tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
    }
    if (picture < 0) {
        SetAside(path);
        return false;
    }
    scene::PlacePicture(picture, rect);
    tb_DisposeBitmap(picture);
    scene::TheRoom().modified = true;
    shell::Shell().pictureFileName = name;
    scene::Present();
    gState.onDisk = true;
    gState.written = ContentHash(tb_PeekBitmapPixels(scene::TheRoom().canvas), name);
    return true;
}

}  // namespace recovery
