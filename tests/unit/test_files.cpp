// The current file, safe saving, the file dialogs and the folders.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/headless_fixture.h"

namespace fs = std::filesystem;
using platform::FileDialogResult;

namespace {

constexpr int kSkipped = 77;

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a child process (for process limits and private mounts) and returns its exit
// code: 0 when every step held, kSkipped when the machine does not allow the setup, otherwise
// the number of the step that went wrong.
int InChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// Saves `bytes` to `target` the way the program does; the step that failed, or 0.
int SaveInChild(std::string target, size_t bytes) {
    if (tb_CreateFile(target, 0) != 1) return 1;
    std::vector<uint8_t> block(bytes, 0x42);
    if (tb_WriteFile(block.data(), block.size()) != 1) return 2;  // the write must fail...
    if (tb_WriteFile(block.data(), 1) != 1) return 3;             // ...and stay failed
    if (tb_CloseFile() != 0) return 4;                            // and closing must say so
    return 0;
}

class FilesTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
        char pattern[] = "/tmp/pictoria-files-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override {
        tb_CloseFile();
        chmod(folder_.c_str(), 0700);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        HeadlessTest::TearDown();
    }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    // Writes `text` to `name` through the toolbox; tb_CloseFile's result.
    int save(const std::string& name, const std::string& text) {
        std::string target = path(name);
        if (tb_CreateFile(target, 0) != 1) return -1;
        EXPECT_EQ(tb_WriteFile(text.data(), text.size()), 0);
        return tb_CloseFile();
    }

    std::string folder_;
};

}  // namespace

TEST_F(FilesTest, ReplacingAFileKeepsTheOldOneUntilTheNewOneIsWhole) {
    PutFile(path("a.bmp"), {'o', 'l', 'd'});
    std::string target = path("a.bmp");
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    ASSERT_EQ(tb_WriteFile("new!", 4), 0);
    // Mid-save the old picture is still there under its name.
    EXPECT_EQ(FileBytes(path("a.bmp")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    ASSERT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(FileBytes(path("a.bmp")), (std::vector<uint8_t>{'n', 'e', 'w', '!'}));
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"a.bmp"}));
}

