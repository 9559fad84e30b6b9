// A seeded soak run of the whole program on the headless desktop: random input, commands and
// dialog answers, with invariants checked after every step. A failing list of steps is shrunk
// to the shortest one that still fails, each try replayed in a fresh child process.
//   soak --seed N [--seeds M] --steps K [--verbose]
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/pictures.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace fs = std::filesystem;
using platform::MsgBoxResult;
using platform::NativeWindow;

namespace {

// splitmix64: the same numbers on every platform, unlike the standard distributions.
struct Rng {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
};

enum Kind : uint8_t { Press, Release, Move, Drag, Click, DoubleClick, RightClick, Key, Display, Command, FocusLoss, kKinds };
const char* const kKindNames[] = {"Press", "Release", "Move", "Drag", "Click", "DoubleClick", "RightClick",
                                  "Key", "Display", "Command", "FocusLoss"};
// Where a step's points fall, resolved against the room as it is laid out when the step runs.
enum Area : uint8_t { Anywhere, Canvas, Object, Hotspot, Can, Icon, kAreas };
const char* const kAreaNames[] = {"Anywhere", "Canvas", "Object", "Hotspot", "Can", "Icon"};

// One step of input. Points are fractions (of 65536) of the area's rectangle; `seed` drives
// the points between them, the key, and every answer to what the step opens.
struct Step {
    Kind kind;
    Area area;
    uint8_t index;
    uint16_t fx, fy, gx, gy;
    uint32_t seed;
};

const int kMenuIds[] = {shell::kCmdNew,  shell::kCmdOpen,  shell::kCmdSave, shell::kCmdGallery,
                        shell::kCmdPreferences, shell::kCmdAbout, shell::kCmdHelp, shell::kCmdQuit,
                        shell::kCmdExport};
const Point kDisplays[] = {{640, 480}, {800, 600}, {1024, 768}, {1920, 1080}, {3840, 2160}};
const int kKeys[] = {'C', 'C', platform::kVkEscape, platform::kVkF1, 'A', platform::kVkReturn};

// Faults the soak found, kept as the shortest step lists that showed them.
const std::vector<std::vector<Step>> kRegressions = {
    // A command chosen with the button held (F1 mid-stroke): the release went to the dialog.
    {{Press, Anywhere, 119, 50849, 32414, 56229, 34232, 2251028011u},
     {Command, Canvas, 174, 59461, 63182, 24318, 53448, 1647112942u}},
};

Step RandomStep(Rng& rng) {
    static const int kWeights[kKinds] = {8, 6, 10, 22, 26, 4, 3, 9, 1, 9, 2};
    int pick = rng.below(100), kind = 0;
    while (pick >= kWeights[kind]) pick -= kWeights[kind++];
    static const int kAreaWeights[kAreas] = {15, 40, 20, 12, 8, 5};
    int at = rng.below(100), area = 0;
    while (at >= kAreaWeights[area]) at -= kAreaWeights[area++];
    auto u16 = [&] { return static_cast<uint16_t>(rng.below(65536)); };
    return Step{static_cast<Kind>(kind), static_cast<Area>(area), static_cast<uint8_t>(rng.below(256)),
                u16(), u16(), u16(), u16(), static_cast<uint32_t>(rng.next())};
}

std::string Describe(const Step& s) {
    char text[160];
    std::snprintf(text, sizeof text, "{%s, %s, %d, %u, %u, %u, %u, %uu}", kKindNames[s.kind], kAreaNames[s.area], s.index, s.fx,
                  s.fy, s.gx, s.gy, s.seed);
    return text;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A bitmap's pixel rows, top to bottom, without padding; empty for a bad handle.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rows;
    friend bool operator==(const Picture&, const Picture&) = default;
};

Picture PictureOf(int bitmap) {
    const PixelView v = tb_PeekBitmapPixels(bitmap);
    Picture p;
    if (!v.isValid() || v.bitCount != 24) return p;
    p.width = v.width, p.height = v.height;
    for (int y = 0; y < v.height; ++y) p.rows.insert(p.rows.end(), RowPointer(v, y), RowPointer(v, y) + 3 * v.width);
    return p;
}

// The picture in a file as the program's own reader sees it.
Picture PictureInFile(const std::string& path) {
    std::string name = path;
    Picture p;
    if (tb_OpenFile(name, 0) != 1) return p;
    Rect rect{};
    const int bitmap = tb_ReadBitmapFromFile(&rect);
    tb_CloseFile();
    if (bitmap >= 0) p = PictureOf(bitmap), tb_DisposeBitmap(bitmap);
    return p;
}

// One program on one headless desktop, in its own temporary folder, answering at random.
class Soak {
public:
    Soak() {
        char pattern[] = "/tmp/pictoria-soak-XXXXXX";
        home_ = mkdtemp(pattern);
        fs::create_directories(home_ + "/Gallery");
        fs::create_directories(home_ + "/Pages");
        fs::create_directories(home_ + "/config");
        for (const char* page : {"blank.bmp", "boat.bmp"}) {
            std::error_code ignored;
            fs::copy_file(fs::path(PICTORIA_PAGES_DIR) / page, home_ + "/Pages/" + page, ignored);
        }
        WriteAll(home_ + "/Pages/garbage.bmp", {'B', 'M', 1, 2, 3});
        // A photo in the Gallery and a grey line drawing among the pages, as parents bring them.
        const std::string made = "cd '" + home_ + "' && convert -seed 3 -size 96x64 plasma:fractal Gallery/photo.jpg &&"
                                 " convert -size 120x90 xc:'#f4f4f0' -fill none -stroke '#202020' -strokewidth 1.5"
                                 " -draw 'circle 60,45 60,15' -draw 'line 5,80 115,70' Pages/web.PNG 2>/dev/null";
        if (std::system(made.c_str()) != 0) std::fprintf(stderr, "soak: ImageMagick made no PNG or JPEG files\n");
        fs::current_path(home_);
        setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
        setenv("XDG_STATE_HOME", (home_ + "/state").c_str(), 1);
        shell::SetSystemSettingsPath(home_ + "/config/system-settings.ini");
    }
    ~Soak() {
        platform::InstallPlatform(nullptr);
        fs::current_path("/");
        std::error_code ignored;
        fs::permissions(home_ + "/locked", fs::perms::owner_all, ignored);
        fs::remove_all(home_, ignored);
    }

