// Times a program from its start to its first visible window without polling: it listens
// to the X server for windows being mapped, starts the program, and stops the clock at the
// first mapped window whose title begins with TITLE. A poller (xdotool in a loop) spends
// the same two cores the program starts on and makes the slower program slower still.
//   mervane_startup_wait TITLE PROGRAM [ARGS...]   prints "MS PID", leaves PROGRAM running
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool titled(Display* display, Window window, const std::string& prefix) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return false;
  const bool match = std::strncmp(name, prefix.c_str(), prefix.size()) == 0;
  XFree(name);
  return match;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "%s: no X display\n", argv[0]);
    return 2;
  }
  const std::string prefix = argv[1];
  const Window root = DefaultRootWindow(display);
  // Without a window manager a top-level window is a child of the root; with one it is
  // a grandchild, reparented before it maps, so both are watched.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(ConnectionNumber(display));
    // Whoever reads the answer waits for the pipe to close; the program keeps running.
    if (const int null = open("/dev/null", O_WRONLY); null >= 0) dup2(null, STDOUT_FILENO);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  if (child < 0) return 2;

  while (true) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify)
        XSelectInput(display, event.xcreatewindow.window, SubstructureNotifyMask);
      if (event.type != MapNotify || !titled(display, event.xmap.window, prefix)) continue;
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
      std::printf("%lld %d\n", static_cast<long long>(ms), static_cast<int>(child));
      return 0;
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "%s: %s ended before it showed a window\n", argv[0], argv[2]);
      return 1;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 100);
  }
}
