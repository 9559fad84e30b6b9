// Message boxes and the popup menu.

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

constexpr const char* kCommandKey = "pictoria-command";
constexpr const char* kOwnerKey = "pictoria-owner";

GtkMessageType MessageTypeOf(MsgBoxIcon icon) {
    switch (icon) {
        case MsgBoxIcon::Exclamation: return GTK_MESSAGE_WARNING;
        case MsgBoxIcon::Information: return GTK_MESSAGE_INFO;
        case MsgBoxIcon::Question: return GTK_MESSAGE_QUESTION;
        case MsgBoxIcon::None: break;
    }
    return GTK_MESSAGE_OTHER;
}

MsgBoxResult ResultOf(gint response) {
    switch (response) {
        case GTK_RESPONSE_OK: return MsgBoxResult::Ok;
        case GTK_RESPONSE_YES: return MsgBoxResult::Yes;
        case GTK_RESPONSE_NO: return MsgBoxResult::No;
        default: return MsgBoxResult::Closed;
    }
}

// "&Open..." -> "_Open...": GTK marks mnemonics with '_', so a literal '_' is doubled and "&&"
// is a plain '&'.
std::string MnemonicLabel(const std::string& text) {
    std::string label;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                label += '&';
                ++i;
            } else {
                label += '_';
            }
        } else if (c == '_') {
            label += "__";
        } else {
            label += c;
        }
    }
    return label;
}

void OnMenuItem(GtkMenuItem* item, gpointer data) {
    GtkWidget* menu = gtk_widget_get_parent(GTK_WIDGET(item));
    Message m;
    m.kind = MsgKind::Command;
    m.window = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(menu), kOwnerKey));
    m.command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCommandKey));
    static_cast<GtkBackend*>(data)->postMessage(m);
}

// The chosen item is activated after the menu closes, so the menu goes away only afterwards.
void OnMenuDone(GtkMenuShell* menu, gpointer) {
    g_idle_add(
        [](gpointer m) {
            gtk_widget_destroy(GTK_WIDGET(m));
            g_object_unref(m);
            return G_SOURCE_REMOVE;
        },
        menu);
}

}  // namespace

MsgBoxResult GtkBackend::messageBox(NativeWindow owner, const std::string& caption, const std::string& text,
                                    MsgBoxStyle style) {
    ensureGtk();
    Window* o = find(owner);
    GtkWindow* parent = o != nullptr ? GTK_WINDOW(o->top) : nullptr;
    const bool yesNo = style.buttons == MsgBoxButtons::YesNo;
    GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, MessageTypeOf(style.icon),
                                            yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", text.c_str());
    GtkWindow* window = GTK_WINDOW(box);
    gtk_window_set_title(window, caption.c_str());
    // Without a window manager nobody centres it but GTK itself.
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    if (style.systemModal) gtk_window_set_keep_above(window, TRUE);

    // Return answers with the first button (OK, Yes), as the program's users expect.
    const gint preferred = yesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK;
    gtk_dialog_set_default_response(GTK_DIALOG(box), preferred);
    if (GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), preferred))
        gtk_widget_grab_focus(button);

    // Nobody else hands the keyboard to a new window when there is no window manager; Return
    // must answer the box wherever the pointer is.
    gtk_widget_show(box);
    gtk_window_present(window);
    const gint response = runBox(box);
    gtk_widget_destroy(box);
    restoreFocus();
    return ResultOf(response);
}

void GtkBackend::popupMenu(NativeWindow owner, const std::vector<MenuItem>& items, Point clientPoint) {
    ensureGtk();
    Window* o = find(owner);
    if (o == nullptr || items.empty()) return;
    GdkWindow* anchor = gtk_widget_get_window(o->top);
    if (anchor == nullptr) return;

    GtkWidget* menu = gtk_menu_new();
    g_object_ref_sink(menu);
    g_object_set_data(G_OBJECT(menu), kOwnerKey, GINT_TO_POINTER(owner));
    for (const MenuItem& item : items) {
        GtkWidget* entry = item.isSeparator() ? gtk_separator_menu_item_new()
                                              : gtk_menu_item_new_with_mnemonic(MnemonicLabel(item.text).c_str());
        if (!item.isSeparator()) {
            g_object_set_data(G_OBJECT(entry), kCommandKey, GINT_TO_POINTER(item.id));
            g_signal_connect(entry, "activate", G_CALLBACK(OnMenuItem), this);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    }
    gtk_widget_show_all(menu);
    gtk_menu_attach_to_widget(GTK_MENU(menu), o->top, nullptr);
    g_signal_connect(menu, "deactivate", G_CALLBACK(OnMenuDone), nullptr);

    // The menu hangs centred below the point, its top edge on it.
    GdkRectangle at{clientPoint.x, clientPoint.y, 1, 1};
    gtk_menu_popup_at_rect(GTK_MENU(menu), anchor, &at, GDK_GRAVITY_NORTH, GDK_GRAVITY_NORTH, trigger_);
}

}  // namespace platform::gtk