    // Runs one step and checks the invariants; the failure, or empty.
    std::string run(const Step& step) {
        if (!desk_ || desk_->windowCount() == 0) start();
        rng_ = Rng{step.seed};
        desk_->clearRecords();
        saves_.clear();
        dismissed_ = answered_ = 0;
        const scene::Room& r = scene::TheRoom();
        // A stroke in progress is ended by a command, drawing as its release would.
        const bool watchCanvas = r.modified && !scene::CurrentToolActive() && (step.kind == Command || step.kind == Key);
        const Picture before = watchCanvas ? PictureOf(r.canvas) : Picture{};
        queue(step);
        pump();
        return check(watchCanvas, before);
    }

private:
    void start() {
        platform::InstallPlatform(nullptr);
        desk_ = std::make_unique<platform::HeadlessPlatform>(platform::HeadlessConfig{800, 600, 24});
        platform::InstallPlatform(desk_.get());
        desk_->improvise(improviser());
        shell::ResetShell();
        if (shell::StartPictoria() != -1) std::fprintf(stderr, "soak: the program did not start\n"), std::exit(2);
        pump();
        rest_ = tb_CountTableEntries();
        looping_ = false;
    }

    void pump() {
        platform::Message msg;
        while (desk_->peekMessage(msg)) {
            if (msg.kind != platform::MsgKind::Quit) desk_->dispatchMessage(msg);
        }
        if (desk_->windowCount() > 0) shell::IdleTick();
    }

