// What the program needs from a desktop, in the program's own terms.
//
// Two backends implement this interface: the GTK backend (the real program) and the headless
// backend (tests and benchmarks: no display, scripted input, recorded output). One of them is
// installed at start-up with InstallPlatform(); code above this layer never asks which.
//
// Coordinates: screen coordinates for window rectangles and the pointer, client coordinates
// (origin at the window's top-left) for messages and drawing. y grows downward.
// Everything runs on one thread; nothing here is thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace platform {

class GamePad;
class PrintPage;

// A window of the desktop. 0 is "no window".
using NativeWindow = int32_t;

// Key codes are the virtual-key numbers the program's logic is written in.
constexpr int kVkBack = 8;
constexpr int kVkTab = 9;
constexpr int kVkReturn = 13;
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkMenu = 18;  // Alt
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkDelete = 46;
constexpr int kVkNumpad0 = 96;  // to kVkNumpad0 + 9, the keypad's digits with Num Lock on
// The keypad's eight directions with Num Lock off, apart from the main arrows and Home/End keys.
constexpr int kVkPadUpLeft = 151;
constexpr int kVkPadUp = 152;
constexpr int kVkPadUpRight = 153;
constexpr int kVkPadLeft = 154;
constexpr int kVkPadRight = 155;
constexpr int kVkPadDownLeft = 156;
constexpr int kVkPadDown = 157;
constexpr int kVkPadDownRight = 158;
constexpr int kVkF1 = 112;
constexpr int kVkF4 = 115;
constexpr int kVkF10 = 121;
constexpr int kVkApps = 93;  // the menu key, beside the right Ctrl
// Letters and digits use their upper-case ASCII code ('C' is 67).

enum class MsgKind : uint8_t {
    None,
    SetFocus,        // the window got the keyboard focus
    KillFocus,       // the window lost it
    Paint,           // the desktop wants the window shown again (served from the backing store)
    DisplayChange,   // the screen's size or depth changed
    Sizing,          // someone tries to resize the window: rect is the proposal (in/out)
    Moving,          // someone tries to move the window: rect is the proposal (in/out)
    KeyDown,         // key = virtual-key code
    KeyUp,
    Char,            // key = the character typed (a Unicode code point)
    LButtonDown,     // x, y in client coordinates
    LButtonUp,
    LButtonDblClk,
    MouseMove,
    RButtonDown,
    Command,         // command = menu item or control id, notify = control notification
    Timer,           // timerId
    Close,           // asked to close; the default procedure destroys the window
    Destroy,         // sent while the window is being destroyed
    Quit,            // ends the message loop with exitCode
    InitDialog,      // first message to a dialog procedure
    EraseBackground, // a dialog's background is to be drawn
    Terminate,       // the session asks the program to end at once (logout, shutdown): no questions
};

struct Message {
    MsgKind kind = MsgKind::None;
    NativeWindow window = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t key = 0;
    int32_t command = 0;
    int32_t notify = 0;
    int32_t timerId = 0;
    int32_t exitCode = 0;
    Rect rect{};  // Sizing and Moving: the proposed window rectangle, which the procedure may overwrite
    // Pointer messages: the left button was held when the event happened. Events can wait in
    // the queue, so this, not a poll, tells a drag from a hover.
    bool leftButtonDown = false;
};

// A window procedure returns its result for the message; messages it does not handle go to
// Platform::defWindowProc.
using WindowProc = long (*)(Message& msg);

enum class MsgBoxButtons : uint8_t { Ok, YesNo };
enum class MsgBoxIcon : uint8_t { None, Exclamation, Information, Question };
enum class MsgBoxResult : uint8_t { Ok, Yes, No, Closed };

struct MsgBoxStyle {
    MsgBoxButtons buttons = MsgBoxButtons::Ok;
    MsgBoxIcon icon = MsgBoxIcon::None;
    bool systemModal = false;  // above every window, owner or not
};

