// Painted modal dialogs and their two kinds of real control: an edit line and a sorted list.
#include <algorithm>

#include "platform/dialog_loop.h"
#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

constexpr const char* kControlIdKey = "pictoria-control";

std::string Folded(const std::string& text) {
    gchar* folded = g_utf8_casefold(text.c_str(), -1);
    std::string result = folded;
    g_free(folded);
    return result;
}

// A sorted list box orders and matches its entries without regard to case.
bool SortsBefore(const std::string& a, const std::string& b) {
    return g_utf8_collate(Folded(a).c_str(), Folded(b).c_str()) < 0;
}

void PostNotification(GtkBackend* b, GtkWidget* widget, int32_t notify) {
    Window* w = b->findByWidget(widget);
    if (w == nullptr) return;
    const int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey));
    Control* c = b->findControl(w->id, id);
    if (c == nullptr || c->quiet) return;  // the program's own changes are not news to it
    Message m;
    m.kind = MsgKind::Command;
    m.window = w->id;
    m.command = id;
    m.notify = notify;
    b->postMessage(m);
}

void OnListChanged(GtkTreeSelection* selection, gpointer data) {
    PostNotification(static_cast<GtkBackend*>(data), GTK_WIDGET(gtk_tree_selection_get_tree_view(selection)),
                     kListSelectionChanged);
}

void OnEditChanged(GtkEditable* edit, gpointer data) {
    PostNotification(static_cast<GtkBackend*>(data), GTK_WIDGET(edit), kEditChanged);
}

// Keeps a control quiet while the program changes it.
class Quiet {
public:
    explicit Quiet(Control& c) : c_(c) { c_.quiet = true; }
    ~Quiet() { c_.quiet = false; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    Control& c_;
};

}  // namespace

int GtkBackend::runDialog(NativeWindow owner, const DialogTemplate& tmpl, WindowProc proc) {
    ensureGtk();
    const Rect o = find(owner) != nullptr ? find(owner)->rect : desktopRect();
    const int left = o.left + (o.width() - tmpl.width) / 2;
    const int top = o.top + (o.height() - tmpl.height) / 2;
    const NativeWindow dialog =
        openWindow(Rect{left, top, left + tmpl.width, top + tmpl.height}, "", proc, owner, true);
    if (dialog == 0) return -1;
    for (const DialogControl& c : tmpl.controls) addControl(*find(dialog), c);

    DialogRun run;
    run.window = dialog;
    dialogs_.push_back(&run);
    auto send = [&](MsgKind kind) {
        if (run.ended || find(dialog) == nullptr) return;
        Message msg;
        msg.kind = kind;
        msg.window = dialog;
        proc(msg);
    };
    // The procedure may still place and size the dialog before it shows.
    send(MsgKind::InitDialog);
    if (!run.ended && find(dialog) != nullptr) {
        showWindow(dialog);
        // Typing goes to the first control of the template, not to the one GTK finds first.
        Window* w = find(dialog);
        if (!w->controls.empty()) {
            const Control& first = w->controls.front();
            gtk_widget_grab_focus(first.list != nullptr ? GTK_WIDGET(first.list) : first.widget);
        }
    }
    send(MsgKind::EraseBackground);
    send(MsgKind::Paint);
    if (!run.ended) RunDialogLoop(*this, dialog, run.ended);

    dialogs_.erase(std::find(dialogs_.begin(), dialogs_.end(), &run));
    removeWindow(dialog);
    restoreFocus();
    return run.result;
}

void GtkBackend::endDialog(NativeWindow dialog, int result) {
    for (DialogRun* run : dialogs_) {
        if (run->window == dialog && !run->ended) {
            run->ended = true;
            run->result = result;
        }
    }
}