    Point at(const Step& s, uint16_t fx, uint16_t fy) {
        const scene::Room& r = scene::TheRoom();
        const Rect icons[] = {r.monitor, r.speaker, r.spyglass};
        Rect area{0, 0, r.width, r.height};
        if (s.area == Canvas) area = r.canvasArea;
        if (s.area == Object) area = r.objects[s.index % scene::kObjectCount].rect;
        if (s.area == Hotspot) area = r.hotspots[s.index % scene::kHotspotCount].pointer;
        if (s.area == Can) area = r.cans[s.index % scene::kCanCount].top;
        if (s.area == Icon) area = icons[s.index % 3];
        return Point{area.left + static_cast<int>(int64_t{fx} * std::max(1, area.width()) >> 16),
                     area.top + static_cast<int>(int64_t{fy} * std::max(1, area.height()) >> 16)};
    }

    void queue(const Step& s) {
        platform::HeadlessPlatform& d = *desk_;
        const Point p = at(s, s.fx, s.fy), q = at(s, s.gx, s.gy);
        switch (s.kind) {
            case Press: return d.moveTo(p.x, p.y), d.press(p.x, p.y);
            case Release: return d.moveTo(p.x, p.y), d.release(p.x, p.y);
            case Move: return d.moveTo(p.x, p.y);
            case Drag: {
                d.moveTo(p.x, p.y), d.press(p.x, p.y);
                for (int i = 1, n = 1 + rng_.below(6); i <= n; ++i)
                    d.moveTo(p.x + (q.x - p.x) * i / n + rng_.below(9) - 4, p.y + (q.y - p.y) * i / n + rng_.below(9) - 4);
                return d.release(q.x, q.y);
            }
            case Click: return d.moveTo(p.x, p.y), d.click(p.x, p.y);
            case DoubleClick: return d.moveTo(p.x, p.y), d.doubleClick(p.x, p.y);
            case RightClick: return d.moveTo(p.x, p.y), d.rightClick(p.x, p.y);
            case Key: {
                const int key = kKeys[s.index % std::size(kKeys)];
                if (s.index % std::size(kKeys) != 0) return d.typeKey(key);
                d.keyDown(key);  // held over an idle tick, as a child holds it
                return d.then([this, key] { shell::IdleTick(), desk_->keyUp(key); });
            }
            case Display: {
                const Point size = kDisplays[s.index % std::size(kDisplays)];
                return d.changeDisplay(size.x, size.y, 24);
            }
            case Command: return d.postCommand(kMenuIds[s.index % std::size(kMenuIds)]);
            case FocusLoss:  // another window takes the focus mid-stroke; the release goes to it
                return d.press(p.x, p.y), d.moveTo(q.x, q.y), d.focus(false), d.release(q.x, q.y), d.focus(true);
            default: return;
        }
    }

