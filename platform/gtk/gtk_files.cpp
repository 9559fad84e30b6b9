// The Open and Save As dialogs.
#include <algorithm>
#include <cctype>

#include "platform/gtk/gtk_backend.h"

namespace platform::gtk {
namespace {

// The buttons GTK itself names, in the words of its own translation.
const char* GtkText(const char* label) { return g_dgettext("gtk30", label); }

constexpr int kChooserWidth = 760;
constexpr int kChooserHeight = 540;

// Picture files come from a world where names ignore case: "*.bmp" must also find "CAT.BMP".
std::string CaseBlindPattern(const std::string& pattern) {
    std::string blind;
    for (char c : pattern) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            blind += '[';
            blind += static_cast<char>(std::tolower(u));
            blind += static_cast<char>(std::toupper(u));
            blind += ']';
        } else {
            blind += c;
        }
    }
    return blind;
}

bool HasExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

constexpr int kScreenMargin = 20;

}  // namespace

// Without a window manager a GTK dialog opens in the screen's corner, and larger than a small
// screen: it is given a size that fits and put in the middle.
gint GtkBackend::runCentred(GtkWidget* dialog, int width, int height) {
    gtk_widget_show(dialog);
    const Rect screen = desktopRect();
    GtkRequisition least{};
    gtk_widget_get_preferred_size(dialog, &least, nullptr);
    width = std::max(std::min(width, screen.width() - kScreenMargin), least.width);
    height = std::max(std::min(height, screen.height() - kScreenMargin), least.height);
    gtk_window_resize(GTK_WINDOW(dialog), width, height);
    // A dialog that cannot be made small enough keeps its buttons, at the bottom, on the screen.
    const int top = height <= screen.height() ? (screen.height() - height) / 2 : screen.height() - height;
    gtk_window_move(GTK_WINDOW(dialog), (screen.width() - width) / 2, top);
    gtk_window_present(GTK_WINDOW(dialog));

    return runBox(dialog);
}

FileDialogResult GtkBackend::fileDialog(NativeWindow owner, const FileDialogRequest& request) {
    ensureGtk();
    Window* o = find(owner);
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        request.title.c_str(), o != nullptr ? GTK_WINDOW(o->top) : nullptr,
        request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, GtkText("_Cancel"),
        GTK_RESPONSE_CANCEL, request.save ? GtkText("_Save") : GtkText("_Open"), GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);

    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, request.filterName.c_str());
    // Several patterns are separated by ";".
    for (size_t start = 0; start <= request.filterPattern.size();) {
        size_t end = request.filterPattern.find(';', start);
        if (end == std::string::npos) end = request.filterPattern.size();
        if (end > start)
            gtk_file_filter_add_pattern(filter, CaseBlindPattern(request.filterPattern.substr(start, end - start)).c_str());
        start = end + 1;
    }
    gtk_file_chooser_add_filter(chooser, filter);
    if (!request.folder.empty()) gtk_file_chooser_set_current_folder(chooser, request.folder.c_str());
    if (request.save && !request.initialName.empty())
        gtk_file_chooser_set_current_name(chooser, request.initialName.c_str());

    const gint response = runCentred(dialog, kChooserWidth, kChooserHeight);

    FileDialogResult result;
    if (response == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
            result.chosen = true;
            result.path = name;
            g_free(name);
            if (!request.defaultExtension.empty() && !HasExtension(result.path))
                result.path += "." + request.defaultExtension;
        }
    }
    gtk_widget_destroy(dialog);
    restoreFocus();
    return result;
}

bool GtkBackend::openInBrowser(const std::string& path) {
    ensureGtk();
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
    bool shown = false;
    if (uri != nullptr) {
        shown = gtk_show_uri_on_window(nullptr, uri, GDK_CURRENT_TIME, &error) != FALSE;
        g_free(uri);
    }
    // A grown-up asked for the page: a window held above everything lets the browser over it.
    if (Window* w = find(held_); w != nullptr && shown) gtk_window_set_keep_above(GTK_WINDOW(w->top), FALSE);
    if (error != nullptr) g_error_free(error);
    return shown;
}

}  // namespace platform::gtk
