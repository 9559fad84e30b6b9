// The one current file, the Save As and Open dialogs, and the folders the program uses.
//
// A file created for writing is really a temporary file in the target's folder, named so that
// a leftover after a crash is hidden and never mistaken for a picture (it does not end in
// ".bmp"). tb_CloseFile renames it over the target only when everything reached the disk, so
// the previous picture survives a full disk, a crash or a pulled plug halfway through a save.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolbox/internal.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

using platform::FileDialogRequest;
using platform::FileDialogResult;

namespace toolbox {
namespace {

constexpr const char* kPrefsFileName = "mwsptk10.pfs";
// What each dialog offers: Save As the program's own pictures, Open every kind it reads,
// Export a PNG copy.
struct DialogKind {
    const char* filterName;
    const char* filterPattern;
    const char* extension;
};
constexpr DialogKind kSaveKind{TrLater("MWS, Pictoria 1.0 (*.bmp)"), "*.bmp", "bmp"};
constexpr DialogKind kOpenKind{TrLater("Pictures (*.bmp, *.png, *.jpg, *.jpeg)"), "*.bmp;*.png;*.jpg;*.jpeg", "bmp"};
constexpr DialogKind kPngKind{TrLater("PNG picture (*.png)"), "*.png", "png"};
// Keeps a temporary name within the file system's 255-byte limit whatever the target's name.
constexpr size_t kMaxTempBaseName = 200;

enum class FileMode { Closed, Reading, Writing };

struct FileState {
    int fd = -1;
    FileMode mode = FileMode::Closed;
    std::string target;     // writing: where the file goes when closed
    std::string temporary;  // writing: the file being written; empty when writing into a device
    bool failed = false;    // writing: a block was lost, so nothing may be put in place
};

FileState gFile;
std::string gProgramDirectory;  // outlives the current file; reset by tb_Init
unsigned gTempCounter = 0;

// Drops the current file. A file being written is not put in place: its temporary goes.
void Abandon() {
    if (gFile.fd >= 0) close(gFile.fd);
    if (!gFile.temporary.empty()) unlink(gFile.temporary.c_str());
    gFile = FileState{};
}

bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (errno != ENOENT) return false;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    return MakeFolders(path.substr(0, slash)) && (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    const passwd* user = getpwuid(getuid());
    if (user != nullptr && user->pw_dir != nullptr) return user->pw_dir;
    return ".";
}

std::string PrefsPath() { return tb_GetWindowsDirectory() + "/" + kPrefsFileName; }

// Takes the descriptor out of non-blocking mode once it is known not to be a pipe.
void MakeBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

// A new temporary file beside `target`, with the permissions `mode` asks for (the umask still
// applies when the target is new). -1 when the folder does not take it.
int CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& temporary) {
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.size() > kMaxTempBaseName) base.resize(kMaxTempBaseName);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "." + base + "." + std::to_string(getpid()) + "-" +
                    std::to_string(++gTempCounter) + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    temporary.clear();
    return -1;
}

// Opens `path` as the current file for writing. A link is followed so that the file it names,
// not the link, is replaced.
int CreateAt(const std::string& path) {
    Abandon();
    if (path.empty()) return -1;
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    mode_t mode = 0666;
    if (stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return -1;
        if (!S_ISREG(st.st_mode)) {
            // A device or pipe has no old contents to protect: write straight into it.
            const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0) return -1;
            MakeBlocking(fd);
            gFile.fd = fd;
            gFile.mode = FileMode::Writing;
            gFile.target = target;
            return 1;
        }
        // A read-only file is refused rather than quietly replaced by the rename.
        if (access(target.c_str(), W_OK) != 0) return -1;
        mode = st.st_mode & 07777;
    }
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, mode, temporary);
    if (fd < 0) return -1;
    if (mode != 0666) fchmod(fd, mode);  // keep the replaced file's permissions exactly
    gFile.fd = fd;
    gFile.mode = FileMode::Writing;
    gFile.target = target;
    gFile.temporary = temporary;
    return 1;
}

int OpenAt(const std::string& path) {
    Abandon();
    if (path.empty()) return -1;
    // Non-blocking, so that a pipe given as the file cannot hang the program.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    MakeBlocking(fd);
    gFile.fd = fd;
    gFile.mode = FileMode::Reading;
    return 1;
}