    std::string check(bool watchCanvas, const Picture& before) {
        char text[200];
        const scene::Room& r = scene::TheRoom();
        const bool alive = desk_->windowCount() > 0;
        const TableCounts now = tb_CountTableEntries();
        const bool piece = !tools::CarriedPieceRect().isEmpty();  // kept until the next cut
        if (alive && (now.bitmaps > rest_.bitmaps + piece || now.regions > rest_.regions ||
                      now.windows > rest_.windows)) {
            std::snprintf(text, sizeof text, "tables: %d bitmaps, %d regions, %d windows; at rest %d, %d, %d",
                          now.bitmaps, now.regions, now.windows, rest_.bitmaps, rest_.regions, rest_.windows);
            return text;
        }
        for (int i = 0; alive && i < scene::kObjectCount; ++i) {
            const bool carried = i == scene::kScissors && r.objects[i].param == 1;
            if (r.objects[i].active && !carried && !desk_->isButtonDown(platform::MouseButton::Left))
                return "active: tool " + std::to_string(i) + " is active with the button up";
        }
        bool saveFailed = false;
        for (const platform::RecordedMessageBox& box : desk_->messageBoxes())
            saveFailed |= box.text.find("could not be") != std::string::npos;  // saved, or a copy written
        for (const auto& [path, picture] : saves_) {
            if (!saveFailed && !(PictureInFile(path) == picture)) return "save: " + path + " does not read back";
        }
        if (alive && watchCanvas && dismissed_ + answered_ == 0 && !(PictureOf(r.canvas) == before))
            return "question: the canvas was replaced without asking to save";
        // A save question closed without an answer cancels its command: nothing is lost.
        if (watchCanvas && dismissed_ > 0 && answered_ == 0 &&
            (!alive || !r.modified || !(PictureOf(r.canvas) == before)))
            return alive ? "dismissed: the picture changed after a closed save question"
                         : "dismissed: the program quit after a closed save question";
        // A tool's looping sound ends with its stroke, however the stroke ends.
        using platform::SoundMode;
        for (const platform::RecordedSound& sound : desk_->sounds())
            looping_ = !sound.stop && (sound.mode == SoundMode::Loop || (looping_ && sound.mode != SoundMode::Interrupt));
        if (alive && looping_ && !scene::CurrentToolActive() && !piece) return "sound: a loop plays on with no stroke";
        return "";
    }

    platform::Improviser improviser() {
        platform::Improviser a;
        a.messageBox = [this](const std::string& text, platform::MsgBoxStyle style) {
            if (style.buttons == platform::MsgBoxButtons::Ok) return MsgBoxResult::Ok;
            const MsgBoxResult answers[] = {MsgBoxResult::Yes, MsgBoxResult::No, MsgBoxResult::Closed};
            const MsgBoxResult answer = answers[rng_.below(3)];
            if (text.find("Do you want to save") != std::string::npos)
                ++(answer == MsgBoxResult::Closed ? dismissed_ : answered_);
            return answer;
        };
        a.menu = [this](const std::vector<platform::MenuItem>& items) {
            const platform::MenuItem& item = items[rng_.below(static_cast<int>(items.size()))];
            return rng_.chance(20) ? 0 : item.id;
        };
        a.dialog = [this](NativeWindow dialog) {
            const Rect box = desk_->clientRect(dialog);
            if (rng_.chance(50)) desk_->editSetText(dialog, 1000, rng_.chance(50) ? "Ab ç 1" : std::string(300, 'x'));
            desk_->listSetSelection(dialog, 1001, rng_.below(8) - 1);
            for (int n = rng_.below(5); n > 0; --n) {
                const int x = rng_.below(std::max(1, box.right)), y = rng_.below(std::max(1, box.bottom));
                desk_->moveTo(x, y, dialog), desk_->click(x, y, dialog);
            }
            if (rng_.chance(40)) desk_->typeKey(platform::kVkEscape, dialog);
        };
        a.fileDialog = [this](const platform::FileDialogRequest& request) {
            if (!request.save) return openAnswer();
            return request.defaultExtension == "png" ? exportAnswer() : saveAnswer();
        };
        a.printDialog = [this] {
            platform::PrintAnswer answer;
            answer.print = rng_.chance(60);
            answer.keepPictures = false;
            if (rng_.chance(15)) answer.failure = static_cast<platform::PrintFailure>(1 + rng_.below(4));
            if (rng_.chance(15)) answer.jobFailure = "the printer is out of paper";
            return answer;
        };
        return a;
    }

    // A folder made or taken away just before the dialog answers.
    std::string folderToSaveIn() {
        const std::string locked = home_ + "/locked", gone = home_ + "/gone";
        std::error_code ignored;
        switch (rng_.below(10)) {
            case 0:
                fs::create_directories(locked, ignored);
                fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec, ignored);
                return locked;
            case 1: return fs::create_directories(gone, ignored), fs::remove_all(gone, ignored), gone;
            case 2: return "/proc";
            case 3: return WriteAll(home_ + "/plain", {1}), home_ + "/plain";
            default: return home_ + "/Gallery";
        }
    }

