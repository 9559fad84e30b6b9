// Printing: the print dialog, one document at a time on the printer chosen, and its page as the
// drawing target 9000.
//
// The page is measured in printer pixels (the paper at the printer's resolution), y down from
// the paper's top-left corner. The printer, paper and settings chosen are kept for the next
// print dialog for as long as the program runs.
#include <string>

#include "platform/print_page.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

namespace toolbox {
namespace {

struct Printing {
    bool printing = false;        // a document is open
    platform::PrintChoice kept;   // offered by the next print dialog
    // Margins in thousandths of an inch: left, top, right, bottom. The whole paper is printable.
    float marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
};

Printing gPrint;

constexpr const char* kNotPrinted = TrLater("The picture was not printed. %s");

// What the dialog's failures are called when they are shown.
const char* FailureText(platform::PrintFailure failure) {
    switch (failure) {
        case platform::PrintFailure::PrinterNotFound: return Tr("Printer not Found");
        case platform::PrintFailure::NoSettings: return Tr("Failed to get device mode");
        case platform::PrintFailure::OutOfMemory: return Tr("Failed to allocate memory");
        default: return nullptr;
    }
}

bool HasPrinter() { return gPrint.printing && platform::HasPlatform() && platform::Plat().printPage() != nullptr; }

}  // namespace

void ResetPrinting() {
    if (gPrint.printing && platform::HasPlatform()) platform::Plat().finishPrintJob();
    gPrint = Printing{};
}

bool ResolvePrinterPage(Target& out) {
    out = Target{};
    if (!HasPrinter()) return false;
    platform::PrintPage* page = platform::Plat().printPage();
    out.view.width = page->width();
    out.view.height = page->height();
    out.draw = &PrinterDrawState();
    out.isPrinter = true;
    out.page = page;
    return true;
}

}  // namespace toolbox

using toolbox::gPrint;

int tb_OpenPrinter() {
    gPrint.printing = false;
    if (!platform::HasPlatform()) return -1;
    // The document has no name of its own: the print queue shows the program's.
    const platform::PrintStart start = platform::Plat().startPrintJob(tb_GetMainWindow(), gPrint.kept, "");
    if (!start.choice.settings.empty()) gPrint.kept = start.choice;
    if (start.started) {
        gPrint.printing = true;
        return kPrinterHandle;
    }
    if (const char* text = toolbox::FailureText(start.failure)) {
        tb_AttentionMessage(text);
    } else if (start.failure == platform::PrintFailure::Document) {
        tb_AttentionMessage(TrFormat(Tr(toolbox::kNotPrinted), start.reason.c_str()).c_str());
    }
    return -1;
}

// Pages begin by themselves once the previous one has ended.
void tb_StartPage() {}

void tb_EndPage() {
    if (toolbox::HasPrinter()) platform::Plat().endPrintPage();
}

void tb_ClosePrinter() {
    if (!gPrint.printing) return;
    gPrint.printing = false;
    const std::string reason = platform::Plat().finishPrintJob();
    if (!reason.empty()) tb_AttentionMessage(TrFormat(Tr(toolbox::kNotPrinted), reason.c_str()).c_str());
}

platform::PrintPage* tb_GetPrinterDC() { return toolbox::HasPrinter() ? platform::Plat().printPage() : nullptr; }

float tb_GetPageWidthInches() {
    return toolbox::HasPrinter() ? static_cast<float>(gPrint.kept.pageWidthInches) : 0.0F;
}

float tb_GetPageHeightInches() {
    return toolbox::HasPrinter() ? static_cast<float>(gPrint.kept.pageHeightInches) : 0.0F;
}

// Without a document, the resolution of the printer chosen last (0 before any was chosen).
int tb_GetPrinterDpiX() { return gPrint.kept.dpiX; }
int tb_GetPrinterDpiY() { return gPrint.kept.dpiY; }

void tb_GetPrintableRect(Rect* rect) {
    if (rect == nullptr) return;
    const float w = tb_GetPageWidthInches(), h = tb_GetPageHeightInches();
    const float dx = static_cast<float>(tb_GetPrinterDpiX()), dy = static_cast<float>(tb_GetPrinterDpiY());
    const float ml = gPrint.marginLeft / 1000.0F, mt = gPrint.marginTop / 1000.0F;
    const float mr = gPrint.marginRight / 1000.0F, mb = gPrint.marginBottom / 1000.0F;
    rect->left = tb_Trunc(dx * ml);
    rect->top = tb_Trunc(dy * mt);
    rect->right = tb_Trunc((w - ml - mr + ml) * dx);
    rect->bottom = tb_Trunc((h - mb - mt + mt) * dy);
}