// The rename is only durable once the folder's entry is on disk too.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

FileDialogRequest MakeRequest(bool save, const char* title, const std::string& initialName, const DialogKind& kind) {
    FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.filterName = Tr(kind.filterName);
    request.filterPattern = kind.filterPattern;
    request.folder = gProgramDirectory;
    request.initialName = initialName;
    request.defaultExtension = kind.extension;
    return request;
}

// A copy in another format must not land on a picture of ours: "cat.bmp" typed in the Export
// dialog becomes "cat.bmp.png". A device is written directly, under its own name.
void EnsureEnding(std::string& path, const char* extension) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return;
    const std::string ending = std::string(".") + extension;
    if (path.size() < ending.size() || strcasecmp(path.c_str() + path.size() - ending.size(), ending.c_str()) != 0)
        path += ending;
}

// The dialog's failure codes (its own numbering) and what tb_CreateFile returns for each.
int CreateDialogFailure(int failure) {
    struct Code {
        int failure;
        int result;
    };
    static constexpr Code kCodes[] = {
        {6, 10}, {4, 11},      {2, 12},  {11, 13},     {8, 14},  {3, 15},  {7, 16},
        {1, 17}, {5, 18},      {0x3003, 19}, {9, 20},  {0x3002, 21}, {10, 22}, {0x3001, 23},
    };
    for (const Code& code : kCodes) {
        if (code.failure == failure) return code.result;
    }
    return 0;
}

constexpr int kDialogInitFailure = 2;

FileDialogResult RunFileDialog(const FileDialogRequest& request) {
    if (!platform::HasPlatform()) {
        FileDialogResult none;
        none.failure = kDialogInitFailure;
        return none;
    }
    return platform::Plat().fileDialog(tb_GetMainWindow(), request);
}

// "." and ".." resolved by name, repeated slashes dropped; `absolute` starts with "/".
std::string NormalisePath(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

}  // namespace

void SpoilCurrentFile() {
    if (gFile.mode == FileMode::Writing) gFile.failed = true;
}

void ResetFiles() {
    Abandon();
    gProgramDirectory = tb_GetCurrentDirectory();
}

}  // namespace toolbox

using toolbox::FileMode;
using toolbox::gFile;

int tb_CreateFile(std::string& path, int showDialog, tb_FileKind kind) {
    if (showDialog != 0) {
        const size_t slash = path.find_last_of('/');
        const std::string offered = slash == std::string::npos ? path : path.substr(slash + 1);
        // The dialog can only show text; a name in another encoding (copied from an old machine)
        // is offered in its readable form, and taken back as it is on disk when it was kept.
        const std::string shown = tb_DisplayName(offered);
        const FileDialogResult result = toolbox::RunFileDialog(
            toolbox::MakeRequest(true, Tr("Save As"), shown, kind == tb_FileKind::Png ? toolbox::kPngKind : toolbox::kSaveKind));
        if (!result.chosen) return toolbox::CreateDialogFailure(result.failure);
        path = result.path;
        if (kind == tb_FileKind::Png) toolbox::EnsureEnding(path, toolbox::kPngKind.extension);
        const size_t chosenSlash = path.find_last_of('/');
        if (shown != offered && path.compare(chosenSlash + 1, std::string::npos, shown) == 0)
            path = path.substr(0, chosenSlash + 1) + offered;
    }
    return toolbox::CreateAt(path);
}

int tb_OpenFile(std::string& path, int showDialog) {
    if (showDialog != 0) {
        const FileDialogResult result =
            toolbox::RunFileDialog(toolbox::MakeRequest(false, Tr("Open"), toolbox::kOpenKind.filterPattern, toolbox::kOpenKind));
        if (!result.chosen) return -1;
        path = result.path;
    }
    return toolbox::OpenAt(path);
}

int tb_CreatePrefsFile() { return toolbox::CreateAt(toolbox::PrefsPath()); }

int tb_OpenPrefsFile() { return toolbox::OpenAt(toolbox::PrefsPath()); }