    platform::FileDialogResult saveAnswer() {
        const int choice = rng_.below(10);
        if (choice == 0) return platform::FileDialogResult{};
        if (choice == 1) return platform::FileDialogResult{false, "", 10 + rng_.below(14)};
        std::string path = folderToSaveIn() + "/picture" + std::to_string(rng_.below(3)) + ".bmp";
        if (choice == 2) path = "/dev/full";
        if (choice == 3) path = rng_.chance(50) ? home_ + "/Gallery" : home_ + "/Gallery/" + std::string(300, 'n');
        if (choice == 4) path = home_ + "/Gallery/line\nbreak.bmp";
        saves_.emplace_back(path, PictureOf(scene::TheRoom().canvas));
        return platform::FileDialogResult{true, path, 0};
    }

    // A PNG copy, into the Gallery now and then so that Open and the browser meet PNG files too.
    platform::FileDialogResult exportAnswer() {
        const int choice = rng_.below(6);
        if (choice == 0) return platform::FileDialogResult{};
        if (choice == 1) return platform::FileDialogResult{true, "/dev/full", 0};
        std::string path = (choice == 2 ? folderToSaveIn() : home_ + "/Gallery") + "/copy" + std::to_string(rng_.below(3));
        if (rng_.chance(70)) path += ".png";  // otherwise the program adds it
        saves_.emplace_back(path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0 ? path : path + ".png",
                              PictureOf(scene::TheRoom().canvas));
        return platform::FileDialogResult{true, path, 0};
    }

    platform::FileDialogResult openAnswer() {
        const int choice = rng_.below(8);
        if (choice == 0) return platform::FileDialogResult{};
        if (choice == 1) return platform::FileDialogResult{false, "", 10 + rng_.below(14)};
        const std::string junk = home_ + "/Gallery/junk.bmp";
        if (choice == 2) return platform::FileDialogResult{true, rng_.chance(50) ? home_ + "/missing.bmp" : home_, 0};
        if (choice == 3) {  // a picture of the Gallery (BMP, PNG or JPEG) with some bytes spoiled, or cut short
            const std::vector<std::string> names = scene::ListPictures(home_ + "/Gallery/");
            std::vector<uint8_t> bytes;
            if (!names.empty()) bytes = ReadAll(home_ + "/Gallery/" + names[rng_.below(names.size())]);
            if (bytes.empty()) bytes = ReadAll(home_ + "/Pages/blank.bmp");
            for (int n = rng_.below(4); n >= 0 && !bytes.empty(); --n)
                bytes[rng_.below(std::min<int>(64, bytes.size()))] = static_cast<uint8_t>(rng_.next());
            if (rng_.chance(30)) bytes.resize(rng_.below(static_cast<int>(bytes.size()) + 1));
            WriteAll(junk, bytes);
            return platform::FileDialogResult{true, junk, 0};
        }
        const std::vector<std::string> names = scene::ListPictures(home_ + "/Gallery/");
        if (names.empty()) return platform::FileDialogResult{true, home_ + "/Pages/garbage.bmp", 0};
        return platform::FileDialogResult{true, home_ + "/Gallery/" + names[rng_.below(names.size())], 0};
    }

    std::string home_;
    std::unique_ptr<platform::HeadlessPlatform> desk_;
    Rng rng_{0};
    TableCounts rest_;
    std::vector<std::pair<std::string, Picture>> saves_;
    int dismissed_ = 0, answered_ = 0;  // the save questions of this step, closed and answered
    bool looping_ = false;  // a loop sound was started and has not been stopped
};

struct Outcome {
    int failedAt = -1;  // the step that failed, -1 none
    std::string what;   // the failure, or how the run died
};