TEST_F(FilesTest, ANewFileGetsOrdinaryPermissionsAndAReplacedOneKeepsItsOwn) {
    ASSERT_EQ(save("fresh.bmp", "x"), 1);
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st;
    ASSERT_EQ(stat(path("fresh.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    chmod(path("fresh.bmp").c_str(), 0640);
    ASSERT_EQ(save("fresh.bmp", "y"), 1);
    ASSERT_EQ(stat(path("fresh.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FilesTest, OpeningAgainBeforeClosingAbandonsTheUnfinishedSave) {
    PutFile(path("a.bmp"), {'o', 'l', 'd'});
    std::string target = path("a.bmp");
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    ASSERT_EQ(tb_WriteFile("half", 4), 0);
    std::string other = path("a.bmp");
    ASSERT_EQ(tb_OpenFile(other, 0), 1);
    char got[3] = {};
    EXPECT_EQ(tb_ReadFile(got, 3), 0);
    EXPECT_EQ(std::string(got, 3), "old");
    EXPECT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"a.bmp"}));
}

TEST_F(FilesTest, ReadsAndWritesNeedTheRightKindOfOpenFile) {
    char buffer[4];
    size_t got = 99;
    EXPECT_EQ(tb_ReadFile(buffer, 4, &got), 1);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(tb_WriteFile("x", 1), 1);
    EXPECT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(tb_GetFileSize(), -1);

    std::string target = path("f");
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    EXPECT_EQ(tb_ReadFile(buffer, 4), 1);
    ASSERT_EQ(tb_WriteFile("abcdef", 6), 0);
    ASSERT_EQ(tb_CloseFile(), 1);

    ASSERT_EQ(tb_OpenFile(target, 0), 1);
    EXPECT_EQ(tb_GetFileSize(), 6);
    EXPECT_EQ(tb_WriteFile("x", 1), 1);
    EXPECT_EQ(tb_ReadFile(buffer, 4, &got), 0);
    EXPECT_EQ(got, 4u);
    // Fewer bytes than asked is still a successful read, and the end gives none.
    EXPECT_EQ(tb_ReadFile(buffer, 4, &got), 0);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(tb_ReadFile(buffer, 4, &got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(tb_ReadFile(buffer, 1), 1);
}

TEST_F(FilesTest, PlacesThatCannotBeWrittenOrReadAreRefused) {
    PutFile(path("plain"), {1, 2, 3});
    fs::create_directory(path("sub"));
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cannotCreate[] = {
        {"missing folder", path("nowhere/a.bmp")},
        {"under a regular file", path("plain/a.bmp")},
        {"a folder", path("sub")},
        {"empty path", ""},
    };
    for (const Case& c : cannotCreate) {
        std::string target = c.path;
        EXPECT_EQ(tb_CreateFile(target, 0), -1) << c.name;
        EXPECT_EQ(tb_WriteFile("x", 1), 1) << c.name;  // the current file stays closed
    }
    const Case cannotOpen[] = {
        {"missing", path("missing.bmp")},
        {"a folder", path("sub")},
        {"under a regular file", path("plain/a.bmp")},
        {"a device", "/dev/zero"},
    };
    for (const Case& c : cannotOpen) {
        std::string target = c.path;
        EXPECT_EQ(tb_OpenFile(target, 0), -1) << c.name;
        EXPECT_EQ(tb_GetFileSize(), -1) << c.name;
    }
    EXPECT_EQ(FileBytes(path("plain")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"plain", "sub"}));
}

TEST_F(FilesTest, AReadOnlyFolderRefusesTheSave) {
    if (geteuid() != 0) {
        PutFile(path("old.bmp"), {7});
        chmod(folder_.c_str(), 0500);
        EXPECT_EQ(save("old.bmp", "new"), -1);
        EXPECT_EQ(save("other.bmp", "new"), -1);
        chmod(folder_.c_str(), 0700);
        EXPECT_EQ(FileBytes(path("old.bmp")), (std::vector<uint8_t>{7}));
        return;
    }
    // Root ignores permissions; a read-only mount stops everyone.
    const std::string mountPoint = path("ro");
    fs::create_directory(mountPoint);
    const int code = InChild([&] {
        if (unshare(CLONE_NEWNS) != 0) return kSkipped;
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kSkipped;
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) return kSkipped;
        PutFile(mountPoint + "/old.bmp", {7});
        if (mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k") != 0) return kSkipped;
        std::string target = mountPoint + "/old.bmp";
        if (tb_CreateFile(target, 0) != -1) return 1;
        std::string other = mountPoint + "/new.bmp";
        if (tb_CreateFile(other, 0) != -1) return 2;
        if (FileBytes(mountPoint + "/old.bmp") != std::vector<uint8_t>{7}) return 3;
        return 0;
    });
    if (code == kSkipped) GTEST_SKIP() << "no private read-only mount possible here";
    EXPECT_EQ(code, 0);
}

TEST_F(FilesTest, AFullDiskFailsTheSaveAndKeepsTheOldPicture) {
    // A tiny file system of its own that the save overfills.
    const std::string mountPoint = path("small");
    fs::create_directory(mountPoint);
    const int code = InChild([&] {
        if (unshare(CLONE_NEWNS) != 0) return kSkipped;
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kSkipped;
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=32k") != 0) return kSkipped;
        const std::vector<uint8_t> old(3000, 0x11);
        PutFile(mountPoint + "/pic.bmp", old);
        if (int step = SaveInChild(mountPoint + "/pic.bmp", 200000)) return step;
        if (FileBytes(mountPoint + "/pic.bmp") != old) return 10;
        if (Names(mountPoint) != std::vector<std::string>{"pic.bmp"}) return 11;
        return 0;
    });
    if (code == kSkipped) GTEST_SKIP() << "no private tmpfs mount possible here";
    EXPECT_EQ(code, 0);
}

TEST_F(FilesTest, AWriteCutShortByTheFileSizeLimitFailsTheSave) {
    // Works without privileges: the process may write no more than 4 KiB into any file.
    const std::vector<uint8_t> old(100, 0x33);
    PutFile(path("pic.bmp"), old);
    const int code = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return kSkipped;
        return SaveInChild(path("pic.bmp"), 10000);
    });
    ASSERT_NE(code, kSkipped);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(FileBytes(path("pic.bmp")), old);
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"pic.bmp"}));
}