int tb_WriteFile(const void* buffer, size_t count) {
    if (gFile.mode != FileMode::Writing || gFile.failed) return 1;
    if (count == 0) return 0;
    if (buffer == nullptr) {
        gFile.failed = true;
        return 1;
    }
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t n = write(gFile.fd, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            gFile.failed = true;
            return 1;
        }
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

int tb_ReadFile(void* buffer, size_t count, size_t* bytesRead) {
    if (bytesRead != nullptr) *bytesRead = 0;
    if (gFile.mode != FileMode::Reading || (buffer == nullptr && count > 0)) return 1;
    char* bytes = static_cast<char*>(buffer);
    size_t got = 0;
    while (got < count) {
        const ssize_t n = read(gFile.fd, bytes + got, count - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (bytesRead != nullptr) *bytesRead = got;
            return 1;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (bytesRead != nullptr) *bytesRead = got;
    return 0;
}

int tb_CloseFile() {
    if (gFile.mode == FileMode::Closed) return 1;
    if (gFile.mode == FileMode::Reading) {
        toolbox::Abandon();
        return 1;
    }
    bool ok = !gFile.failed;
    // A device cannot be synced (EINVAL); a regular file that fails to sync is not safely written.
    if (ok && fsync(gFile.fd) != 0 && !(gFile.temporary.empty() && errno == EINVAL)) ok = false;
    if (close(gFile.fd) != 0) ok = false;
    gFile.fd = -1;
    if (!gFile.temporary.empty()) {
        if (ok && rename(gFile.temporary.c_str(), gFile.target.c_str()) != 0) ok = false;
        if (ok) {
            gFile.temporary.clear();
            toolbox::SyncFolderOf(gFile.target);
        }
    }
    toolbox::Abandon();  // removes the temporary when it was not put in place
    return ok ? 1 : 0;
}

int64_t tb_GetFileSize() {
    if (gFile.mode == FileMode::Closed) return -1;
    struct stat st;
    if (fstat(gFile.fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string tb_DisplayName(const std::string& path) {
    gchar* shown = g_filename_display_name(path.c_str());
    std::string text = shown != nullptr ? shown : std::string();
    g_free(shown);
    return text;
}

std::string tb_GetCurrentDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string tb_GetWindowsDirectory() {
    // A relative XDG_CONFIG_HOME is invalid by its own rules and is ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string config = (xdg != nullptr && xdg[0] == '/') ? xdg : toolbox::HomeFolder() + "/.config";
    const std::string folder = config + "/pictoria";
    toolbox::MakeFolders(folder);  // a failure shows when the file is opened
    return folder;
}

std::vector<std::string> tb_ListFolder(const std::string& folder, const char* extension, size_t most) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    std::vector<std::string> endings;
    for (const char* part = extension; part != nullptr && *part != '\0';) {
        const char* end = std::strchr(part, ';');
        if (end == nullptr) end = part + std::strlen(part);
        if (end > part) endings.emplace_back(part, end);
        part = *end == ';' ? end + 1 : end;
    }
    auto wanted = [&endings](const std::string& name) {
        if (endings.empty()) return true;
        for (const std::string& ending : endings) {
            if (name.size() >= ending.size() && strcasecmp(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0)
                return true;
        }
        return false;
    };
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (names.size() < most) {
        const dirent* entry = readdir(dir);
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || !wanted(name)) continue;
        // The folder's own entry says what most names are; only links and the unknown need a look.
        struct stat st;
        if (entry->d_type == DT_REG ||
            ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && stat((prefix + name).c_str(), &st) == 0 &&
             S_ISREG(st.st_mode))) {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}

int tb_CreateFolder(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return toolbox::MakeFolders(folder) ? 1 : 0;
}

void tb_SetProgramDirectory(const std::string& path) { toolbox::gProgramDirectory = path; }

std::string tb_GetProgramDirectory() { return toolbox::gProgramDirectory; }

std::string tb_GetPathDirectory(const std::string& path) {
    if (path.empty()) return std::string();
    std::string absolute = path;
    if (path[0] != '/') {
        const std::string current = tb_GetCurrentDirectory();
        if (current.empty()) return std::string();
        absolute = current + "/" + path;
    }
    const bool endsInSlash = absolute.back() == '/';
    std::string full = toolbox::NormalisePath(absolute);
    if (endsInSlash) return full == "/" ? full : full + "/";
    return full.substr(0, full.find_last_of('/') + 1);
}
