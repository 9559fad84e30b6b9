#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "platform/dialog_loop.h"

namespace platform {

HeadlessPlatform::HeadlessPlatform(HeadlessConfig config) : config_(config) {}

HeadlessPlatform::~HeadlessPlatform() = default;

// ---- Scripting ---------------------------------------------------------------------------

NativeWindow HeadlessPlatform::target(NativeWindow window) const {
    if (window != 0) return window;
    return firstWindow();
}

Point HeadlessPlatform::toScreen(NativeWindow window, int x, int y) {
    Window* w = find(window);
    if (w == nullptr) return Point{x, y};
    return Point{x + w->rect.left, y + w->rect.top};
}

void HeadlessPlatform::queuePointer(MsgKind kind, int x, int y, NativeWindow window, int buttonChange) {
    Event e;
    e.msg.kind = kind;
    e.msg.window = target(window);
    e.msg.x = x;
    e.msg.y = y;
    e.movesPointer = true;
    e.pointer = toScreen(e.msg.window, x, y);
    e.buttonChange = buttonChange;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::queueKey(MsgKind kind, int virtualKey, NativeWindow window) {
    Event e;
    e.msg.kind = kind;
    e.msg.window = target(window);
    e.msg.key = virtualKey;
    e.keyChange = kind == MsgKind::KeyDown ? virtualKey : -virtualKey;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::moveTo(int x, int y, NativeWindow window) {
    queuePointer(MsgKind::MouseMove, x, y, window, 0);
}
void HeadlessPlatform::press(int x, int y, NativeWindow window) {
    queuePointer(MsgKind::LButtonDown, x, y, window, +1);
}
void HeadlessPlatform::release(int x, int y, NativeWindow window) {
    queuePointer(MsgKind::LButtonUp, x, y, window, -1);
}
void HeadlessPlatform::click(int x, int y, NativeWindow window) {
    press(x, y, window);
    release(x, y, window);
}
void HeadlessPlatform::doubleClick(int x, int y, NativeWindow window) {
    click(x, y, window);
    queuePointer(MsgKind::LButtonDblClk, x, y, window, +1);
    release(x, y, window);
}
void HeadlessPlatform::rightClick(int x, int y, NativeWindow window) {
    queuePointer(MsgKind::RButtonDown, x, y, window, +2);
    Event up;  // the right button's release is not a message the program handles
    up.buttonChange = -2;
    up.step = [] {};
    queue_.push_back(std::move(up));
}
void HeadlessPlatform::touch(TouchPhase phase, int finger, int x, int y, NativeWindow window) {
    Event e;
    e.isTouch = true;
    e.touch = TouchEvent{phase, static_cast<uintptr_t>(finger), target(window), Point{x, y}, 0};
    queue_.push_back(std::move(e));
}

// What the filter makes of a finger goes to the front of the queue, as pointer events that
// move the pointer and the button the way the desktop's own emulation of them would.
void HeadlessPlatform::takeTouch(const TouchEvent& touch) {
    TouchEvent timed = touch;
    timed.timeMs = now_;
    queueFromFinger(touch_.feed(timed));
}

void HeadlessPlatform::queueFromFinger(const TouchMessages& made) {
    for (int i = made.count - 1; i >= 0; --i) {
        Event e;
        e.msg = made.messages[i];
        e.movesPointer = true;
        e.pointer = toScreen(e.msg.window, e.msg.x, e.msg.y);
        e.buttonChange = e.msg.kind == MsgKind::LButtonUp ? -1 : e.msg.kind == MsgKind::MouseMove ? 0 : +1;
        queue_.push_front(std::move(e));
    }
}

void HeadlessPlatform::keyDown(int virtualKey, NativeWindow window) { queueKey(MsgKind::KeyDown, virtualKey, window); }
void HeadlessPlatform::keyUp(int virtualKey, NativeWindow window) { queueKey(MsgKind::KeyUp, virtualKey, window); }
void HeadlessPlatform::typeKey(int virtualKey, NativeWindow window) {
    keyDown(virtualKey, window);
    keyUp(virtualKey, window);
}

void HeadlessPlatform::focus(bool gained, NativeWindow window) {
    Event e;
    e.msg.kind = gained ? MsgKind::SetFocus : MsgKind::KillFocus;
    e.msg.window = target(window);
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::tryToMove(const Rect& proposal, NativeWindow window) {
    Event e;
    e.msg.kind = MsgKind::Moving;
    e.msg.window = target(window);
    e.msg.rect = proposal;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::tryToResize(const Rect& proposal, NativeWindow window) {
    Event e;
    e.msg.kind = MsgKind::Sizing;
    e.msg.window = target(window);
    e.msg.rect = proposal;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::changeDisplay(int width, int height, int depth) {
    Event e;
    e.step = [this, width, height, depth] {
        config_.width = width;
        config_.height = height;
        config_.depth = depth;
        // Delivered before anything queued after the change.
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            Event change;
            change.msg.kind = MsgKind::DisplayChange;
            change.msg.window = it->first;
            change.msg.x = width;
            change.msg.y = height;
            queue_.push_front(std::move(change));
        }
    };
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::keepWindowIn(const Rect& kept, NativeWindow window, int patience) {
    kept_ = target(window);
    keptRect_ = kept;
    patience_ = patience;
    refusals_ = 0;
}

void HeadlessPlatform::postCommand(int command, NativeWindow window) {
    Event e;
    e.msg.kind = MsgKind::Command;
    e.msg.window = target(window);
    e.msg.command = command;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::endSession() {
    Event e;
    e.msg.kind = MsgKind::Terminate;
    e.msg.window = target(0);
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::then(std::function<void()> step) {
    Event e;
    e.step = std::move(step);
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::answerMessageBox(MsgBoxResult answer) { boxAnswers_.push_back(answer); }
void HeadlessPlatform::answerMenu(int commandId) { menuAnswers_.push_back(commandId); }
void HeadlessPlatform::answerDialog(std::function<void(NativeWindow)> script) {
    dialogScripts_.push_back(std::move(script));
}

void HeadlessPlatform::setKeyState(int virtualKey, bool down) {
    if (down) keys_.insert(virtualKey);
    else keys_.erase(virtualKey);
}

void HeadlessPlatform::setButtonState(MouseButton button, bool down) {
    (button == MouseButton::Left ? leftDown_ : rightDown_) = down;
}

void HeadlessPlatform::setButtonsSwapped(bool swapped) { swapped_ = swapped; }

// ---- Records -----------------------------------------------------------------------------

int HeadlessPlatform::windowCount() const { return static_cast<int>(windows_.size()); }

std::vector<NativeWindow> HeadlessPlatform::windows() const {
    std::vector<NativeWindow> ids;
    for (const auto& [id, w] : windows_) ids.push_back(id);
    return ids;
}

NativeWindow HeadlessPlatform::firstWindow() const { return windows_.empty() ? 0 : windows_.begin()->first; }

int HeadlessPlatform::iconOf(NativeWindow window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.icon;
}

std::string HeadlessPlatform::titleOf(NativeWindow window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? std::string() : it->second.title;
}

bool HeadlessPlatform::heldOverDesktop(NativeWindow window) const {
    auto it = windows_.find(window);
    return it != windows_.end() && it->second.held;
}

void HeadlessPlatform::clearRecords() {
    boxes_.clear();
    menus_.clear();
    sounds_.clear();
    cursors_.clear();
    warps_.clear();
    presented_.clear();
    raises_.clear();
    fileDialogs_.clear();
    browserPages_.clear();
    printOffers_.clear();
    printed_.clear();
    beeps_ = 0;
}

// ---- Windows -----------------------------------------------------------------------------

bool HeadlessPlatform::claimSingleInstance() {
    if (config_.otherInstanceRunning) {
        raises_.push_back("raise");
        return false;
    }
    return true;
}

HeadlessPlatform::Window* HeadlessPlatform::find(NativeWindow window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

void HeadlessPlatform::resizeStore(Window& w) {
    int width = std::max(0, w.rect.width());
    int height = std::max(0, w.rect.height());
    w.pixels.assign(static_cast<size_t>(StrideFor(width, 24)) * height, 0);
}

NativeWindow HeadlessPlatform::createWindow(const Rect& rect, const std::string& title, WindowProc proc) {
    if (rect.width() <= 0 || rect.height() <= 0) return 0;
    NativeWindow id = nextWindow_++;
    Window& w = windows_[id];
    w.rect = rect;
    w.title = title;
    w.proc = proc;
    resizeStore(w);
    return id;
}

void HeadlessPlatform::holdOverDesktop(NativeWindow window) {
    if (Window* w = find(window)) w->held = true;
}

void HeadlessPlatform::destroyWindow(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr) return;
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [window](const Timer& t) { return t.window == window; }),
                  timers_.end());
    if (w->proc != nullptr) {
        Message msg;
        msg.kind = MsgKind::Destroy;
        msg.window = window;
        w->proc(msg);
    }
    windows_.erase(window);
}

bool HeadlessPlatform::isWindow(NativeWindow window) { return find(window) != nullptr; }

void HeadlessPlatform::showWindow(NativeWindow window) {
    if (Window* w = find(window)) w->visible = true;
}

void HeadlessPlatform::bringToFront(NativeWindow window) {
    if (find(window) != nullptr) raises_.push_back("front");
}

void HeadlessPlatform::moveWindow(NativeWindow window, const Rect& rect) {
    Window* w = find(window);
    if (w == nullptr) return;
    bool resized = rect.width() != w->rect.width() || rect.height() != w->rect.height();
    w->rect = rect;
    if (resized) resizeStore(*w);
    if (window == kept_ && rect != keptRect_ && refusals_ < patience_) {
        ++refusals_;
        Event e;  // the window manager's answer comes after what is already queued
        e.msg.kind = MsgKind::Sizing;
        e.msg.window = window;
        e.msg.rect = keptRect_;
        queue_.push_back(std::move(e));
    }
}

Rect HeadlessPlatform::windowRect(NativeWindow window) {
    Window* w = find(window);
    return w == nullptr ? Rect{} : w->rect;
}

Rect HeadlessPlatform::clientRect(NativeWindow window) {
    Window* w = find(window);
    return w == nullptr ? Rect{} : Rect{0, 0, w->rect.width(), w->rect.height()};
}

void HeadlessPlatform::setWindowTitle(NativeWindow window, const std::string& title) {
    if (Window* w = find(window)) w->title = title;
}

void HeadlessPlatform::setWindowIcon(NativeWindow window, int iconId) {
    if (Window* w = find(window)) w->icon = iconId;
}

PixelView HeadlessPlatform::backingStore(NativeWindow window) {
    Window* w = find(window);
    if (w == nullptr || w->pixels.empty()) return PixelView{};
    PixelView view;
    view.bits = w->pixels.data();
    view.width = w->rect.width();
    view.height = w->rect.height();
    view.stride = StrideFor(view.width, 24);
    view.bitCount = 24;
    return view;
}

void HeadlessPlatform::present(NativeWindow window, const Rect& rect) {
    if (find(window) != nullptr) presented_.push_back(rect);
}

// ---- Messages ----------------------------------------------------------------------------

bool HeadlessPlatform::peekMessage(Message& out) {
    while (!queue_.empty()) {
        Event e = std::move(queue_.front());
        queue_.pop_front();
        ++taken_;
        if (e.isTouch) {
            takeTouch(e.touch);
            continue;
        }
        if (e.movesPointer) pointer_ = e.pointer;
        if (e.buttonChange == 1 || e.buttonChange == -1) leftDown_ = e.buttonChange > 0;
        if (e.buttonChange == 2 || e.buttonChange == -2) rightDown_ = e.buttonChange > 0;
        if (e.keyChange > 0) keys_.insert(e.keyChange);
        if (e.keyChange < 0) keys_.erase(-e.keyChange);
        if (e.step) {
            e.step();
            continue;
        }
        if (e.msg.kind == MsgKind::None) continue;
        if (e.msg.kind == MsgKind::KillFocus) queueFromFinger(touch_.lift());  // behind the loss, as a desktop's would come
        out = e.msg;
        if (e.movesPointer) out.leftButtonDown = leftDown_;
        return true;
    }
    return false;
}

bool HeadlessPlatform::fireDueTimers() {
    bool fired = false;
    for (Timer& t : timers_) {
        if (t.due <= now_) {
            Message msg;
            msg.kind = MsgKind::Timer;
            msg.window = t.window;
            msg.timerId = t.id;
            postMessage(msg);
            t.due = now_ + static_cast<uint32_t>(std::max(1, t.interval));
            fired = true;
        }
    }
    return fired;
}

void HeadlessPlatform::endOfScript() {
    if (!openDialogs_.empty()) {
        endDialog(openDialogs_.back(), 0);
        return;
    }
    NativeWindow first = firstWindow();
    // Only the close itself was taken since it was asked for: the program declined to close.
    if (first != 0 && closeAsked_ && taken_ == takenAtClose_ + 1) {
        closeAsked_ = false;
        destroyWindow(first);
        return;
    }
    if (first != 0) {
        closeAsked_ = true;
        takenAtClose_ = taken_;
        Message msg;
        msg.kind = MsgKind::Close;
        msg.window = first;
        postMessage(msg);
    } else {
        postQuitMessage(0);
    }
}

void HeadlessPlatform::waitMessage(int timeoutMs) {
    if (!queue_.empty()) return;
    if (fireDueTimers()) return;
    uint32_t limit = timeoutMs >= 0 ? now_ + static_cast<uint32_t>(timeoutMs) : UINT32_MAX;
    uint32_t next = limit;
    for (const Timer& t : timers_) next = std::min(next, t.due);
    if (next != UINT32_MAX) {
        now_ = std::max(now_, next);
        fireDueTimers();
        return;
    }
    endOfScript();
}

void HeadlessPlatform::postMessage(const Message& msg) {
    Event e;
    e.msg = msg;
    queue_.push_back(std::move(e));
}

void HeadlessPlatform::postQuitMessage(int exitCode) {
    Message msg;
    msg.kind = MsgKind::Quit;
    msg.exitCode = exitCode;
    postMessage(msg);
}

long HeadlessPlatform::dispatchMessage(Message& msg) {
    Window* w = find(msg.window);
    if (w == nullptr) return 0;
    long result = w->proc != nullptr ? w->proc(msg) : defWindowProc(msg);
    if (msg.kind == MsgKind::Sizing || msg.kind == MsgKind::Moving) moveWindow(msg.window, msg.rect);
    return result;
}

long HeadlessPlatform::defWindowProc(Message& msg) {
    if (msg.kind == MsgKind::Close) destroyWindow(msg.window);
    return 0;
}

void HeadlessPlatform::setTimer(NativeWindow window, int timerId, int intervalMs) {
    killTimer(window, timerId);
    timers_.push_back(Timer{window, timerId, intervalMs, now_ + static_cast<uint32_t>(std::max(1, intervalMs))});
}

bool HeadlessPlatform::hasTimer(NativeWindow window, int timerId) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == timerId; });
}

void HeadlessPlatform::killTimer(NativeWindow window, int timerId) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == timerId; }),
                  timers_.end());
}

