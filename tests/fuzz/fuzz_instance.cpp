// Arbitrary bytes at the single-instance socket of the real desktop backend: the display name
// (up to the first NUL) places the socket, and the rest is what a caller sends it. Whatever a
// caller says, the running program hangs up, and a later start on the same display (":N.0" is
// ":N") still finds it.
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
#include <filesystem>
#include <memory>
#include <string>

#include "platform/gtk/gtk_platform.h"
#include "tests/fuzz/scratch.h"

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
    static const std::string runtime = ScratchFolder("instance");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const auto* bytes = reinterpret_cast<const char*>(data);
    const size_t nul = std::min(size, static_cast<size_t>(std::find(bytes, bytes + size, '\0') - bytes));
    const std::string display = "fuzz" + std::string(bytes, nul);
    setenv("DISPLAY", display.c_str(), 1);
    auto running = CreateGtkPlatform();
    Check(running->claimSingleInstance());

    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string path;  // the one socket in the folder
    for (const auto& entry : std::filesystem::directory_iterator(runtime))
        if (entry.path().extension() == ".socket") path = entry.path();
    Check(!path.empty() && path.size() < sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    Check(fd >= 0);
    Check(connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0);
    if (size > nul + 1) send(fd, bytes + nul + 1, size - nul - 1, MSG_NOSIGNAL);
    shutdown(fd, SHUT_WR);
    AwaitHangUp(fd);
    close(fd);

    setenv("DISPLAY", (display.find(':') != std::string::npos ? display + ".0" : display).c_str(), 1);
    Check(!CreateGtkPlatform()->claimSingleInstance());
    for (int turn = 0; turn < 10; ++turn) g_main_context_iteration(nullptr, FALSE);  // its "raise"
    for (const auto& entry : std::filesystem::directory_iterator(runtime)) std::filesystem::remove(entry.path());
    return 0;
}