TEST_F(FilesTest, DevicesAreWrittenDirectlyAndTheirFailuresReported) {
    std::string full = "/dev/full";
    ASSERT_EQ(tb_CreateFile(full, 0), 1);
    EXPECT_EQ(tb_WriteFile("picture", 7), 1);
    EXPECT_EQ(tb_CloseFile(), 0);
    std::string null = "/dev/null";
    ASSERT_EQ(tb_CreateFile(null, 0), 1);
    EXPECT_EQ(tb_WriteFile("picture", 7), 0);
    EXPECT_EQ(tb_CloseFile(), 1);
    // Neither device was replaced by a regular file.
    struct stat st;
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(FilesTest, SavingThroughALinkReplacesTheFileItNames) {
    fs::create_directory(path("real"));
    PutFile(path("real/pic.bmp"), {'o'});
    fs::create_symlink(path("real/pic.bmp"), path("link.bmp"));
    ASSERT_EQ(save("link.bmp", "new"), 1);
    EXPECT_TRUE(fs::is_symlink(path("link.bmp")));
    EXPECT_EQ(FileBytes(path("real/pic.bmp")), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(Names(path("real")), (std::vector<std::string>{"pic.bmp"}));
}

TEST_F(FilesTest, LongPathsWork) {
    std::string deep = folder_;
    for (int i = 0; i < 12; ++i) deep += "/a-folder-with-a-rather-long-name-" + std::to_string(i);
    fs::create_directories(deep);
    ASSERT_GT(deep.size(), 300u);
    std::string target = deep + "/" + std::string(230, 'p') + ".bmp";
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    ASSERT_EQ(tb_WriteFile("ok", 2), 0);
    ASSERT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(FileBytes(target).size(), 2u);
    EXPECT_EQ(tb_GetPathDirectory(target), deep + "/");
}

TEST_F(FilesTest, SaveAsDialogIsAskedAsTheProgramWantsAndCancelCreatesNothing) {
    // tb_Init started the dialogs in the current directory; the program moves them.
    EXPECT_EQ(tb_GetProgramDirectory(), fs::current_path().string());
    tb_SetProgramDirectory(folder_);
    std::string name = "Gallery/Pictoria.bmp";
    EXPECT_EQ(tb_CreateFile(name, 1), 0);
    EXPECT_EQ(name, "Gallery/Pictoria.bmp");
    EXPECT_TRUE(Names(folder_).empty());
    EXPECT_EQ(tb_WriteFile("x", 1), 1);

    ASSERT_EQ(desktop().fileDialogs().size(), 1u);
    const platform::FileDialogRequest& asked = desktop().fileDialogs()[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "Save As");
    EXPECT_EQ(asked.filterName, "MWS, Pictoria 1.0 (*.bmp)");
    EXPECT_EQ(asked.filterPattern, "*.bmp");
    EXPECT_EQ(asked.folder, folder_);
    EXPECT_EQ(asked.initialName, "Pictoria.bmp");
    EXPECT_EQ(asked.defaultExtension, "bmp");
}

TEST_F(FilesTest, SaveAsDialogFailuresAreNumberedForTheCaller) {
    const std::pair<int, int> codes[] = {
        {6, 10}, {4, 11}, {2, 12}, {11, 13}, {8, 14}, {3, 15}, {7, 16}, {1, 17}, {5, 18},
        {0x3003, 19}, {9, 20}, {0x3002, 21}, {10, 22}, {0x3001, 23}, {0, 0}, {12345, 0}, {0x3004, 0},
    };
    for (const auto& [failure, expected] : codes) {
        FileDialogResult answer;
        answer.failure = failure;
        desktop().answerFileDialog(answer);
        std::string name = "a.bmp";
        EXPECT_EQ(tb_CreateFile(name, 1), expected) << failure;
    }
}

TEST_F(FilesTest, TheChosenFileIsCreatedOrOpenedAndItsPathGivenBack) {
    PutFile(path("chosen.bmp"), {'o', 'l', 'd'});
    desktop().answerFileDialog(FileDialogResult{true, path("chosen.bmp"), 0});
    std::string name = "Pictoria.bmp";
    ASSERT_EQ(tb_CreateFile(name, 1), 1);
    EXPECT_EQ(name, path("chosen.bmp"));
    ASSERT_EQ(tb_WriteFile("new", 3), 0);
    ASSERT_EQ(tb_CloseFile(), 1);

    desktop().answerFileDialog(FileDialogResult{true, path("chosen.bmp"), 0});
    std::string opened = "whatever";
    ASSERT_EQ(tb_OpenFile(opened, 1), 1);
    EXPECT_EQ(opened, path("chosen.bmp"));
    char got[3];
    ASSERT_EQ(tb_ReadFile(got, 3), 0);
    EXPECT_EQ(std::string(got, 3), "new");

    ASSERT_EQ(desktop().fileDialogs().size(), 2u);
    const platform::FileDialogRequest& open = desktop().fileDialogs()[1];
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.title, "Open");
    EXPECT_EQ(open.initialName, "*.bmp");
    EXPECT_EQ(open.filterName, "MWS, Pictoria 1.0 (*.bmp)");
    EXPECT_EQ(open.defaultExtension, "bmp");
}

TEST_F(FilesTest, CancellingOrFailingTheOpenDialogGivesMinusOne) {
    for (int failure : {0, 2, 0x3002}) {
        FileDialogResult answer;
        answer.failure = failure;
        desktop().answerFileDialog(answer);
        std::string name = "keep";
        EXPECT_EQ(tb_OpenFile(name, 1), -1) << failure;
        EXPECT_EQ(name, "keep");
    }
    // A chosen file that cannot be opened is a failure too.
    desktop().answerFileDialog(FileDialogResult{true, path("gone.bmp"), 0});
    std::string name;
    EXPECT_EQ(tb_OpenFile(name, 1), -1);
}

TEST_F(FilesTest, PathDirectoriesAreAbsoluteWithTheirFinalSlash) {
    const std::string here = fs::current_path().string();
    fs::current_path(folder_);
    const std::pair<std::string, std::string> cases[] = {
        {"Pictures/a.bmp", folder_ + "/Pictures/"},
        {"a.bmp", folder_ + "/"},
        {"./Gallery/../Pages/blank.bmp", folder_ + "/Pages/"},
        {"Gallery/", folder_ + "/Gallery/"},
        {"/P/Pictures/a.bmp", "/P/Pictures/"},
        {"/P//Pictures/./a.bmp", "/P/Pictures/"},
        {"/P/Pictures/", "/P/Pictures/"},
        {"/a.bmp", "/"},
        {"/", "/"},
        {"/../..", "/"},
        {"", ""},
    };
    for (const auto& [in, expected] : cases) EXPECT_EQ(tb_GetPathDirectory(in), expected) << in;
    fs::current_path(here);
}

TEST_F(FilesTest, TheConfigurationFolderFollowsXdgAndIsCreated) {
    // The fixture points XDG_CONFIG_HOME at a fresh folder.
    EXPECT_EQ(tb_GetWindowsDirectory(), configHome_ + "/pictoria");
    EXPECT_TRUE(fs::is_directory(configHome_ + "/pictoria"));

    const std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", folder_.c_str(), 1);
    for (const char* xdg : {"relative/config", ""}) {
        setenv("XDG_CONFIG_HOME", xdg, 1);
        EXPECT_EQ(tb_GetWindowsDirectory(), folder_ + "/.config/pictoria") << xdg;
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(tb_GetWindowsDirectory(), folder_ + "/.config/pictoria");
    EXPECT_TRUE(fs::is_directory(folder_ + "/.config/pictoria"));
    setenv("HOME", oldHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
}

TEST_F(FilesTest, ThePreferencesFileLivesInTheConfigurationFolder) {
    EXPECT_EQ(tb_OpenPrefsFile(), -1);
    ASSERT_EQ(tb_CreatePrefsFile(), 1);
    ASSERT_EQ(tb_WriteFile("\1\0\0\0", 4), 0);
    ASSERT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(FileBytes(configHome_ + "/pictoria/mwsptk10.pfs"), (std::vector<uint8_t>{1, 0, 0, 0}));
    ASSERT_EQ(tb_OpenPrefsFile(), 1);
    EXPECT_EQ(tb_GetFileSize(), 4);

    // A plain file where the folder should be: neither creating nor opening works.
    tb_CloseFile();
    fs::remove_all(configHome_ + "/pictoria");
    PutFile(configHome_ + "/pictoria", {1});
    EXPECT_EQ(tb_CreatePrefsFile(), -1);
    EXPECT_EQ(tb_OpenPrefsFile(), -1);
}
