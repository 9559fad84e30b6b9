// The GTK backend's shared state. Only files under platform/gtk/ include this header.
//
// Every program window is a borderless GtkWindow holding a GtkFixed: a GtkDrawingArea covering
// the whole client area (it serves the desktop's exposes from the window's mirror surface and
// receives the pointer), and above it the real controls of a dialog. The backing store the
// program draws into is a bottom-up BGR buffer; present() writes the pixels of the changed
// rectangle that differ into the cairo mirror (screen pixels: each of ours an s x s block at the
// window's scale factor s) and puts them on screen at once.
//
// GDK events become Messages in one FIFO queue (gtk_events.cpp is the only place that maps
// them); peekMessage/waitMessage run the GLib main loop just long enough to fill it.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_sdl.h"
#include "platform/platform.h"
#include "platform/print_page.h"
#include "platform/touch.h"

namespace platform::gtk {

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::Edit;
    Rect rect{};                       // client coordinates of the dialog
    GtkWidget* widget = nullptr;       // the GtkEntry, or the scrolled window around the list
    GtkTreeView* list = nullptr;
    GtkListStore* store = nullptr;
    std::vector<std::string> items;    // the list's entries in their sorted order (mirrors store)
    bool quiet = false;                // true while the program itself changes the control
};

struct Window {
    NativeWindow id = 0;
    WindowProc proc = nullptr;
    bool isDialog = false;
    GtkWidget* top = nullptr;    // GtkWindow
    GtkWidget* layer = nullptr;  // GtkFixed
    GtkWidget* area = nullptr;   // GtkDrawingArea
    Rect rect{};                 // where the program last put the window (screen coordinates)
    std::vector<Rect> requested; // earlier placements whose configure events may still arrive
    std::vector<uint8_t> pixels;
    PixelView view{};
    cairo_surface_t* mirror = nullptr;  // CAIRO_FORMAT_RGB24 copy of what has been presented,
                                        // mirrorScale times the backing store's size
    int mirrorScale = 0;                // the window's scale factor when the mirror was made
    int mirrorWidth = 0;                // the backing store's size then
    int mirrorHeight = 0;
    std::vector<Control> controls;
};

// The document being printed.
struct PrintRun {
    GtkPrintJob* job = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<PrintPage> page;

    ~PrintRun() {
        if (cr != nullptr) cairo_destroy(cr);
        if (job != nullptr) g_object_unref(job);
    }
};

// One running painted dialog; lives on runDialog's stack.
struct DialogRun {
    NativeWindow window = 0;
    bool ended = false;
    int result = 0;
};

class GtkBackend final : public Platform {
public:
    GtkBackend() = default;
    ~GtkBackend() override;

    int screenDepth() override;
    Rect desktopRect() override;
    ScreenPixels screenPixels() override;
    void setScale(int factor) override;
    bool claimSingleInstance() override;

    NativeWindow createWindow(const Rect& rect, const std::string& title, WindowProc proc) override;
    void destroyWindow(NativeWindow window) override;
    void holdOverDesktop(NativeWindow window) override;
    bool isWindow(NativeWindow window) override;
    void showWindow(NativeWindow window) override;
    void bringToFront(NativeWindow window) override;
    void moveWindow(NativeWindow window, const Rect& rect) override;
    Rect windowRect(NativeWindow window) override;
    Rect clientRect(NativeWindow window) override;
    void setWindowTitle(NativeWindow window, const std::string& title) override;
    void setWindowIcon(NativeWindow window, int iconId) override;
    PixelView backingStore(NativeWindow window) override;
    void present(NativeWindow window, const Rect& rect) override;

    bool peekMessage(Message& out) override;
    void waitMessage(int timeoutMs) override;
    void postMessage(const Message& msg) override;
    void postQuitMessage(int exitCode) override;
    long dispatchMessage(Message& msg) override;
    long defWindowProc(Message& msg) override;

    void setTimer(NativeWindow window, int timerId, int intervalMs) override;
    void killTimer(NativeWindow window, int timerId) override;
    uint32_t tickCount() override;
    void sleep(int ms) override;

    Point cursorPos() override;
    void setCursorPos(Point screenPoint) override;
    bool isButtonDown(MouseButton button) override;
    bool buttonsSwapped() override;
    bool isKeyDown(int virtualKey) override;
    void setCursor(int cursorId) override;

    MsgBoxResult messageBox(NativeWindow owner, const std::string& caption, const std::string& text,
                            MsgBoxStyle style) override;
    void popupMenu(NativeWindow owner, const std::vector<MenuItem>& items, Point clientPoint) override;

    int runDialog(NativeWindow owner, const DialogTemplate& tmpl, WindowProc proc) override;
    void endDialog(NativeWindow dialog, int result) override;
    void listReset(NativeWindow dialog, int controlId) override;
    void listAddString(NativeWindow dialog, int controlId, const std::string& text) override;
    int listFindExact(NativeWindow dialog, int controlId, const std::string& text) override;
    void listSetSelection(NativeWindow dialog, int controlId, int index) override;
    int listGetSelection(NativeWindow dialog, int controlId) override;
    std::string listGetText(NativeWindow dialog, int controlId, int index) override;
    std::string editGetText(NativeWindow dialog, int controlId) override;
    void editSetText(NativeWindow dialog, int controlId, const std::string& text) override;

