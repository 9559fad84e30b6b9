// A desktop without a display, for tests and benchmarks.
//
// Input is scripted: the test queues pointer and key events (client coordinates of the main
// window, which sits at the desktop's origin unless moved), answers for message boxes, menus and
// dialogs, and callbacks that run at their turn in the message stream. Pointer, button and key
// state change when the event carrying them is taken from the queue, so a handler that polls the
// state sees what a real desktop would show at that moment.
//
// Output is recorded: message boxes with caption and text, cursor changes, menus opened, sounds
// requested, rectangles presented. Time is virtual: it moves on only through sleep(), timeouts
// and timers, so a test runs as fast as the code allows.
//
// When the script is exhausted and the program waits for input, a dialog that is open ends
// with 0; with no dialog open the main window is asked to close. A window still there when the
// script runs out again, nothing else having happened, is taken away (destroyed, as a desktop
// ending the session does), so a scripted run always ends.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/print_page.h"
#include "platform/touch.h"

namespace platform {

struct HeadlessConfig {
    int width = 800;   // the screen in its own pixels
    int height = 600;
    int depth = 24;
    int desktopFactor = 1;  // the desktop's own scale
    bool otherInstanceRunning = false;
    // The paper and resolution the print dialog offers before anything was chosen.
    double paperWidthInches = 8.5;
    double paperHeightInches = 11.0;
    int printerDpi = 600;
};

// How the next print dialog is answered. By default it is cancelled.
struct PrintAnswer {
    bool print = false;                          // the Print button; false cancels
    PrintFailure failure = PrintFailure::None;   // or the dialog fails this way
    std::string reason{};                        // the desktop's words for that failure
    // The choice made; no settings keeps what the dialog offered (or the configured paper).
    PrintChoice choice{};
    std::string outputPath{};  // where the PDF goes; empty: it is only counted
    std::string jobFailure{};  // the desktop refuses the finished document, saying this
    bool keepPictures = true;  // copies of the pictures printed go into printed()
};

// A document as it was handed over.
struct PrintedDocument {
    PrintChoice choice{};
    int pages = 0;                          // pages ended
    std::vector<PrintedPicture> pictures;   // every picture drawn, on any page
    int fills = 0;                          // figures and text drawn
    size_t bytes = 0;                       // of PDF
};

// Answers made up when none is queued, e.g. at random by a soak run. Each one left empty keeps
// the default answer.
struct Improviser {
    std::function<MsgBoxResult(const std::string& text, MsgBoxStyle style)> messageBox{};
    std::function<int(const std::vector<MenuItem>& items)> menu{};  // the id chosen, 0 to dismiss
    std::function<void(NativeWindow dialog)> dialog{};            // as answerDialog's script
    std::function<FileDialogResult(const FileDialogRequest& request)> fileDialog{};
    std::function<PrintAnswer()> printDialog{};
};

struct RecordedMessageBox {
    NativeWindow owner = 0;
    std::string caption;
    std::string text;
    MsgBoxStyle style{};
    MsgBoxResult answer = MsgBoxResult::Ok;
};

struct RecordedMenu {
    NativeWindow owner = 0;
    std::vector<MenuItem> items;
    Point at{};
};

struct RecordedSound {
    int soundId = 0;  // 0 for a stop
    SoundMode mode = SoundMode::NoInterrupt;
    bool stop = false;
};

class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(HeadlessConfig config = {});
    ~HeadlessPlatform() override;

