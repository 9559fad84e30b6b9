// Arbitrary bytes at the single-instance socket of the real desktop backend: the display name
// (up to the first NUL) places the socket, and the rest is what a caller sends it. Whatever a
// caller says, the running program answers it, hangs up, and a later start still finds it.
#include <glib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/gtk/gtk_platform.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Runs GLib until the running program has hung up on `fd`.
void AwaitHangUp(int fd) {
    for (int turn = 0; turn < 1000; ++turn) {
        g_main_context_iteration(nullptr, FALSE);
        char byte;
        const ssize_t n = recv(fd, &byte, 1, MSG_DONTWAIT);
        // A hang-up with bytes left unread reaches the caller as a reset.
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return;
        Check(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
        usleep(100);
    }
    std::abort();  // never answered
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const size_t nul = std::min(size, static_cast<size_t>(std::find(bytes, bytes + size, '\0') - bytes));
    // Our own process id first, so the socket is no real program's.
    const std::string display = "fuzz" + std::to_string(getpid()) + std::string(bytes, nul);
    setenv("DISPLAY", display.c_str(), 1);
    auto running = CreateGtkPlatform();
    Check(running->claimSingleInstance());

    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string name = "pictoria-" + std::to_string(getuid()) + "-" + display;
    name.resize(std::min(name.size(), sizeof addr.sun_path - 1));
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    Check(fd >= 0);
    Check(connect(fd, reinterpret_cast<const sockaddr*>(&addr), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0);
    if (size > nul + 1) send(fd, bytes + nul + 1, size - nul - 1, MSG_NOSIGNAL);
    shutdown(fd, SHUT_WR);
    AwaitHangUp(fd);
    close(fd);

    Check(!CreateGtkPlatform()->claimSingleInstance());
    for (int turn = 0; turn < 10; ++turn) g_main_context_iteration(nullptr, FALSE);  // its "raise"
    return 0;
}