// One popup menu entry; id 0 with an empty text is a separator. '&' marks the mnemonic.
struct MenuItem {
    int32_t id = 0;
    std::string text;
    bool isSeparator() const { return id == 0; }
};

// Painted dialogs may hold up to two real controls.
enum class ControlKind : uint8_t { Edit, SortedList };

struct DialogControl {
    int32_t id = 0;
    ControlKind kind = ControlKind::Edit;
    Rect rect{};  // client coordinates of the dialog
};

struct DialogTemplate {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<DialogControl> controls;
};

// Control notifications sent as Command messages (notify field).
constexpr int32_t kListSelectionChanged = 1;
constexpr int32_t kEditChanged = 2;

enum class MouseButton : uint8_t { Left, Right };

// The Save As and Open dialogs: one filter, a starting folder, and no question before a file is
// replaced. When the typed name has no extension, defaultExtension is added.
struct FileDialogRequest {
    bool save = false;
    std::string title;             // "Save As", "Open"
    std::string filterName;        // the one filter's description
    std::string filterPattern;     // e.g. "*.bmp", or several: "*.png;*.jpg"
    std::string folder;            // where the dialog starts
    std::string initialName;       // the name the dialog offers
    std::string defaultExtension;  // without the dot
};

struct FileDialogResult {
    bool chosen = false;  // a file was chosen
    std::string path;     // its full path
    int failure = 0;      // when not chosen: 0 cancelled, otherwise the dialog's failure code
};

enum class SoundMode : uint8_t {
    NoInterrupt,  // start only when nothing is playing
    Interrupt,    // stop what plays and start this
    Loop,         // stop what plays and play this over and over
};

// What the print dialog chose: the backend's own record of the printer, the paper and the
// other settings (offered again at the next print), and what the program needs to know of it.
struct PrintChoice {
    std::string settings;           // opaque to everything above the backend; empty: none yet
    double pageWidthInches = 0.0;   // the paper as it lies (orientation applied)
    double pageHeightInches = 0.0;
    int dpiX = 0;
    int dpiY = 0;
};

// How a print dialog ended. When a document was opened, printPage() is its first page.
enum class PrintFailure : uint8_t {
    None,
    PrinterNotFound,  // the printer chosen is gone
    NoSettings,       // the dialog gave no paper or settings
    OutOfMemory,      // the document could not be made for want of memory
    Document,         // the desktop refused to start the document: `reason` says why
};

struct PrintStart {
    bool started = false;  // a document is open; false and None: the user cancelled
    PrintFailure failure = PrintFailure::None;
    std::string reason;    // the desktop's own words, when it gave any
    PrintChoice choice;    // what was chosen (kept by the caller even when the start failed)
};

// The screen in its own pixels, and the factor the desktop shows every program's pixels at when
// a program does not ask for another (1 on a desktop that does not scale).
struct ScreenPixels {
    int width = 0;
    int height = 0;
    int desktopFactor = 1;
    int factor = 1;  // the factor in force now
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Screen -------------------------------------------------------------------------
    virtual int screenDepth() = 0;   // bits per pixel of the display
    virtual Rect desktopRect() = 0;  // the whole desktop, screen coordinates

    // --- Scale ----------------------------------------------------------------------------
    // Every pixel of the program may be shown as a factor x factor block of the screen's own
    // pixels. Everything else in this interface (the desktop, windows, the pointer, messages)
    // is in the program's pixels at the factor in force.
    virtual ScreenPixels screenPixels() = 0;
    // From now on show every pixel as a factor x factor block (1 or more). Windows keep their
    // size in the program's pixels; the desktop rectangle shrinks or grows.
    virtual void setScale(int factor) = 0;

    // --- Single instance ----------------------------------------------------------------
    // True when this process is the only instance. False when another runs: it has been asked
    // to bring its window to the front, and this process should end with 0.
    virtual bool claimSingleInstance() = 0;

