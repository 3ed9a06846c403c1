#include "screen/window.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "screen/key_translation.h"
#include "screen/program_name.h"
#include "screen/sdl_picture.h"

namespace ws {
namespace {

// How long the event loop sleeps at most before it looks whether the work has ended.
constexpr int kEventWaitMilliseconds = 100;

// Frames are shown at most once per display refresh: presenting through the renderer costs far
// more than drawing a frame, and a faster succession would not be seen anyway. A frame finished
// sooner waits until the interval has passed; the rows changed meanwhile accumulate in the frame
// lock, so the frame then shown is the newest, with all its changes. Where the display does not
// say its rate, 60 Hz is assumed.
constexpr int kAssumedRefreshRate = 60;

std::string displayProblem() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return "DISPLAY is not set";
  return std::string("DISPLAY is \"") + display + "\"";
}

void reportNoWindow(const char* reason) {
  std::fprintf(stderr, "%s: cannot open a window: %s (%s)\n", programName().c_str(), reason,
               displayProblem().c_str());
  std::fflush(stderr);
}

[[noreturn]] void endWithoutWindow(const char* reason) {
  reportNoWindow(reason);
  std::fflush(nullptr);
  std::_Exit(kNoWindowExitCode);
}

// Without a window system SDL may fall back to a driver that draws nowhere; that counts as no
// display unless it was asked for by name (SDL_VIDEODRIVER).
bool drawsNowhere(const char* driver) {
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  if (driver == nullptr) return true;
  if (requested != nullptr && *requested != '\0') return false;
  return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// Wakes the event loop with an event of the given type. Safe from any thread.
bool postEvent(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  return SDL_PushEvent(&event) == 1;
}

// Implements the window seam with SDL. Everything but resizeWindow, frameReady and workDone runs
// on the main thread, which created it; those three are the working thread's.
class SdlWindow final : public WindowHost {
 public:
  // firstEvent..firstEvent + 2 are event types registered for this window's own use.
  SdlWindow(std::string title, Uint32 firstEvent)
      : picture_(std::move(title)),
        frameEvent_(firstEvent),
        resizeEvent_(firstEvent + 1),
        doneEvent_(firstEvent + 2) {}

  void resizeWindow(int width, int height) override;
  void frameReady() override;
  void workDone();

  // Runs until workDone(); afterwards resize requests return at once.
  void runEventLoop(ScreenService& screen, KeyRing& input);

 private:
  using Clock = std::chrono::steady_clock;

  void handle(const SDL_Event& event, ScreenService& screen, KeyTranslator& keys);
  void carryOutResize();
  // Presents now if the interval since the last presentation has passed, else remembers to.
  void presentWhenDue(ScreenService& screen);
  // How long the event loop may sleep: until a deferred frame is due, at most the usual wait.
  int waitMilliseconds() const;
  void present(ScreenService& screen);
  void stopServing();

  SdlPicture picture_;  // main thread only
  const Uint32 frameEvent_;
  const Uint32 resizeEvent_;
  const Uint32 doneEvent_;

  // A frame event is queued and not yet handled, or a frame is deferred and not yet presented;
  // either way no further event is needed until present() clears it.
  std::atomic<bool> framePending_{false};
  bool frameDeferred_ = false;       // main thread only
  Clock::time_point nextPresent_{};  // main thread only: the earliest time for the next frame
  Clock::duration presentInterval_ =
      std::chrono::nanoseconds(std::chrono::seconds(1)) / kAssumedRefreshRate;  // main thread
  std::atomic<bool> workDone_{false};

  std::mutex resizeMutex_;
  std::condition_variable resizeDone_;
  bool serving_ = true;                          // guarded by resizeMutex_
  std::optional<std::pair<int, int>> resizeTo_;  // guarded by resizeMutex_; reset when carried out
};

void SdlWindow::resizeWindow(int width, int height) {
  std::unique_lock lock(resizeMutex_);
  if (!serving_) return;
  resizeTo_ = {width, height};
  if (!postEvent(resizeEvent_)) {
    resizeTo_.reset();
    return;
  }
  resizeDone_.wait(lock, [this] { return !resizeTo_ || !serving_; });
}

void SdlWindow::frameReady() {
  // One queued frame event is enough: presenting takes every row changed until then.
  if (!framePending_.exchange(true) && !postEvent(frameEvent_)) framePending_ = false;
}

void SdlWindow::workDone() {
  workDone_ = true;
  postEvent(doneEvent_);
}

void SdlWindow::runEventLoop(ScreenService& screen, KeyRing& input) {
  KeyTranslator keys([&input](std::string_view keyText) { input.push(keyText); });
  SDL_Event event;
  while (!workDone_) {
    if (SDL_WaitEventTimeout(&event, waitMilliseconds()) != 0) {
      do {
        handle(event, screen, keys);
      } while (SDL_PollEvent(&event) != 0);
    }
    if (frameDeferred_) presentWhenDue(screen);
    keys.flush();
  }
  stopServing();
}

void SdlWindow::handle(const SDL_Event& event, ScreenService& screen, KeyTranslator& keys) {
  if (event.type == frameEvent_) {
    presentWhenDue(screen);
  } else if (event.type == resizeEvent_) {
    carryOutResize();
  } else if (event.type != doneEvent_) {
    // A repaint shows the last presented picture: a frame in progress stays hidden.
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      picture_.show();
    }
    keys.translate(event);
  }
}

void SdlWindow::carryOutResize() {
  std::pair<int, int> size;
  {
    std::lock_guard lock(resizeMutex_);
    if (!resizeTo_) return;
    size = *resizeTo_;
  }
  if (!picture_.resize(size.first, size.second)) endWithoutWindow(SDL_GetError());
  const int rate = picture_.refreshRate();
  presentInterval_ =
      std::chrono::nanoseconds(std::chrono::seconds(1)) / (rate > 0 ? rate : kAssumedRefreshRate);
  {
    std::lock_guard lock(resizeMutex_);
    resizeTo_.reset();
  }
  resizeDone_.notify_all();
}

void SdlWindow::presentWhenDue(ScreenService& screen) {
  const Clock::time_point now = Clock::now();
  if (now < nextPresent_) {
    frameDeferred_ = true;
    return;
  }
  nextPresent_ = now + presentInterval_;
  present(screen);
}

int SdlWindow::waitMilliseconds() const {
  if (!frameDeferred_) return kEventWaitMilliseconds;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(nextPresent_ - Clock::now()).count();
  return static_cast<int>(std::clamp<decltype(left)>(left, 0, kEventWaitMilliseconds));
}

void SdlWindow::present(ScreenService& screen) {
  frameDeferred_ = false;
  framePending_ = false;  // before taking the rows: a frame finished from now on needs a new event
  bool uploaded = true;
  bool changed = false;
  screen.presentChanges([&](const FrameBuffer& frame, int firstRow, int lastRow) {
    uploaded = picture_.upload(frame, firstRow, lastRow, &changed);
  });
  if (!uploaded) endWithoutWindow(SDL_GetError());
  // A frame that looks like the one shown costs no presentation, and needs no interval after it.
  if (changed) {
    picture_.show();
  } else {
    nextPresent_ = Clock::time_point{};
  }
}

void SdlWindow::stopServing() {
  {
    std::lock_guard lock(resizeMutex_);
    serving_ = false;
  }
  resizeDone_.notify_all();
}

}  // namespace

