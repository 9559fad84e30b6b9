/* Times the real program on the X server in $DISPLAY: from the click on its title screen to the
 * first frame of the room on screen, then its resident memory and its processor use while idle.
 *
 *   first_frame [--quick] PROGRAM [ARGUMENTS...]
 *
 * The program shows its resolution advice first on some screens: a box is answered with Return
 * (xdotool) when one shows. Then the title screen stands: 448 x 324 pixels times the factor the
 * program draws at, wherever it is placed. Its processor use is taken over titleIdleSeconds,
 * then a click in its middle (XTest) takes it away and the room's frame is timed from the click.
 * The room counts as on screen when the top-left pixel of the root window is no longer the colour
 * it had before the start (the server should have a plain black root: Xvfb -br); boxes and the
 * title screen never cover that pixel. --quick shortens every pause, for a check that all still
 * works.
 *
 * The program runs in the current folder and is ended with SIGTERM at the end. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kPollMicros = 1000, kGiveUpMs = 30000, kBoxFocusMs = 300, kAnswerAgainMs = 1000 };
enum { kTitleWidth = 448, kTitleHeight = 324 };
static int settleMs = 2000, idleSeconds = 10, titleIdleSeconds = 5; /* the title screen stands for 7 s */

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

static double CpuMsOver(pid_t child, int seconds) {
    const long long before = CpuTicks(child);
    sleep(seconds);
    return (CpuTicks(child) - before) * 1000.0 / sysconf(_SC_CLK_TCK);
}

static pid_t Start(char** argv) {
    pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
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

/* A window can go between the listing and the question about it. */
static int IgnoreErrors(Display* display, XErrorEvent* error) { return 0; }

/* The first window on screen that does not cover the whole screen (GTK's tiny helper windows off
 * screen do not count): a box or the title screen. False when there is none. */
static int SmallWindow(Display* display, int width, int height, XWindowAttributes* found) {
    Window root, parent, *children = NULL;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    int any = 0;
    for (unsigned i = 0; i < count && !any; i++) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, children[i], &a) || a.map_state != IsViewable) continue;
        any = a.width > 1 && a.height > 1 && a.x + a.width > 0 && a.y + a.height > 0 &&
              !(a.width == width && a.height == height);
        if (any) *found = a;
    }
    if (children != NULL) XFree(children);
    return any;
}

static int IsTitle(const XWindowAttributes* a) {
    return a->width % kTitleWidth == 0 && a->width / kTitleWidth * kTitleHeight == a->height;
}

/* Waits for the title screen, answering any box before it with Return; its geometry, or false
 * when the program ended or nothing came in time. */
static int AwaitTitle(Display* display, int width, int height, pid_t child, double exec, XWindowAttributes* title) {
    double answered = 0;
    for (double start = NowMs(); NowMs() - start < kGiveUpMs; usleep(10 * kPollMicros)) {
        if (waitpid(child, NULL, WNOHANG) == child) return 0;
        if (!SmallWindow(display, width, height, title)) continue;
        if (IsTitle(title)) return 1;
        if (NowMs() - answered < kAnswerAgainMs) continue;
        if (answered == 0)
            printf("screen %dx%d: a box (the resolution advice) was on screen %.1f ms after exec\n", width, height,
                   NowMs() - exec);
        usleep(kBoxFocusMs * 1000);
        if (system("xdotool key Return") != 0) fprintf(stderr, "first_frame: xdotool failed\n");
        answered = NowMs();
    }
    return 0;
}

/* Waits for the title screen, takes the processor use while it stands and clicks it away in its
 * middle; the time of the click, or a negative number when no title screen came. Sets the factor
 * the program draws at. */
static double ClickTitleAway(Display* display, int width, int height, pid_t child, double exec, int* factor) {
    const unsigned long centreBefore = PixelAt(display, width / 2, height / 2);
    XWindowAttributes title;
    if (!AwaitTitle(display, width, height, child, exec, &title)) return -1;
    *factor = title.width / kTitleWidth;
    const int x = title.x + title.width / 2, y = title.y + title.height / 2;
    const double shown = WaitForChange(display, x, y, centreBefore, child);
    if (shown < 0) return -1;
    printf("screen %dx%d factor %d: the title screen was on screen %.1f ms after exec\n", width, height, *factor,
           shown - exec);
    usleep(kBoxFocusMs * 1000);
    const double cpuMs = CpuMsOver(child, titleIdleSeconds);
    printf("screen %dx%d factor %d: processor use while the title screen stands %.2f %% (%.0f ms of CPU in %d s)\n",
           width, height, *factor, cpuMs / (titleIdleSeconds * 10.0), cpuMs, titleIdleSeconds);
    /* The click is sent from here: xdotool takes about 100 ms to start and finish, which would
     * count as the room's time. */
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    const double from = NowMs();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    return from;
}

int main(int argc, char** argv) {
    int arg = 1;
    if (arg < argc && strcmp(argv[arg], "--quick") == 0) {
        settleMs = 500, idleSeconds = 1, titleIdleSeconds = 1;
        arg++;
    }
    if (arg >= argc) {
        fprintf(stderr, "usage: first_frame [--quick] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IOLBF, 0); /* each figure shows as soon as it is known */
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "first_frame: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    const unsigned long cornerBefore = PixelAt(display, 0, 0);

    const double exec = NowMs();
    pid_t child = Start(argv + arg);
    int factor = 0;
    const double from = ClickTitleAway(display, width, height, child, exec, &factor);
    if (from < 0) {
        fprintf(stderr, "first_frame: no title screen appeared\n");
        return Finish(child, 1);
    }
    double frame = WaitForChange(display, 0, 0, cornerBefore, child);
    if (frame < 0) {
        fprintf(stderr, "first_frame: the room never appeared\n");
        return Finish(child, 1);
    }
    printf("screen %dx%d factor %d: first frame of the room on screen %.1f ms after the click on the title screen\n",
           width, height, factor, frame - from);

    usleep(settleMs * 1000);
    printf("screen %dx%d factor %d: resident memory %.1f MB (VmRSS %.1f s after the first frame)\n", width, height,
           factor, ResidentKb(child) / 1024.0, settleMs / 1000.0);
    const double cpuMs = CpuMsOver(child, idleSeconds);
    printf("screen %dx%d factor %d: processor use while idle %.2f %% (%.0f ms of CPU in %d s)\n", width, height,
           factor, cpuMs / (idleSeconds * 10.0), cpuMs, idleSeconds);
    XCloseDisplay(display);
    return Finish(child, 0);
}
