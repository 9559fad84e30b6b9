// One program per user and display. The first start listens on a UNIX socket in a folder only
// the user can enter (the session's runtime folder, else a folder of our own in the temporary
// folder); a later start connects, which asks the first to come to the front, and ends. Both
// ends check that the other runs as the same user, and neither ever waits for the other: another
// account can neither keep the program from starting nor make it act or stall. The check needs
// no display, so a second start ends at once even while the first is still opening its window.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <glib-unix.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

// Callers served in one turn of the loop; more wait for the next turn, so a flood of them
// cannot keep the program from its own work.
constexpr int kCallersPerTurn = 8;

// The display the window goes to. The screen number only picks a part of the same display:
// ":0" and ":0.0" are one.
std::string DisplayKey() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') display = std::getenv("WAYLAND_DISPLAY");
    std::string key = display != nullptr ? display : "";
    const size_t colon = key.rfind(':');
    if (colon != std::string::npos) {
        const size_t dot = key.find('.', colon);
        if (dot != std::string::npos) key.resize(dot);
    }
    for (char& c : key)
        if (c == '/') c = '_';
    // A socket's path is short; a display name too long for it is known by a digest.
    if (key.size() > 40) {
        uint64_t digest = 14695981039346656037ull;
        for (unsigned char c : key) digest = (digest ^ c) * 1099511628211ull;
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
        key = hex;
    }
    return key;
}

// Ours alone: a real folder (not a link to one), owned by us, that nobody else may enter.
bool IsPrivateFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

// Empty when there is no such folder: someone else made the temporary one first, to catch us.
// The program then runs without looking for another start of itself.
std::string PrivateFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime)) return runtime;
    const char* temporary = std::getenv("TMPDIR");
    if (temporary == nullptr || temporary[0] != '/') temporary = "/tmp";
    // The temporary folder is sticky: once made and checked, ours cannot be swapped for another.
    const std::string own = std::string(temporary) + "/pictoria-" + std::to_string(getuid());
    mkdir(own.c_str(), 0700);
    return IsPrivateFolder(own) ? own : "";
}

struct InstancePlace {
    sockaddr_un address{};
    std::string lock;
    bool found = false;
};

InstancePlace FindInstancePlace() {
    InstancePlace place;
    const std::string folder = PrivateFolder();
    if (folder.empty()) return place;
    const std::string stem = folder + "/pictoria-" + DisplayKey();
    const std::string socketPath = stem + ".socket";
    if (socketPath.size() >= sizeof place.address.sun_path) return place;
    place.address.sun_family = AF_UNIX;
    std::memcpy(place.address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    place.lock = stem + ".lock";
    place.found = true;
    return place;
}

bool PeerIsUs(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
}

// The connection itself is the request to come to the front. A program that does not take the
// call at once (stuck, or its queue full) counts as not running.
bool AskRunningInstance(const sockaddr_un& address) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    const bool answered =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && PeerIsUs(fd);
    close(fd);
    return answered;
}

int Listen(const sockaddr_un& address) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && listen(fd, 8) == 0) return fd;
    close(fd);
    return -1;
}

// Nothing a caller sends is read: the program hangs up at once, so a caller that says nothing
// holds nothing up.
gboolean OnInstanceRequest(gint fd, GIOCondition, gpointer self) {
    bool raise = false;
    for (int served = 0; served < kCallersPerTurn; ++served) {
        const int caller = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (caller < 0) break;
        raise = raise || PeerIsUs(caller);
        close(caller);
    }
    if (raise) static_cast<GtkBackend*>(self)->raiseAll();
    return G_SOURCE_CONTINUE;
}

}  // namespace

bool GtkBackend::claimSingleInstance() {
    if (instanceSocket_ >= 0) return true;
    const InstancePlace place = FindInstancePlace();
    if (!place.found) return true;  // nothing safe to meet another start at: run
    // Two programs starting at the same moment take turns, so the second finds the first
    // listening. Only our own processes can hold the lock, and only while they claim, which
    // never waits.
    const int lock = open(place.lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock >= 0) flock(lock, LOCK_EX);
    const bool alone = !AskRunningInstance(place.address);
    if (alone) {
        // Whatever is left at the name is from a program that has ended or stopped answering.
        unlink(place.address.sun_path);
        instanceSocket_ = Listen(place.address);
        // GLib alone serves the socket, so requests are answered before GTK starts.
        if (instanceSocket_ >= 0) watchInstanceSocket();
    }
    if (lock >= 0) close(lock);
    return alone;
}

void GtkBackend::watchInstanceSocket() {
    if (instanceWatch_ == 0) instanceWatch_ = g_unix_fd_add(instanceSocket_, G_IO_IN, OnInstanceRequest, this);
}

}  // namespace platform::gtk