void HeadlessPlatform::sleep(int ms) {
    if (ms > 0) now_ += static_cast<uint32_t>(ms);
}

void HeadlessPlatform::setCursorPos(Point screenPoint) {
    pointer_ = screenPoint;
    warps_.push_back(screenPoint);
}

bool HeadlessPlatform::isButtonDown(MouseButton button) {
    return button == MouseButton::Left ? leftDown_ : rightDown_;
}

// ---- Modal things ------------------------------------------------------------------------

MsgBoxResult HeadlessPlatform::messageBox(NativeWindow owner, const std::string& caption,
                                          const std::string& text, MsgBoxStyle style) {
    MsgBoxResult answer = style.buttons == MsgBoxButtons::Ok ? MsgBoxResult::Ok : MsgBoxResult::Closed;
    if (!boxAnswers_.empty()) {
        answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    } else if (improviser_.messageBox) {
        answer = improviser_.messageBox(text, style);
    }
    boxes_.push_back(RecordedMessageBox{owner, caption, text, style, answer});
    return answer;
}

void HeadlessPlatform::popupMenu(NativeWindow owner, const std::vector<MenuItem>& items, Point clientPoint) {
    menus_.push_back(RecordedMenu{owner, items, clientPoint});
    if (menuAnswers_.empty() && !improviser_.menu) return;
    int chosen = 0;
    if (menuAnswers_.empty()) {
        chosen = improviser_.menu(items);
    } else {
        chosen = menuAnswers_.front();
        menuAnswers_.pop_front();
    }
    if (chosen == 0) return;
    Message msg;
    msg.kind = MsgKind::Command;
    msg.window = owner;
    msg.command = chosen;
    postMessage(msg);
}