    // --- Windows ------------------------------------------------------------------------
    // A borderless top-level window at `rect` (screen coordinates), not yet shown. Its client
    // area is the whole window. Returns 0 on failure.
    virtual NativeWindow createWindow(const Rect& rect, const std::string& title, WindowProc proc) = 0;
    // Sends Destroy to the window's procedure, then removes the window.
    virtual void destroyWindow(NativeWindow window) = 0;
    virtual bool isWindow(NativeWindow window) = 0;
    virtual void showWindow(NativeWindow window) = 0;
    virtual void bringToFront(NativeWindow window) = 0;
    virtual void moveWindow(NativeWindow window, const Rect& rect) = 0;  // screen coordinates
    virtual Rect windowRect(NativeWindow window) = 0;                     // screen coordinates
    virtual Rect clientRect(NativeWindow window) = 0;                     // (0, 0, width, height)
    virtual void setWindowTitle(NativeWindow window, const std::string& title) = 0;
    virtual void setWindowIcon(NativeWindow window, int iconId) = 0;
    // For kiosk mode: from now on the window covers the whole screen above every other window,
    // the desktop's panels too, on every workspace, out of taskbars and pagers, with no close for
    // a window manager to offer; put away, it comes back. A close that arrives all the same still
    // comes as Close. openInBrowser() lets the browser over it until the next click in it.
    virtual void holdOverDesktop(NativeWindow window) = 0;

    // The window's backing store: a 24-bit surface the size of its client area. Drawing into it
    // shows nothing until present(); the desktop's own repaints are served from it.
    virtual PixelView backingStore(NativeWindow window) = 0;
    // Shows `rect` (client coordinates) of the backing store on screen before returning.
    virtual void present(NativeWindow window, const Rect& rect) = 0;

    // --- Messages -----------------------------------------------------------------------
    // Removes the next message without blocking; false when none waits.
    virtual bool peekMessage(Message& out) = 0;
    // Blocks until a message waits or `timeoutMs` passes (-1: no limit).
    virtual void waitMessage(int timeoutMs) = 0;
    virtual void postMessage(const Message& msg) = 0;
    virtual void postQuitMessage(int exitCode) = 0;
    // Calls the procedure of msg.window and returns its result. After Sizing or Moving the
    // backend puts the window where msg.rect then says.
    virtual long dispatchMessage(Message& msg) = 0;
    // What happens to a message a procedure does not handle (Close destroys the window).
    virtual long defWindowProc(Message& msg) = 0;

    // --- Timers and time ----------------------------------------------------------------
    virtual void setTimer(NativeWindow window, int timerId, int intervalMs) = 0;
    virtual void killTimer(NativeWindow window, int timerId) = 0;
    virtual uint32_t tickCount() = 0;  // milliseconds since some fixed moment
    virtual void sleep(int ms) = 0;

    // --- Pointer and keys, polled at the moment of asking ---------------------------------
    virtual Point cursorPos() = 0;  // screen coordinates
    virtual void setCursorPos(Point screenPoint) = 0;
    virtual bool isButtonDown(MouseButton button) = 0;
    virtual bool buttonsSwapped() = 0;
    virtual bool isKeyDown(int virtualKey) = 0;
    // Shows the cursor resource `cursorId` over the program's windows.
    virtual void setCursor(int cursorId) = 0;

    // --- Modal things -------------------------------------------------------------------
    // owner 0: no owner.
    virtual MsgBoxResult messageBox(NativeWindow owner, const std::string& caption,
                                    const std::string& text, MsgBoxStyle style) = 0;
    // Opens a popup menu centred on `clientPoint` of `owner`; the chosen id arrives later as a
    // Command message to `owner`. Nothing arrives when the menu is dismissed.
    virtual void popupMenu(NativeWindow owner, const std::vector<MenuItem>& items, Point clientPoint) = 0;

