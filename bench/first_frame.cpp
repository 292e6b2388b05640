// lv-first-frame: starts a command on the current X display and watches the screen from
// outside until the command's first window shows given colours at given pixels. Prints the
// times from the start of the command to the window's mapping, to the last sample of the
// screen that did not show the frame yet, and to the first that did, in milliseconds; then
// closes the window as a window manager would and waits for the command.
//
//   lv-first-frame [--timeout MS] [--linger MS] [--poll-us US] [--framebuffer FILE]
//                  --probe X,Y,RRGGBB ... -- COMMAND...
//
// Probe positions are window pixels from the top-left corner of its client area. The screen
// is sampled every --poll-us microseconds (500 by default). With --framebuffer, the screen
// file of an Xvfb started with -fbdir, the samples read the server's frame buffer directly,
// so they need no answer from the server, which is busy serving the program at start-up;
// otherwise they ask the server for the pixels.
#include <X11/Xlib.h>
#include <X11/XWDFile.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include <endian.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Probe {
    int x, y;
    unsigned long rgb;
};

struct Options {
    int timeoutMs = 10000;
    int lingerMs = 500;
    int pollUs = 500;
    const char *framebuffer = nullptr;
    std::vector<Probe> probes;
    std::vector<char *> command;
};

[[noreturn]] void usage(const char *why)
{
    std::fprintf(stderr,
                 "lv-first-frame: %s\nusage: lv-first-frame [--timeout MS] [--linger MS] "
                 "[--poll-us US] [--framebuffer FILE] --probe X,Y,RRGGBB ... -- COMMAND...\n",
                 why);
    std::exit(2);
}

// A whole decimal (or, with base 16, hexadecimal) number that fills the text, read with
// std::from_chars, which follows no locale.
template <typename Number>
bool readWhole(std::string_view text, Number &number, int base = 10)
{
    const char *const end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, number, base);
    return read.ec == std::errc() && read.ptr == end;
}

int duration(const char *value)
{
    int number = 0;
    if (!readWhole(value, number) || number < 0)
        usage("a time is not a whole number");
    return number;
}

// X,Y,RRGGBB
bool readProbe(std::string_view text, Probe &probe)
{
    const std::size_t first = text.find(','), second = text.find(',', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos)
        return false;
    return readWhole(text.substr(0, first), probe.x)
           && readWhole(text.substr(first + 1, second - first - 1), probe.y)
           && readWhole(text.substr(second + 1), probe.rgb, 16);
}

Options parse(int argc, char *argv[])
{
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (i + 1 >= argc)
            usage("an option lacks its value");
        const char *value = argv[++i];
        if (arg == "--timeout")
            options.timeoutMs = duration(value);
        else if (arg == "--linger")
            options.lingerMs = duration(value);
        else if (arg == "--poll-us")
            options.pollUs = duration(value);
        else if (arg == "--framebuffer")
            options.framebuffer = value;
        else if (arg == "--probe") {
            Probe probe{};
            if (!readProbe(value, probe))
                usage("a probe is not X,Y,RRGGBB");
            options.probes.push_back(probe);
        } else
            usage("unknown option");
    }
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    options.command.push_back(nullptr);
    if (options.probes.empty() || options.command.size() < 2)
        usage("probes and a command are required");
    return options;
}

// The window may vanish while it is watched; that is not a reason to stop.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The screen file that Xvfb -fbdir keeps: an XWD image (big-endian header) whose pixels are
// the server's live frame buffer.
class FrameBuffer {
public:
    FrameBuffer() = default;
    FrameBuffer(const FrameBuffer &) = delete;
    FrameBuffer &operator=(const FrameBuffer &) = delete;
    ~FrameBuffer()
    {
        if (bytes_)
            munmap(const_cast<unsigned char *>(bytes_), size_);
    }

    bool open(const char *path)
    {
        const int fd = ::open(path, O_RDONLY);
        if (fd < 0)
            return false;
        struct stat info {};
        if (fstat(fd, &info) != 0 || std::size_t(info.st_size) < sz_XWDheader) {
            close(fd);
            return false;
        }
        size_ = std::size_t(info.st_size);
        void *mapped = mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
        close(fd);
        if (mapped == MAP_FAILED)
            return false;
        bytes_ = static_cast<const unsigned char *>(mapped);

        XWDFileHeader header;
        std::memcpy(&header, bytes_, sizeof header);
        const auto field = [](CARD32 value) { return be32toh(value); };
        width_ = int(field(header.pixmap_width));
        height_ = int(field(header.pixmap_height));
        bytesPerLine_ = field(header.bytes_per_line);
        data_ = field(header.header_size) + field(header.ncolors) * sz_XWDColor;
        // Only the layout Xvfb uses for a 24-bit screen is understood.
        return field(header.file_version) == XWD_FILE_VERSION && field(header.pixmap_format) == ZPixmap
            && field(header.bits_per_pixel) == 32 && field(header.byte_order) == LSBFirst
            && field(header.red_mask) == 0xff0000 && field(header.green_mask) == 0xff00
            && field(header.blue_mask) == 0xff && data_ + bytesPerLine_ * std::size_t(height_) <= size_;
    }

