/* Times the real program on the X server in $DISPLAY: from exec to the first frame of the room
 * on screen, then its resident memory and its processor use while idle.
 *
 *   first_frame [--answer COMMAND] [--title COMMAND] PROGRAM
 *
 * The room counts as on screen when the top-left pixel of the root window is no longer the
 * colour it had before the start (the server should have a plain black root: Xvfb -br). Boxes
 * and dialogs are centred, so they never touch that pixel. With --answer, the program is
 * expected to show a box first: once the screen's centre changes, COMMAND answers it (for
 * example "xdotool key Return") and the room's frame is timed from that moment.
 * With --title, the program is expected to show its title screen (after the box, if any): once
 * it is on screen, the processor use is taken over kTitleIdleSeconds while it stands, then
 * COMMAND clicks it away and the room's frame is timed from the click.
 *
 * The program runs in the current folder and is ended with SIGTERM at the end. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kPollMicros = 1000, kGiveUpMs = 30000, kSettleMs = 2000, kIdleSeconds = 10, kBoxFocusMs = 300 };
enum { kTitleIdleSeconds = 5 }; /* the title screen stands for 7 s */

static double NowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static unsigned long PixelAt(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == NULL) return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

/* Polls until the pixel differs from `before`; the time in ms, or a negative number when the
 * program ended or nothing changed in time. */
static double WaitForChange(Display* display, int x, int y, unsigned long before, pid_t child) {
    double start = NowMs();
    while (NowMs() - start < kGiveUpMs) {
        if (PixelAt(display, x, y) != before) return NowMs();
        if (waitpid(child, NULL, WNOHANG) == child) return -1;
        usleep(kPollMicros);
    }
    return -1;
}

static long ResidentKb(pid_t pid) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (f == NULL) return -1;
    long kb = -1;
    while (fgets(line, sizeof line, f) != NULL)
        if (sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    fclose(f);
    return kb;
}

/* utime + stime of the process, in clock ticks. */
static long long CpuTicks(pid_t pid) {
    char path[64], buffer[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE* f = fopen(path, "r");
    if (f == NULL) return -1;
    size_t n = fread(buffer, 1, sizeof buffer - 1, f);
    fclose(f);
    buffer[n] = '\0';
    /* The command name may hold spaces; the fields after it are counted from its ')'. */
    char* p = strrchr(buffer, ')');
    if (p == NULL) return -1;
    unsigned long long utime = 0, stime = 0;
    if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2) return -1;
    return (long long)(utime + stime);
}

/* Polls until the pixel is `value` again; false when the program ended or nothing changed in time. */
static int WaitForValue(Display* display, int x, int y, unsigned long value, pid_t child) {
    double start = NowMs();
    while (NowMs() - start < kGiveUpMs) {
        if (PixelAt(display, x, y) == value) return 1;
        if (waitpid(child, NULL, WNOHANG) == child) return 0;
        usleep(kPollMicros);
    }
    return 0;
}

static double CpuMsOver(pid_t child, int seconds) {
    const long long before = CpuTicks(child);
    sleep(seconds);
    return (CpuTicks(child) - before) * 1000.0 / sysconf(_SC_CLK_TCK);
}

static pid_t Start(const char* program) {
    pid_t child = fork();
    if (child == 0) {
        execl(program, program, (char*)NULL);
        perror("first_frame: exec");
        _exit(127);
    }
    return child;
}

static int Finish(pid_t child, int status) {
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    return status;
}

int main(int argc, char** argv) {
    const char* answer = NULL;
    const char* title = NULL;
    int arg = 1;
    if (arg + 1 < argc && strcmp(argv[arg], "--answer") == 0) {
        answer = argv[arg + 1];
        arg += 2;
    }
    if (arg + 1 < argc && strcmp(argv[arg], "--title") == 0) {
        title = argv[arg + 1];
        arg += 2;
    }
    if (arg + 1 != argc) {
        fprintf(stderr, "usage: first_frame [--answer COMMAND] [--title COMMAND] PROGRAM\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IOLBF, 0); /* each figure shows as soon as it is known */
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "first_frame: cannot open the display\n");
        return 1;
    }
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    const unsigned long cornerBefore = PixelAt(display, 0, 0);
    const unsigned long centreBefore = PixelAt(display, width / 2, height / 2);

    const double exec = NowMs();
    pid_t child = Start(argv[arg]);
    double from = exec;
    if (answer != NULL) {
        double box = WaitForChange(display, width / 2, height / 2, centreBefore, child);
        if (box < 0) {
            fprintf(stderr, "first_frame: no box appeared\n");
            return Finish(child, 1);
        }
        printf("screen %dx%d: the advice box was on screen %.1f ms after exec; answering it with: %s\n", width,
               height, box - exec, answer);
        usleep(kBoxFocusMs * 1000);
        from = NowMs();
        if (system(answer) != 0) fprintf(stderr, "first_frame: the answer command failed\n");
    }
    if (title != NULL) {
        /* The box, if any, goes first (the centre is the plain background again). */
        if (answer != NULL && !WaitForValue(display, width / 2, height / 2, centreBefore, child)) {
            fprintf(stderr, "first_frame: the box stayed\n");
            return Finish(child, 1);
        }
        double shown = WaitForChange(display, width / 2, height / 2, centreBefore, child);
        if (shown < 0) {
            fprintf(stderr, "first_frame: no title screen appeared\n");
            return Finish(child, 1);
        }
        printf("screen %dx%d: the title screen was on screen %.1f ms after %s\n", width, height, shown - from,
               answer != NULL ? "the answer" : "exec");
        usleep(kBoxFocusMs * 1000);
        const double cpuMs = CpuMsOver(child, kTitleIdleSeconds);
        printf("screen %dx%d: processor use while the title screen stands %.2f %% (%.0f ms of CPU in %d s)\n",
               width, height, cpuMs / (kTitleIdleSeconds * 10.0), cpuMs, kTitleIdleSeconds);
        from = NowMs();
        if (system(title) != 0) fprintf(stderr, "first_frame: the title command failed\n");
    }
    double frame = WaitForChange(display, 0, 0, cornerBefore, child);
    if (frame < 0) {
        fprintf(stderr, "first_frame: the room never appeared\n");
        return Finish(child, 1);
    }
    printf("screen %dx%d: first frame of the room on screen %.1f ms after %s\n", width, height, frame - from,
           title != NULL ? "the click on the title screen" : answer != NULL ? "the answer" : "exec");

    usleep(kSettleMs * 1000);
    printf("screen %dx%d: resident memory %.1f MB (VmRSS %d s after the first frame)\n", width, height,
           ResidentKb(child) / 1024.0, kSettleMs / 1000);
    const double cpuMs = CpuMsOver(child, kIdleSeconds);
    printf("screen %dx%d: processor use while idle %.2f %% (%.0f ms of CPU in %d s)\n", width, height,
           cpuMs / (kIdleSeconds * 10.0), cpuMs, kIdleSeconds);
    fflush(stdout);
    XCloseDisplay(display);
    return Finish(child, 0);
}
