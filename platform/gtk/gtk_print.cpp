// The print dialog and the print job.
//
// The dialog offers every printer the desktop knows and "Print to File"; what it chose travels
// to the program as a key file of GTK's print settings and page setup, and comes back as the
// choice offered next time. The job's cairo surface (a PDF or PostScript document in points)
// becomes the page the toolbox draws on; closing sends it and waits, serving the desktop's
// events, until the printing system has taken it or refused it.
#include <algorithm>

#include "platform/gtk/gtk_backend.h"
#include "platform/language.h"

namespace platform::gtk {
namespace {

constexpr int kDialogWidth = 720;
constexpr int kDialogHeight = 560;
constexpr int kDefaultDpi = 300;
constexpr int kMaxDpi = 4800;
constexpr guint kSendLimitSeconds = 60;

std::string KeyFileOf(GtkPrintSettings* settings, GtkPageSetup* setup) {
    GKeyFile* file = g_key_file_new();
    gtk_print_settings_to_key_file(settings, file, nullptr);
    gtk_page_setup_to_key_file(setup, file, nullptr);
    gchar* data = g_key_file_to_data(file, nullptr, nullptr);
    std::string text = data != nullptr ? data : "";
    g_free(data);
    g_key_file_free(file);
    return text;
}

// Settings that do not read back (another version of GTK wrote them) are simply not offered.
void OfferKept(GtkPrintUnixDialog* dialog, const std::string& kept) {
    if (kept.empty()) return;
    GKeyFile* file = g_key_file_new();
    if (g_key_file_load_from_data(file, kept.c_str(), kept.size(), G_KEY_FILE_NONE, nullptr)) {
        if (GtkPrintSettings* settings = gtk_print_settings_new_from_key_file(file, nullptr, nullptr)) {
            gtk_print_unix_dialog_set_settings(dialog, settings);
            g_object_unref(settings);
        }
        if (GtkPageSetup* setup = gtk_page_setup_new_from_key_file(file, nullptr, nullptr)) {
            gtk_print_unix_dialog_set_page_setup(dialog, setup);
            g_object_unref(setup);
        }
    }
    g_key_file_free(file);
}

int Dpi(int value) { return value > 0 && value <= kMaxDpi ? value : kDefaultDpi; }

PrintChoice ChoiceOf(GtkPrintSettings* settings, GtkPageSetup* setup) {
    PrintChoice choice;
    choice.settings = KeyFileOf(settings, setup);
    choice.pageWidthInches = gtk_page_setup_get_paper_width(setup, GTK_UNIT_INCH);
    choice.pageHeightInches = gtk_page_setup_get_paper_height(setup, GTK_UNIT_INCH);
    choice.dpiX = Dpi(gtk_print_settings_get_resolution_x(settings));
    choice.dpiY = Dpi(gtk_print_settings_get_resolution_y(settings));
    return choice;
}

// The job and its page on the printer the dialog chose; `start` says how it went.
std::unique_ptr<PrintRun> OpenDocument(GtkPrintUnixDialog* dialog, const std::string& title, PrintStart& start) {
    GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog);
    GtkPrintSettings* settings = gtk_print_unix_dialog_get_settings(dialog);
    GtkPageSetup* setup = gtk_print_unix_dialog_get_page_setup(dialog);
    if (settings == nullptr || setup == nullptr) {
        start.failure = PrintFailure::NoSettings;
        if (settings != nullptr) g_object_unref(settings);
        return nullptr;
    }
    start.choice = ChoiceOf(settings, setup);
    if (printer == nullptr) {
        start.failure = PrintFailure::PrinterNotFound;
        g_object_unref(settings);
        return nullptr;
    }
    auto run = std::make_unique<PrintRun>();
    run->job = gtk_print_job_new(title.empty() ? "Pictoria" : title.c_str(), printer, settings, setup);
    g_object_unref(settings);
    GError* error = nullptr;
    cairo_surface_t* surface = gtk_print_job_get_surface(run->job, &error);
    if (surface == nullptr) {
        const bool memory = error != nullptr && g_error_matches(error, GTK_PRINT_ERROR, GTK_PRINT_ERROR_NOMEM);
        start.failure = memory ? PrintFailure::OutOfMemory : PrintFailure::Document;
        start.reason = error != nullptr ? error->message : "";
        if (error != nullptr) g_error_free(error);
        return nullptr;
    }
    run->cr = cairo_create(surface);
    if (cairo_status(run->cr) != CAIRO_STATUS_SUCCESS) {
        start.failure = cairo_status(run->cr) == CAIRO_STATUS_NO_MEMORY ? PrintFailure::OutOfMemory
                                                                       : PrintFailure::Document;
        start.reason = cairo_status_to_string(cairo_status(run->cr));
        return nullptr;
    }
    run->page = std::make_unique<PrintPage>(run->cr, start.choice);
    start.started = true;
    return run;
}

// Shared between the wait and the job's callback; whichever is left last frees it.
struct Sending {
    GtkPrintJob* job = nullptr;  // our reference
    bool done = false;
    bool timeUp = false;
    bool abandoned = false;
    std::string error;
};

void OnSent(GtkPrintJob* job, gpointer data, const GError* error) {
    auto* sending = static_cast<Sending*>(data);
    if (error != nullptr) {
        sending->error = error->message;
    } else if (gtk_print_job_get_status(job) == GTK_PRINT_STATUS_FINISHED_ABORTED) {
        sending->error = Tr("The printing system stopped the job.");
    }
    sending->done = true;
    if (sending->abandoned) {
        g_object_unref(sending->job);
        delete sending;
    }
}

gboolean OnTimeUp(gpointer data) {
    static_cast<Sending*>(data)->timeUp = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

PrintStart GtkBackend::startPrintJob(NativeWindow owner, const PrintChoice& offered, const std::string& title) {
    ensureGtk();
    PrintStart start;
    if (print_ != nullptr) return start;
    Window* o = find(owner);
    GtkWidget* dialog = gtk_print_unix_dialog_new(Tr("Print"), o != nullptr ? GTK_WINDOW(o->top) : nullptr);
    GtkPrintUnixDialog* print = GTK_PRINT_UNIX_DIALOG(dialog);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    OfferKept(print, offered.settings);
    gtk_print_unix_dialog_set_embed_page_setup(print, TRUE);
    gtk_print_unix_dialog_set_support_selection(print, FALSE);
    gtk_print_unix_dialog_set_has_selection(print, FALSE);
    gtk_print_unix_dialog_set_manual_capabilities(
        print, static_cast<GtkPrintCapabilities>(GTK_PRINT_CAPABILITY_GENERATE_PDF | GTK_PRINT_CAPABILITY_GENERATE_PS));

    if (runCentred(dialog, kDialogWidth, kDialogHeight) == GTK_RESPONSE_OK) print_ = OpenDocument(print, title, start);
    gtk_widget_destroy(dialog);
    restoreFocus();
    return start;
}

PrintPage* GtkBackend::printPage() { return print_ != nullptr ? print_->page.get() : nullptr; }

void GtkBackend::endPrintPage() {
    if (print_ != nullptr) print_->page->showPage();
}

std::string GtkBackend::finishPrintJob() {
    if (print_ == nullptr) return "";
    std::unique_ptr<PrintRun> run = std::move(print_);
    cairo_destroy(run->cr);
    run->cr = nullptr;
    cairo_surface_t* surface = gtk_print_job_get_surface(run->job, nullptr);
    cairo_surface_finish(surface);
    run->page->ended();
    const cairo_status_t written = cairo_surface_status(surface);
    if (written != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(written);

    auto* sending = new Sending;
    sending->job = run->job;
    run->job = nullptr;
    gtk_print_job_send(sending->job, OnSent, sending, nullptr);
    const guint timer = g_timeout_add_seconds(kSendLimitSeconds, OnTimeUp, sending);
    while (!sending->done && !sending->timeUp) g_main_context_iteration(nullptr, TRUE);
    if (!sending->done) {
        sending->abandoned = true;  // the callback frees it whenever the job ends
        return Tr("The printing system has not taken it within a minute.");
    }
    if (!sending->timeUp) g_source_remove(timer);
    std::string error = sending->error;
    g_object_unref(sending->job);
    delete sending;
    return error;
}

}  // namespace platform::gtk
