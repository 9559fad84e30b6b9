// The desktop's own dialogs for a child without a mouse. Keys need nothing: GTK moves the focus
// with Tab and the arrows and presses with Space. A switch cannot steer, so while scanning is on
// the focus steps round the dialog's buttons by itself and the switch's key presses the one it
// is on; a controller moves the focus with its D-pad or a stick. The button the focus is on is
// lit as the room's scanning glow is, pale yellow inside an orange rim, so it can be seen from
// the child's chair. The glow lies inside the button: a message box's buttons reach its edges.
#include <algorithm>

#include "platform/controller_sdl.h"
#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

constexpr guint kPadLookMs = 16;

// The answers a dialog's buttons give, the one a key would give first.
constexpr gint kResponses[] = {GTK_RESPONSE_YES, GTK_RESPONSE_OK, GTK_RESPONSE_ACCEPT, GTK_RESPONSE_NO,
                               GTK_RESPONSE_CANCEL};

constexpr const char* kLitButton =
    "button:focus { background-image: none; background-color: #fffaaa; color: #3c2800; border-color: #5a3200;"
    " box-shadow: inset 0 0 0 3px #e69600, inset 0 0 0 6px #ffd23c; }";

struct Access {
    GtkWidget* dialog = nullptr;
    std::vector<GtkWidget*> buttons;
    size_t at = 0;
    int key = 0;
    GamePad* pad = nullptr;
    PadState was{};
};

void FocusOn(Access& a, size_t index) {
    a.at = index % a.buttons.size();
    gtk_widget_grab_focus(a.buttons[a.at]);
}

void Step(Access& a, int by) { FocusOn(a, a.at + a.buttons.size() + by); }

gboolean OnScanStep(gpointer data) {
    Step(*static_cast<Access*>(data), 1);
    return G_SOURCE_CONTINUE;
}

gboolean OnPadLook(gpointer data) {
    Access& a = *static_cast<Access*>(data);
    PadState now;
    if (a.pad == nullptr || !a.pad->isOpen() || !a.pad->read(now)) return G_SOURCE_CONTINUE;
    switch (ChoiceOf(a.was, now)) {
        case PadChoice::Previous: Step(a, -1); break;
        case PadChoice::Next: Step(a, 1); break;
        case PadChoice::Press: gtk_widget_activate(a.buttons[a.at]); break;
        case PadChoice::Leave: gtk_dialog_response(GTK_DIALOG(a.dialog), GTK_RESPONSE_DELETE_EVENT); break;
        case PadChoice::None: break;
    }
    a.was = now;
    return G_SOURCE_CONTINUE;
}

// The switch's key presses the lit button, whichever key the setting named; its repeats while
// held press nothing more.
gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    Access& a = *static_cast<Access*>(data);
    if (a.key == 0 || VirtualKeyOf(event) != a.key) return FALSE;
    if (event->type == GDK_KEY_PRESS) gtk_widget_activate(a.buttons[a.at]);
    return TRUE;
}

void Light(GtkWidget* button, GtkCssProvider* css) {
    gtk_style_context_add_provider(gtk_widget_get_style_context(button), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
}

}  // namespace

void GtkBackend::setDialogScanning(int stepMs, int key) {
    scanStepMs_ = std::max(0, stepMs);
    scanKey_ = stepMs > 0 ? key : 0;
}

void GtkBackend::setDialogPad(GamePad* pad) { pad_ = pad; }

gint GtkBackend::runBox(GtkWidget* dialog) {
    Access a;
    a.dialog = dialog;
    a.key = scanKey_;
    a.pad = pad_;
    for (gint response : kResponses) {
        GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response);
        if (button != nullptr && gtk_widget_get_visible(button)) a.buttons.push_back(button);
    }
    std::vector<guint> sources;
    gulong keyHandler = 0;
    GtkCssProvider* css = nullptr;
    if (!a.buttons.empty() && (scanStepMs_ > 0 || pad_ != nullptr)) {
        css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css, kLitButton, -1, nullptr);
        for (GtkWidget* button : a.buttons) Light(button, css);
        gtk_window_set_focus_visible(GTK_WINDOW(dialog), TRUE);
        GtkWidget* focused = gtk_window_get_focus(GTK_WINDOW(dialog));
        FocusOn(a, std::find(a.buttons.begin(), a.buttons.end(), focused) - a.buttons.begin());
        if (scanStepMs_ > 0) {
            sources.push_back(g_timeout_add(static_cast<guint>(scanStepMs_), OnScanStep, &a));
            keyHandler = g_signal_connect(dialog, "key-press-event", G_CALLBACK(OnKey), &a);
            g_signal_connect(dialog, "key-release-event", G_CALLBACK(OnKey), &a);
        }
        if (pad_ != nullptr) {
            if (pad_->isOpen()) pad_->read(a.was);  // a button already down is not a press
            sources.push_back(g_timeout_add(kPadLookMs, OnPadLook, &a));
        }
    }

    boxes_.push_back(dialog);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    boxes_.erase(std::find(boxes_.begin(), boxes_.end(), dialog));

    for (guint source : sources) g_source_remove(source);
    if (keyHandler != 0) g_signal_handlers_disconnect_by_data(dialog, &a);
    if (css != nullptr) g_object_unref(css);
    return response;
}

}  // namespace platform::gtk