int HeadlessPlatform::runDialog(NativeWindow owner, const DialogTemplate& tmpl, WindowProc proc) {
    Rect ownerRect = owner != 0 ? windowRect(owner) : desktopRect();
    int left = ownerRect.left + (ownerRect.width() - tmpl.width) / 2;
    int top = ownerRect.top + (ownerRect.height() - tmpl.height) / 2;
    NativeWindow dialog = createWindow(Rect{left, top, left + tmpl.width, top + tmpl.height}, "", proc);
    if (dialog == 0) return -1;
    for (const DialogControl& c : tmpl.controls) find(dialog)->controls[c.id].kind = c.kind;
    openDialogs_.push_back(dialog);

    for (MsgKind kind : {MsgKind::InitDialog, MsgKind::EraseBackground, MsgKind::Paint}) {
        Message msg;
        msg.kind = kind;
        msg.window = dialog;
        proc(msg);
    }
    if (!dialogScripts_.empty()) {
        auto script = std::move(dialogScripts_.front());
        dialogScripts_.pop_front();
        script(dialog);
    } else if (improviser_.dialog) {
        improviser_.dialog(dialog);
    }
    const bool& ended = find(dialog)->dialogEnded;
    RunDialogLoop(*this, dialog, ended);

    int result = find(dialog)->dialogResult;
    openDialogs_.erase(std::remove(openDialogs_.begin(), openDialogs_.end(), dialog), openDialogs_.end());
    windows_.erase(dialog);
    return result;
}