    // Runs a painted modal dialog owned by `owner`: an undecorated window of the template's
    // size, centred on the owner, that first receives InitDialog, EraseBackground and Paint;
    // then input goes to `proc` until it calls endDialog(). Input for other windows is dropped
    // meanwhile. Returns the value given to endDialog().
    virtual int runDialog(NativeWindow owner, const DialogTemplate& tmpl, WindowProc proc) = 0;
    virtual void endDialog(NativeWindow dialog, int result) = 0;

    // The dialog's real controls, addressed by (dialog, control id).
    virtual void listReset(NativeWindow dialog, int controlId) = 0;
    virtual void listAddString(NativeWindow dialog, int controlId, const std::string& text) = 0;
    virtual int listFindExact(NativeWindow dialog, int controlId, const std::string& text) = 0;  // -1: none
    virtual void listSetSelection(NativeWindow dialog, int controlId, int index) = 0;
    virtual int listGetSelection(NativeWindow dialog, int controlId) = 0;  // -1: none
    virtual std::string listGetText(NativeWindow dialog, int controlId, int index) = 0;
    virtual std::string editGetText(NativeWindow dialog, int controlId) = 0;
    virtual void editSetText(NativeWindow dialog, int controlId, const std::string& text) = 0;

    // Runs the Save As or Open dialog owned by `owner` and returns what the user chose.
    virtual FileDialogResult fileDialog(NativeWindow owner, const FileDialogRequest& request) = 0;
    // The desktop's own dialogs (message boxes, Open, Save As, Print) for a child without a
    // mouse. With scanning (stepMs > 0) the focus goes round the dialog's buttons at that pace
    // and `key` presses the one it is on. With a controller the D-pad or a stick moves the focus,
    // the south button presses and the east one closes the dialog as Escape does; null: none.
    virtual void setDialogScanning(int stepMs, int key) { (void)stepMs, (void)key; }
    virtual void setDialogPad(GamePad* pad) { (void)pad; }

    // Shows the local file `path` (an absolute path) in the desktop's web browser; false when
    // no browser could be started.
    virtual bool openInBrowser(const std::string& path) = 0;

    // --- Printing -----------------------------------------------------------------------
    // Runs the print dialog owned by `owner`, offering `offered` (from an earlier print), and
    // opens a document on the printer chosen. Only one document is open at a time.
    virtual PrintStart startPrintJob(NativeWindow owner, const PrintChoice& offered, const std::string& title) = 0;
    // The open document's current page; null when no document is open.
    virtual PrintPage* printPage() = 0;
    // Ends the current page; drawing after it goes on a new one.
    virtual void endPrintPage() = 0;
    // Closes the document and hands it to the desktop's printing, waiting (with the desktop's
    // events served) until it is accepted or refused. Empty when accepted, else the reason.
    virtual std::string finishPrintJob() = 0;

    // --- Sound --------------------------------------------------------------------------
    // Plays the WAVE resource `soundId`; see SoundMode. Without a sound device nothing plays.
    virtual void playSound(int soundId, SoundMode mode) = 0;
    virtual void stopSound() = 0;
    // The desktop's warning sound.
    virtual void beep() = 0;

    // --- The end of the session ---------------------------------------------------------
    // A request to end (the session's logout or shutdown) arrives as a Terminate message to the
    // first window still open. Losing the display cannot wait for the loop: `lastWords` is then
    // called at once, from wherever the program is, and the process ends when it returns. It
    // must not use the desktop (no windows, messages or dialogs); files and pixels are fine.
    virtual void setDisplayLostHandler(void (*lastWords)()) = 0;
};

// The installed backend. Installing null removes it.
void InstallPlatform(Platform* backend);
Platform& Plat();
bool HasPlatform();

// Hands back to the system what the program no longer uses: the allocator's free pages and the
// pages of resources already read. Cheap enough to call after every burst of work.
void ReleaseSpareMemory();

}  // namespace platform