    FileDialogResult fileDialog(NativeWindow owner, const FileDialogRequest& request) override;
    void setDialogScanning(int stepMs, int key) override;
    void setDialogPad(GamePad* pad) override;
    bool openInBrowser(const std::string& path) override;

    PrintStart startPrintJob(NativeWindow owner, const PrintChoice& offered, const std::string& title) override;
    PrintPage* printPage() override;
    void endPrintPage() override;
    std::string finishPrintJob() override;

    void playSound(int soundId, SoundMode mode) override;
    void stopSound() override;
    void beep() override;

    void setDisplayLostHandler(void (*lastWords)()) override;

    // --- Shared between the backend's files ---------------------------------------------
    void ensureGtk();
    Window* find(NativeWindow window);
    Window* findByWidget(GtkWidget* widget);
    // Raises every program window (the main window first, its dialogs above it).
    void raiseAll();
    // Gives the keyboard back to the topmost program window after a modal box has gone.
    void restoreFocus();

    // Event mapping (gtk_events.cpp).
    void connectWindowEvents(Window& w);
    void connectScreenEvents();
    // Posting helpers used by the event mapping.
    void postPaint(NativeWindow window);
    void postFocus(NativeWindow window, bool gained);
    void postMouseMove(NativeWindow window, Point p, bool leftButtonDown);
    void postToAll(MsgKind kind);
    void postTimer(NativeWindow window, int timerId);
    // A GTK double click is an extra event after the second press: the press still waiting
    // in the queue becomes the double click, as the program expects.
    void turnPressIntoDoubleClick(NativeWindow window, Point p);
    void rememberTrigger(const GdkEvent* event);
    // A finger's event, made into pointer messages by the touch filter.
    void takeTouch(const TouchEvent& touch);
    void liftFinger();
    void onConfigure(NativeWindow window, const Rect& placed);

    // The end of the session (gtk_session.cpp): SIGTERM and SIGHUP post Terminate to the
    // first window; a lost X connection calls the display-lost handler and ends the process.
    void watchSession();
    void postTerminate();

    // Runs a GTK dialog modally, sized to fit the screen and centred on it (gtk_files.cpp).
    gint runCentred(GtkWidget* dialog, int width, int height);
    // Runs a GTK dialog modally, its buttons reachable by a switch or a controller as the owner
    // asked (gtk_dialog_access.cpp).
    gint runBox(GtkWidget* dialog);

    // The mirror at the window's present scale factor and size, made again (and filled from the
    // backing store) when either has changed (gtk_present.cpp).
    void makeMirror(Window& w);
    int deviceScale(const Window& w) const;

    // Controls (gtk_dialogs.cpp).
    Control* findControl(NativeWindow dialog, int controlId);

private:
    NativeWindow openWindow(const Rect& rect, const std::string& title, WindowProc proc, NativeWindow owner,
                            bool isDialog);
    void removeWindow(NativeWindow window);
    void resizeBackingStore(Window& w, int width, int height);
    void applyCursor(Window& w);
    void addControl(Window& w, const DialogControl& c);
    void postFromFinger(const TouchMessages& made);
    void watchInstanceSocket();
    bool hasQueued(NativeWindow window, MsgKind kind, int timerId = 0) const;

    bool gtkReady_ = false;
    int desktopFactor_ = 1;  // the desktop's own scale, as found when GTK started
    int instanceSocket_ = -1;
    guint instanceWatch_ = 0;

    std::map<NativeWindow, std::unique_ptr<Window>> windows_;
    NativeWindow nextWindow_ = 1;
    NativeWindow held_ = 0;  // the window holdOverDesktop() keeps above the rest
    std::deque<Message> queue_;
    std::map<uint64_t, guint> timers_;  // (window << 32 | timer id) -> GLib source
    std::vector<DialogRun*> dialogs_;   // innermost last
    std::vector<GtkWidget*> boxes_;     // message boxes on screen, innermost last
    int scanStepMs_ = 0;                // how the boxes' buttons are reached without a mouse
    int scanKey_ = 0;
    GamePad* pad_ = nullptr;

    std::map<int, GdkCursor*> cursors_;
    GdkCursor* currentCursor_ = nullptr;
    int currentCursorId_ = 0;
    TouchFilter touch_;
    GdkEvent* trigger_ = nullptr;  // the last press or key, for menus that need one to grab with
    std::unique_ptr<PrintRun> print_;
    SdlAudio audio_;  // sound effects; opens the sound device at the first sound
};

// Key codes (gtk_events.cpp): the virtual key of a key event, and the keyvals that produce a
// virtual key (for polling the keyboard).
int VirtualKeyOf(const GdkEventKey* event);
std::vector<guint> KeyvalsOfVirtualKey(int virtualKey);

// Shows a window's mirror in a cairo context of its drawing area (gtk_present.cpp).
void PaintMirror(cairo_t* cr, cairo_surface_t* mirror);
// Destroys a mirror and gives its memory back at once; leaves `mirror` null.
void DropMirror(cairo_surface_t*& mirror);

// The window's id stored on its GtkWindow.
constexpr const char* kWindowIdKey = "pictoria-window";

}  // namespace platform::gtk
