// One program per user: the first start listens on an abstract UNIX socket named after the user
// id; a later start connects, asks the first to come to the front and ends. The check needs no
// display, so a second start ends at once even while the first is still opening its window.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <glib-unix.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

constexpr char kRaiseRequest[] = "raise";
constexpr size_t kRaiseLength = sizeof(kRaiseRequest) - 1;

socklen_t InstanceAddress(sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    // One instance per user and desktop: a program on another display is not one the child
    // could bring to the front here.
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr) display = std::getenv("WAYLAND_DISPLAY");
    std::string name = "pictoria-" + std::to_string(getuid()) + "-" + (display != nullptr ? display : "");
    if (name.size() > sizeof addr.sun_path - 1) name.resize(sizeof addr.sun_path - 1);
    // sun_path[0] stays 0: an abstract name, which vanishes with the process that holds it.
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

bool AskRunningInstance(const sockaddr_un& addr, socklen_t length) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool answered = connect(fd, reinterpret_cast<const sockaddr*>(&addr), length) == 0;
    if (answered) send(fd, kRaiseRequest, kRaiseLength, MSG_NOSIGNAL);
    close(fd);
    return answered;
}

gboolean OnInstanceRequest(gint fd, GIOCondition, gpointer self) {
    int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return G_SOURCE_CONTINUE;
    // A caller that connects and then says nothing must not stall the program.
    timeval patience{0, 200000};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    char request[16];
    ssize_t n = recv(client, request, sizeof request, 0);
    close(client);
    if (n >= static_cast<ssize_t>(kRaiseLength) && std::memcmp(request, kRaiseRequest, kRaiseLength) == 0)
        static_cast<GtkBackend*>(self)->raiseAll();
    return G_SOURCE_CONTINUE;
}

}  // namespace

bool GtkBackend::claimSingleInstance() {
    if (instanceSocket_ >= 0) return true;
    sockaddr_un addr;
    socklen_t length = InstanceAddress(addr);
    // Two attempts cover two programs starting at the same moment: the one that loses the bind
    // finds the winner listening.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (AskRunningInstance(addr, length)) return false;
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return true;  // nothing to compare with: run
        if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), length) == 0 && listen(fd, 4) == 0) {
            instanceSocket_ = fd;
            // GLib alone serves the socket, so requests are answered before GTK starts.
            watchInstanceSocket();
            return true;
        }
        close(fd);
    }
    return true;
}

void GtkBackend::watchInstanceSocket() {
    if (instanceWatch_ == 0) instanceWatch_ = g_unix_fd_add(instanceSocket_, G_IO_IN, OnInstanceRequest, this);
}

}  // namespace platform::gtk