// Replays the steps in a fresh child process, so that every try starts from a clean program
// and a crash is a failure like any other.
Outcome Replay(const std::vector<Step>& steps, bool verbose) {
    int fds[2];
    if (pipe(fds) != 0) std::perror("pipe"), std::exit(2);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        int failedAt = -1;
        std::string what;
        {
            Soak soak;
            for (size_t i = 0; i < steps.size() && failedAt < 0; ++i) {
                if (verbose) std::printf("step %zu %s\n", i, Describe(steps[i]).c_str());
                what = soak.run(steps[i]);
                if (!what.empty()) failedAt = static_cast<int>(i);
            }
        }
        std::string report = std::to_string(failedAt) + " " + what;
        (void)!write(fds[1], report.data(), report.size());
        _exit(0);
    }
    close(fds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Outcome out;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.empty()) {
        out.failedAt = static_cast<int>(steps.size()) - 1;
        out.what = "crash: " + (WIFSIGNALED(status) ? std::string(strsignal(WTERMSIG(status)))
                                                    : "exit " + std::to_string(WEXITSTATUS(status)));
        return out;
    }
    out.failedAt = std::atoi(report.c_str());
    out.what = report.substr(report.find(' ') + 1);
    return out;
}

// The kind of a failure: the text up to its colon, so that shrinking keeps to one fault.
std::string KindOf(const std::string& what) { return what.substr(0, what.find(':')); }

// Delta debugging: drops chunks, then single steps, while the same kind of failure remains.
std::vector<Step> Shrink(std::vector<Step> steps, const std::string& kind) {
    for (size_t chunk = steps.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t start = 0; start < steps.size();) {
            std::vector<Step> fewer = steps;
            fewer.erase(fewer.begin() + start, fewer.begin() + std::min(steps.size(), start + chunk));
            const Outcome o = Replay(fewer, false);
            if (o.failedAt >= 0 && KindOf(o.what) == kind) {
                steps.assign(fewer.begin(), fewer.begin() + o.failedAt + 1);
            } else {
                start += chunk;
            }
        }
    }
    return steps;
}

// Runs the steps; on a failure prints it with the shortest step list that still fails.
bool Check(const std::vector<Step>& steps, const std::string& name, bool verbose) {
    const Outcome o = Replay(steps, verbose);
    if (o.failedAt < 0) return true;
    std::printf("%s: step %d failed: %s\n", name.c_str(), o.failedAt, o.what.c_str());
    const std::vector<Step> shortest =
        Shrink(std::vector<Step>(steps.begin(), steps.begin() + o.failedAt + 1), KindOf(o.what));
    std::printf("shortest failing list (%zu steps): %s\n{", shortest.size(), Replay(shortest, false).what.c_str());
    for (const Step& s : shortest) std::printf("%s,\n ", Describe(s).c_str());
    std::printf("}\n");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t seed = 1;
    int seeds = 1, steps = 1000;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verbose") verbose = true;
        else if (i + 1 < argc && arg == "--seed") seed = std::strtoull(argv[++i], nullptr, 10);
        else if (i + 1 < argc && arg == "--seeds") seeds = std::atoi(argv[++i]);
        else if (i + 1 < argc && arg == "--steps") steps = std::atoi(argv[++i]);
        else return std::fprintf(stderr, "usage: soak --seed N [--seeds M] --steps K [--verbose]\n"), 2;
    }
    bool ok = true;
    for (size_t i = 0; i < kRegressions.size(); ++i) ok &= Check(kRegressions[i], "regression " + std::to_string(i), verbose);
    const auto began = std::chrono::steady_clock::now();
    for (uint64_t s = seed; s < seed + seeds; ++s) {
        Rng rng{s};
        std::vector<Step> list;
        for (int i = 0; i < steps; ++i) list.push_back(RandomStep(rng));
        const bool passed = Check(list, "seed " + std::to_string(s), verbose);
        std::printf("seed %llu: %d steps %s\n", static_cast<unsigned long long>(s), steps, passed ? "passed" : "FAILED");
        ok &= passed;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%d seeds x %d steps in %.1f s: %s\n", seeds, steps, seconds, ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