void GtkBackend::addControl(Window& w, const DialogControl& c) {
    Control control;
    control.id = c.id;
    control.kind = c.kind;
    control.rect = c.rect;
    if (c.kind == ControlKind::Edit) {
        control.widget = gtk_entry_new();
        gtk_style_context_add_class(gtk_widget_get_style_context(control.widget), "pictoria-edit");
        g_object_set_data(G_OBJECT(control.widget), kControlIdKey, GINT_TO_POINTER(c.id));
        g_signal_connect(control.widget, "changed", G_CALLBACK(OnEditChanged), this);
    } else {
        control.store = gtk_list_store_new(1, G_TYPE_STRING);
        GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(control.store));
        g_object_unref(control.store);  // the view keeps it
        control.list = GTK_TREE_VIEW(view);
        gtk_style_context_add_class(gtk_widget_get_style_context(view), "pictoria-list");
        gtk_tree_view_set_headers_visible(control.list, FALSE);
        gtk_tree_view_set_enable_search(control.list, FALSE);
        gtk_tree_view_append_column(
            control.list, gtk_tree_view_column_new_with_attributes("", gtk_cell_renderer_text_new(), "text", 0, nullptr));
        GtkTreeSelection* selection = gtk_tree_view_get_selection(control.list);
        gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
        g_object_set_data(G_OBJECT(view), kControlIdKey, GINT_TO_POINTER(c.id));
        g_signal_connect(selection, "changed", G_CALLBACK(OnListChanged), this);

        control.widget = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(control.widget), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(control.widget), GTK_SHADOW_IN);
        gtk_container_add(GTK_CONTAINER(control.widget), view);
    }
    gtk_widget_set_size_request(control.widget, c.rect.width(), c.rect.height());
    gtk_fixed_put(GTK_FIXED(w.layer), control.widget, c.rect.left, c.rect.top);
    w.controls.push_back(std::move(control));
}

Control* GtkBackend::findControl(NativeWindow dialog, int controlId) {
    Window* w = find(dialog);
    if (w == nullptr) return nullptr;
    for (Control& c : w->controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

void GtkBackend::listReset(NativeWindow dialog, int controlId) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->store == nullptr) return;
    Quiet quiet(*c);
    gtk_list_store_clear(c->store);
    c->items.clear();
}

void GtkBackend::listAddString(NativeWindow dialog, int controlId, const std::string& text) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->store == nullptr) return;
    Quiet quiet(*c);
    auto at = std::upper_bound(c->items.begin(), c->items.end(), text, SortsBefore);
    const int index = static_cast<int>(at - c->items.begin());
    c->items.insert(at, text);
    gtk_list_store_insert_with_values(c->store, nullptr, index, 0, text.c_str(), -1);
}

int GtkBackend::listFindExact(NativeWindow dialog, int controlId, const std::string& text) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr) return -1;
    const std::string wanted = Folded(text);
    for (size_t i = 0; i < c->items.size(); ++i)
        if (Folded(c->items[i]) == wanted) return static_cast<int>(i);
    return -1;
}

void GtkBackend::listSetSelection(NativeWindow dialog, int controlId, int index) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->list == nullptr) return;
    Quiet quiet(*c);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(c->list);
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        gtk_tree_selection_unselect_all(selection);
        return;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    gtk_tree_selection_select_path(selection, path);
    gtk_tree_view_scroll_to_cell(c->list, path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
}

int GtkBackend::listGetSelection(NativeWindow dialog, int controlId) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->list == nullptr) return -1;
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(c->list), &model, &iter)) return -1;
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    const int index = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return index;
}

std::string GtkBackend::listGetText(NativeWindow dialog, int controlId, int index) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[index];
}

std::string GtkBackend::editGetText(NativeWindow dialog, int controlId) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Edit) return {};
    return gtk_entry_get_text(GTK_ENTRY(c->widget));
}

void GtkBackend::editSetText(NativeWindow dialog, int controlId, const std::string& text) {
    Control* c = findControl(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Edit) return;
    Quiet quiet(*c);
    gtk_entry_set_text(GTK_ENTRY(c->widget), text.c_str());
}

}  // namespace platform::gtk