    // ---- Scripting ----------------------------------------------------------------------
    // Pointer events in client coordinates of the main window (or `window` when given).
    void moveTo(int x, int y, NativeWindow window = 0);
    void press(int x, int y, NativeWindow window = 0);
    void release(int x, int y, NativeWindow window = 0);
    void click(int x, int y, NativeWindow window = 0);
    void doubleClick(int x, int y, NativeWindow window = 0);  // down, up, double-click, up
    void rightClick(int x, int y, NativeWindow window = 0);
    // A finger (told apart by `finger`) on the touch screen, in client coordinates as above; it
    // reaches the program through the touch filter when taken from the queue.
    void touch(TouchPhase phase, int finger, int x, int y, NativeWindow window = 0);
    void keyDown(int virtualKey, NativeWindow window = 0);
    void keyUp(int virtualKey, NativeWindow window = 0);
    void typeKey(int virtualKey, NativeWindow window = 0);  // down, then up
    void focus(bool gained, NativeWindow window = 0);
    void tryToMove(const Rect& proposal, NativeWindow window = 0);    // Moving
    void tryToResize(const Rect& proposal, NativeWindow window = 0);  // Sizing
    void changeDisplay(int width, int height, int depth);             // DisplayChange to all
    // A window manager that keeps the window (the main one unless told) in `kept`, as a tiling
    // one or a panel's strip does: a placement anywhere else is answered with a Sizing that
    // proposes `kept`, at most `patience` times so that a program that never gives in still ends.
    void keepWindowIn(const Rect& kept, NativeWindow window = 0, int patience = 50);
    int refusals() const { return refusals_; }  // the answers that manager has given
    void postCommand(int command, NativeWindow window = 0);
    // The session ends (SIGTERM, SIGHUP): Terminate to the first window, in its turn.
    void endSession();
    // The display goes away: the display-lost handler runs at once (the process would then end).
    void loseDisplay() {
        if (lastWords_ != nullptr) lastWords_();
    }
    // Runs `step` when the message stream reaches it.
    void then(std::function<void()> step);
    // Answers for the next message boxes, in order (default: Ok, or Closed for Yes/No boxes).
    void answerMessageBox(MsgBoxResult answer);
    // Answers for the next popup menus: the id chosen, 0 to dismiss (default: dismiss).
    void answerMenu(int commandId);
    // Runs when the next dialog has opened and painted; it may queue input for the dialog.
    void answerDialog(std::function<void(NativeWindow dialog)> script);
    // Answers for the next file dialogs (default: cancelled).
    void answerFileDialog(FileDialogResult answer);
    void answerPrintDialog(PrintAnswer answer);
    // Asked whenever no scripted answer is queued.
    void improvise(Improviser improviser) { improviser_ = std::move(improviser); }
    // Whether a web browser can be started (default: yes).
    void setBrowserAvailable(bool available) { browserAvailable_ = available; }
    // Polled state without an event, effective at once.
    void setKeyState(int virtualKey, bool down);
    void setButtonState(MouseButton button, bool down);
    void setButtonsSwapped(bool swapped);