void HeadlessPlatform::endDialog(NativeWindow dialog, int result) {
    Window* w = find(dialog);
    if (w == nullptr || w->dialogEnded) return;
    w->dialogEnded = true;
    w->dialogResult = result;
}

// ---- Dialog controls ---------------------------------------------------------------------

void HeadlessPlatform::listReset(NativeWindow dialog, int controlId) {
    if (Window* w = find(dialog)) {
        w->controls[controlId].items.clear();
        w->controls[controlId].selection = -1;
    }
}

void HeadlessPlatform::listAddString(NativeWindow dialog, int controlId, const std::string& text) {
    Window* w = find(dialog);
    if (w == nullptr) return;
    auto& items = w->controls[controlId].items;
    items.insert(std::upper_bound(items.begin(), items.end(), text), text);
}

int HeadlessPlatform::listFindExact(NativeWindow dialog, int controlId, const std::string& text) {
    Window* w = find(dialog);
    if (w == nullptr) return -1;
    const auto& items = w->controls[controlId].items;
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void HeadlessPlatform::listSetSelection(NativeWindow dialog, int controlId, int index) {
    Window* w = find(dialog);
    if (w == nullptr) return;
    Control& c = w->controls[controlId];
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}

int HeadlessPlatform::listGetSelection(NativeWindow dialog, int controlId) {
    Window* w = find(dialog);
    return w == nullptr ? -1 : w->controls[controlId].selection;
}

std::string HeadlessPlatform::listGetText(NativeWindow dialog, int controlId, int index) {
    Window* w = find(dialog);
    if (w == nullptr) return {};
    const auto& items = w->controls[controlId].items;
    return (index >= 0 && index < static_cast<int>(items.size())) ? items[index] : std::string();
}

std::string HeadlessPlatform::editGetText(NativeWindow dialog, int controlId) {
    Window* w = find(dialog);
    return w == nullptr ? std::string() : w->controls[controlId].text;
}

void HeadlessPlatform::editSetText(NativeWindow dialog, int controlId, const std::string& text) {
    if (Window* w = find(dialog)) w->controls[controlId].text = text;
}

// ---- File dialogs ------------------------------------------------------------------------

void HeadlessPlatform::answerFileDialog(FileDialogResult answer) { fileAnswers_.push_back(std::move(answer)); }

bool HeadlessPlatform::openInBrowser(const std::string& path) {
    browserPages_.push_back(path);
    return browserAvailable_;
}

FileDialogResult HeadlessPlatform::fileDialog(NativeWindow, const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (fileAnswers_.empty()) return improviser_.fileDialog ? improviser_.fileDialog(request) : FileDialogResult{};
    FileDialogResult answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

// ---- Sound -------------------------------------------------------------------------------

void HeadlessPlatform::playSound(int soundId, SoundMode mode) {
    sounds_.push_back(RecordedSound{soundId, mode, false});
}

void HeadlessPlatform::stopSound() { sounds_.push_back(RecordedSound{0, SoundMode::NoInterrupt, true}); }

}  // namespace platform