int runWithWindow(const std::function<int(ScreenService&, KeyRing&)>& work) {
  // Ctrl+C keeps ending the process, and closing the window is a key, not a request to quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    reportNoWindow(SDL_GetError());
    return kNoWindowExitCode;
  }
  if (const char* driver = SDL_GetCurrentVideoDriver(); drawsNowhere(driver)) {
    const std::string reason = std::string("no window system found, only the ") +
                               (driver != nullptr ? driver : "no") + " video driver";
    reportNoWindow(reason.c_str());
    SDL_Quit();
    return kNoWindowExitCode;
  }
  const Uint32 firstEvent = SDL_RegisterEvents(3);
  if (firstEvent == static_cast<Uint32>(-1)) {
    reportNoWindow("no event types left");
    SDL_Quit();
    return kNoWindowExitCode;
  }

  int result = 0;
  std::exception_ptr failure;
  {
    SdlWindow window(programName(), firstEvent);
    ScreenService screen(&window);
    KeyRing keys;
    std::thread worker([&] {
      try {
        result = work(screen, keys);
      } catch (...) {
        failure = std::current_exception();
      }
      window.workDone();
    });
    window.runEventLoop(screen, keys);
    worker.join();
  }
  SDL_Quit();
  if (failure) std::rethrow_exception(failure);
  return result;
}

}  // namespace ws
