// The headless printer: the print dialog answered from the script, the document a PDF of the
// chosen paper at the chosen resolution, written to a file or only counted.
#include <cairo-pdf.h>

#include <cstdio>

#include "platform/headless/headless_platform.h"

namespace platform {

struct HeadlessPlatform::PrintJob {
    PrintAnswer answer;
    PrintedDocument document;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<PrintPage> page;

    ~PrintJob() {
        if (cr != nullptr) cairo_destroy(cr);
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
};

namespace {

cairo_status_t CountBytes(void* closure, const unsigned char*, unsigned int length) {
    *static_cast<size_t*>(closure) += length;
    return CAIRO_STATUS_SUCCESS;
}

PrintChoice ChoiceMade(const PrintAnswer& answer, const PrintChoice& offered, const HeadlessConfig& config) {
    PrintChoice choice = answer.choice;
    if (choice.pageWidthInches <= 0) {
        choice = offered;
        if (choice.settings.empty()) {
            choice.pageWidthInches = config.paperWidthInches;
            choice.pageHeightInches = config.paperHeightInches;
            choice.dpiX = choice.dpiY = config.printerDpi;
        }
    }
    if (choice.settings.empty()) {
        char text[96];
        std::snprintf(text, sizeof text, "paper %gx%g in, %dx%d dpi", choice.pageWidthInches,
                      choice.pageHeightInches, choice.dpiX, choice.dpiY);
        choice.settings = text;
    }
    return choice;
}

}  // namespace

void HeadlessPlatform::answerPrintDialog(PrintAnswer answer) { printAnswers_.push_back(std::move(answer)); }

PrintStart HeadlessPlatform::startPrintJob(NativeWindow owner, const PrintChoice& offered, const std::string& title) {
    printOffers_.push_back(offered);
    PrintStart start;
    if (printJob_ != nullptr) return start;  // one document at a time
    if (printAnswers_.empty() && !improviser_.printDialog) return start;
    PrintAnswer answer;
    if (printAnswers_.empty()) {
        answer = improviser_.printDialog();
    } else {
        answer = std::move(printAnswers_.front());
        printAnswers_.pop_front();
    }
    if (!answer.print && answer.failure == PrintFailure::None) return start;
    start.choice = ChoiceMade(answer, offered, config_);
    start.failure = answer.failure;
    start.reason = answer.reason;
    if (answer.failure != PrintFailure::None) return start;

    auto job = std::make_shared<PrintJob>();
    const double w = start.choice.pageWidthInches * 72.0, h = start.choice.pageHeightInches * 72.0;
    job->surface = answer.outputPath.empty()
                       ? cairo_pdf_surface_create_for_stream(CountBytes, &job->document.bytes, w, h)
                       : cairo_pdf_surface_create(answer.outputPath.c_str(), w, h);
    job->cr = cairo_create(job->surface);
    if (cairo_status(job->cr) != CAIRO_STATUS_SUCCESS) {
        start.failure = PrintFailure::Document;
        start.reason = cairo_status_to_string(cairo_status(job->cr));
        return start;
    }
    job->page = std::make_unique<PrintPage>(job->cr, start.choice);
    job->page->record(answer.keepPictures);
    job->document.choice = start.choice;
    job->answer = std::move(answer);
    printJob_ = std::move(job);
    start.started = true;
    return start;
}

PrintPage* HeadlessPlatform::printPage() { return printJob_ != nullptr ? printJob_->page.get() : nullptr; }

void HeadlessPlatform::endPrintPage() {
    if (printJob_ == nullptr) return;
    printJob_->page->showPage();
    ++printJob_->document.pages;
}

std::string HeadlessPlatform::finishPrintJob() {
    if (printJob_ == nullptr) return "";
    std::shared_ptr<PrintJob> job = std::move(printJob_);
    cairo_destroy(job->cr);
    job->cr = nullptr;
    cairo_surface_finish(job->surface);
    job->page->ended();
    const cairo_status_t status = cairo_surface_status(job->surface);
    job->document.pictures = job->page->pictures();
    job->document.fills = job->page->fills();
    if (status == CAIRO_STATUS_SUCCESS && job->answer.jobFailure.empty()) {
        printed_.push_back(std::move(job->document));
        return "";
    }
    return status != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(status) : job->answer.jobFailure;
}

}  // namespace platform
