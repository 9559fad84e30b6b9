// The end of the session: a logout or shutdown asks with SIGTERM or SIGHUP (Ctrl+C in the
// terminal that started the program with SIGINT), and an X server that goes away takes the
// display with it.
#include "platform/gtk/gtk_backend.h"

#include <csignal>
#include <glib-unix.h>
#include <unistd.h>
// Last: Xlib's macros (None, Bool) would rewrite the program's own names.
#include <gdk/gdkx.h>
#include <X11/Xlib.h>

namespace platform::gtk {
namespace {

void (*gLastWords)() = nullptr;

// Xlib calls this when the connection to the server breaks. Returning would let it end the
// process, and GDK's own handler ends it at once: first the program says its last words,
// without a single X call, since every one would land here again.
int OnDisplayGone(Display*) {
    static bool saying = false;
    if (gLastWords != nullptr && !saying) {
        saying = true;
        gLastWords();
    }
    _exit(1);
}

gboolean OnSessionEnd(gpointer backend) {
    static_cast<GtkBackend*>(backend)->postTerminate();
    return G_SOURCE_CONTINUE;
}

}  // namespace

void GtkBackend::watchSession() {
    // GLib turns the signal into an event of the main loop, so what follows runs as any other
    // event does, not inside a signal handler.
    for (int number : {SIGTERM, SIGHUP, SIGINT}) g_unix_signal_add(number, OnSessionEnd, this);
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(OnDisplayGone);
}

void GtkBackend::setDisplayLostHandler(void (*lastWords)()) { gLastWords = lastWords; }

void GtkBackend::postTerminate() {
    if (windows_.empty()) _exit(0);  // before the first window or after the last: nothing to keep
    Message m;
    m.kind = MsgKind::Terminate;
    m.window = windows_.begin()->first;
    queue_.push_back(m);
    // A box of GTK's own keeps the program in its loop until answered, and nobody will answer:
    // it is closed, as the window manager's close would, so that the message is reached.
    for (auto it = boxes_.rbegin(); it != boxes_.rend(); ++it)
        gtk_dialog_response(GTK_DIALOG(*it), GTK_RESPONSE_DELETE_EVENT);
}

}  // namespace platform::gtk