    int width() const { return width_; }
    int height() const { return height_; }

    unsigned long rgbAt(int x, int y) const
    {
        const unsigned char *pixel = bytes_ + data_ + bytesPerLine_ * std::size_t(y) + 4 * std::size_t(x);
        return (unsigned long)pixel[2] << 16 | (unsigned long)pixel[1] << 8 | pixel[0];
    }

private:
    const unsigned char *bytes_ = nullptr;
    std::size_t size_ = 0, data_ = 0, bytesPerLine_ = 0;
    int width_ = 0, height_ = 0;
};

// Where the window's client area starts on the screen.
bool windowOrigin(Display *display, Window window, int &x, int &y)
{
    Window child;
    return XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
}

// True when every probe shows its colour in the frame buffer now.
bool probesShow(const FrameBuffer &screen, int originX, int originY, const std::vector<Probe> &probes)
{
    for (const Probe &p : probes) {
        const int x = originX + p.x, y = originY + p.y;
        if (x < 0 || y < 0 || x >= screen.width() || y >= screen.height() || screen.rgbAt(x, y) != p.rgb)
            return false;
    }
    return true;
}

// True when every probe shows its colour on the screen now, as the server tells.
bool probesShow(Display *display, Window window, const std::vector<Probe> &probes)
{
    int originX = 0, originY = 0;
    if (!windowOrigin(display, window, originX, originY))
        return false;

    int left = probes[0].x, top = probes[0].y, right = left, bottom = top;
    for (const Probe &p : probes) {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    if (originX + left < 0 || originY + top < 0 || originX + right >= screenWidth
        || originY + bottom >= screenHeight)
        return false;

    // The screen as it is shown, not the window's own contents: what a user would see.
    XImage *image = XGetImage(display, DefaultRootWindow(display), originX + left, originY + top,
                              unsigned(right - left + 1), unsigned(bottom - top + 1), AllPlanes,
                              ZPixmap);
    if (!image)
        return false;
    bool all = true;
    for (const Probe &p : probes)
        all = all && (XGetPixel(image, p.x - left, p.y - top) & 0xffffff) == p.rgb;
    XDestroyImage(image);
    return all;
}

// Asks the window to close, as a window manager's close button does.
void closeWindow(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// Waits for the command to end; kills it if it does not within the timeout.
int reap(pid_t pid, int timeoutMs)
{
    const auto start = Clock::now();
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (millisecondsSince(start) > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Runs the command and watches for its first frame; returns the exit status of the tool.
int watch(Display *display, const Options &options, const FrameBuffer &screen)
{
    XSetErrorHandler(ignoreXError);
    // Every top-level window that appears on the screen is reported by its map event.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::fprintf(stderr, "lv-first-frame: cannot fork: %s\n", std::strerror(errno));
        return 1;
    }
    if (pid == 0) {
        execvp(options.command[0], options.command.data());
        std::fprintf(stderr, "lv-first-frame: cannot run %s: %s\n", options.command[0],
                     std::strerror(errno));
        _exit(127);
    }

    Window window = None;
    int originX = 0, originY = 0;  // of the window, when the frame buffer is read directly
    double mappedMs = -1;
    double firstFrameMs = -1;
    double lastMissMs = -1;  // when the last sample that did not show the frame was taken
    while (millisecondsSince(start) < options.timeoutMs) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && window == None && !event.xmap.override_redirect) {
                window = event.xmap.window;
                mappedMs = millisecondsSince(start);
                if (options.framebuffer && !windowOrigin(display, window, originX, originY))
                    window = None;
            }
        }
        if (window != None) {
            const bool shown = options.framebuffer ? probesShow(screen, originX, originY, options.probes)
                                                   : probesShow(display, window, options.probes);
            if (shown) {
                firstFrameMs = millisecondsSince(start);
                break;
            }
            lastMissMs = millisecondsSince(start);
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "lv-first-frame: the command ended before its first frame\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(options.pollUs));
    }

    if (firstFrameMs < 0) {
        std::fprintf(stderr, "lv-first-frame: no first frame within %d ms\n", options.timeoutMs);
        kill(pid, SIGTERM);
        reap(pid, 2000);
        return 1;
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(options.lingerMs));
    closeWindow(display, window);
    const int exitCode = reap(pid, 5000);
    // The frame reached the screen after the last sample that missed it, and no later than
    // the first that showed it.
    std::printf("mapped_ms=%.1f last_miss_ms=%.1f first_frame_ms=%.1f exit=%d\n", mappedMs,
                lastMissMs, firstFrameMs, exitCode);
    return exitCode == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = parse(argc, argv);
    FrameBuffer screen;
    if (options.framebuffer && !screen.open(options.framebuffer))
        usage("the frame buffer file is not an Xvfb screen of 32 bits a pixel");

    const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr),
                                                                      &XCloseDisplay);
    if (!display)
        usage("cannot open the X display");
    return watch(display.get(), options, screen);
}