    // ---- Recorded output ----------------------------------------------------------------
    const std::vector<RecordedMessageBox>& messageBoxes() const { return boxes_; }
    const std::vector<RecordedMenu>& menus() const { return menus_; }
    const std::vector<RecordedSound>& sounds() const { return sounds_; }
    const std::vector<int>& cursors() const { return cursors_; }  // every setCursor, in order
    int currentCursor() const { return cursors_.empty() ? 0 : cursors_.back(); }
    const std::vector<Point>& warps() const { return warps_; }    // setCursorPos, screen coords
    const std::vector<Rect>& presented() const { return presented_; }
    const std::vector<std::string>& raiseRequests() const { return raises_; }
    int beeps() const { return beeps_; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    const std::vector<std::string>& browserPages() const { return browserPages_; }  // every page asked for
    const std::vector<PrintChoice>& printOffers() const { return printOffers_; }  // offered by each print dialog
    const std::vector<PrintedDocument>& printed() const { return printed_; }  // every document finished
    int windowCount() const;
    bool hasTimer(NativeWindow window, int timerId) const;  // set and not killed
    std::vector<NativeWindow> windows() const;
    NativeWindow firstWindow() const;  // the first window still open, 0 if none
    int iconOf(NativeWindow window) const;
    std::string titleOf(NativeWindow window) const;
    bool heldOverDesktop(NativeWindow window) const;
    void clearRecords();

    // ---- Platform -----------------------------------------------------------------------
    int screenDepth() override { return config_.depth; }
    Rect desktopRect() override { return Rect{0, 0, config_.width / factor_, config_.height / factor_}; }
    ScreenPixels screenPixels() override { return {config_.width, config_.height, config_.desktopFactor, factor_}; }
    void setScale(int factor) override { factor_ = factor > 0 ? factor : 1; }
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
    uint32_t tickCount() override { return now_; }
    void sleep(int ms) override;
    Point cursorPos() override { return pointer_; }
    void setCursorPos(Point screenPoint) override;
    bool isButtonDown(MouseButton button) override;
    bool buttonsSwapped() override { return swapped_; }
    bool isKeyDown(int virtualKey) override { return keys_.count(virtualKey) != 0; }
    void setCursor(int cursorId) override { cursors_.push_back(cursorId); }
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
    bool openInBrowser(const std::string& path) override;
    PrintStart startPrintJob(NativeWindow owner, const PrintChoice& offered, const std::string& title) override;
    PrintPage* printPage() override;
    void endPrintPage() override;
    std::string finishPrintJob() override;
    void playSound(int soundId, SoundMode mode) override;
    void stopSound() override;
    void beep() override { ++beeps_; }
    void setDisplayLostHandler(void (*lastWords)()) override { lastWords_ = lastWords; }

private:
    struct Control {
        ControlKind kind = ControlKind::Edit;
        std::string text;
        std::vector<std::string> items;  // kept sorted
        int selection = -1;
    };
    struct Window {
        Rect rect{};
        std::string title;
        WindowProc proc = nullptr;
        int icon = 0;
        bool visible = false;
        bool held = false;  // holdOverDesktop()
        std::vector<uint8_t> pixels;
        std::map<int, Control> controls;
        bool dialogEnded = false;
        int dialogResult = 0;
    };
    // One queued item: a message with the input state it brings, or a callback.
    struct Event {
        Message msg{};
        bool movesPointer = false;
        Point pointer{};
        int buttonChange = 0;  // +1 left down, -1 left up, +2 right down, -2 right up
        int keyChange = 0;     // +vk down, -vk up
        bool isTouch = false;  // msg is made from `touch` when taken
        TouchEvent touch{};
        std::function<void()> step;
    };
    struct Timer {
        NativeWindow window;
        int id;
        int interval;
        uint32_t due;
    };

    Window* find(NativeWindow window);
    NativeWindow target(NativeWindow window) const;
    Point toScreen(NativeWindow window, int x, int y);
    void queuePointer(MsgKind kind, int x, int y, NativeWindow window, int buttonChange);
    void queueKey(MsgKind kind, int virtualKey, NativeWindow window);
    void takeTouch(const TouchEvent& touch);
    void queueFromFinger(const TouchMessages& made);
    void resizeStore(Window& w);
    bool fireDueTimers();
    void endOfScript();

    HeadlessConfig config_;
    int factor_ = config_.desktopFactor;  // every pixel of the program shown as factor_ x factor_
    std::map<NativeWindow, Window> windows_;
    NativeWindow nextWindow_ = 1;
    std::deque<Event> queue_;
    uint64_t taken_ = 0;            // events taken from the queue so far
    uint64_t takenAtClose_ = 0;     // ... when the end of the script last asked the window to close
    bool closeAsked_ = false;
    std::vector<Timer> timers_;
    std::vector<NativeWindow> openDialogs_;
    uint32_t now_ = 1000;
    Point pointer_{};
    bool leftDown_ = false;
    bool rightDown_ = false;
    bool swapped_ = false;
    std::set<int> keys_;
    TouchFilter touch_;
    std::deque<MsgBoxResult> boxAnswers_;
    std::deque<int> menuAnswers_;
    std::deque<std::function<void(NativeWindow)>> dialogScripts_;
    std::deque<FileDialogResult> fileAnswers_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<std::string> browserPages_;
    struct PrintJob;  // headless_print.cpp
    std::deque<PrintAnswer> printAnswers_;
    std::vector<PrintChoice> printOffers_;
    std::vector<PrintedDocument> printed_;
    std::shared_ptr<PrintJob> printJob_;
    bool browserAvailable_ = true;
    Improviser improviser_;
    std::vector<RecordedMessageBox> boxes_;
    std::vector<RecordedMenu> menus_;
    std::vector<RecordedSound> sounds_;
    std::vector<int> cursors_;
    std::vector<Point> warps_;
    std::vector<Rect> presented_;
    std::vector<std::string> raises_;
    int beeps_ = 0;
    void (*lastWords_)() = nullptr;
    NativeWindow kept_ = 0;  // the window the window manager keeps in keptRect_
    Rect keptRect_{};
    int patience_ = 0;
    int refusals_ = 0;
};

}  // namespace platform
