// The window binding on Windows: a Win32 window whose client area shows the last presented frame
// with GDI (SetDIBitsToDevice of the 16-bit 5-6-5 pixels, BI_BITFIELDS), one frame pixel per
// window pixel from the top-left corner. The main thread owns the window and runs its message
// loop; the working thread only posts messages to it and, for a resize, waits until it is done.
#include <windows.h>

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
#include <vector>

#include "screen/code_page_437.h"
#include "screen/key_ring.h"
#include "screen/program_name.h"
#include "screen/window.h"
#include "screen/windows_key_text.h"

namespace ws {
namespace {

// The window's own messages, posted by the working thread.
constexpr UINT kFrameMessage = WM_APP + 1;
constexpr UINT kResizeMessage = WM_APP + 2;
constexpr UINT kDoneMessage = WM_APP + 3;

// How long the message loop sleeps at most before it looks whether the work has ended.
constexpr DWORD kMessageWaitMilliseconds = 100;
// Frames are shown at most this often; the rows changed meanwhile accumulate in the frame lock,
// so the frame then shown is the newest, with all its changes.
constexpr int kPresentsPerSecond = 60;

constexpr wchar_t kWindowClass[] = L"WortsammlerWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void reportNoWindow(const std::string& reason) {
  std::fprintf(stderr, "%s: cannot open a window: %s (error %lu)\n", programName().c_str(),
               reason.c_str(), static_cast<unsigned long>(GetLastError()));
  std::fflush(stderr);
}

std::wstring wideText(const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
  }
  return wide;
}

class Win32Window final : public WindowHost {
 public:
  // Main thread. False (GetLastError() says why) when the window cannot be created.
  bool create(const std::string& title);
  ~Win32Window() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }

  void resizeWindow(int width, int height) override;
  void frameReady() override;
  void workDone();

  // Runs until workDone(); afterwards resize requests return at once.
  void runMessageLoop(ScreenService& screen, KeyRing& input);

 private:
  using Clock = std::chrono::steady_clock;

  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT handle(UINT message, WPARAM w, LPARAM l);
  void carryOutResize();
  void presentWhenDue();
  void present();
  void paint();
  void stopServing();

  HWND window_ = nullptr;
  bool shown_ = false;               // main thread only: the window has been shown
  ScreenService* screen_ = nullptr;  // main thread only, during the loop
  KeyRing* input_ = nullptr;         // main thread only, during the loop

  // The picture in the window: its size and pixels, rows padded to whole 32-bit words as GDI
  // reads them. Main thread only.
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  std::vector<uint16_t> picture_;

  std::atomic<bool> framePending_{false};
  bool frameDeferred_ = false;       // main thread only
  Clock::time_point nextPresent_{};  // main thread only
  std::atomic<bool> workDone_{false};

  std::mutex resizeMutex_;
  std::condition_variable resizeDone_;
  bool serving_ = true;                          // guarded by resizeMutex_
  std::optional<std::pair<int, int>> resizeTo_;  // guarded by resizeMutex_
};

int paddedWidth(int width) {
  return (width + 1) & ~1;
}

bool Win32Window::create(const std::string& title) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  // Made hidden, so that the working thread can post to it at once; shown by the first resize.
  window_ = CreateWindowExW(0, kWindowClass, wideText(title).c_str(), kWindowStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 1, 1, nullptr, nullptr, instance, this);
  return window_ != nullptr;
}

void Win32Window::resizeWindow(int width, int height) {
  std::unique_lock lock(resizeMutex_);
  if (!serving_) return;
  resizeTo_ = {width, height};
  if (!PostMessageW(window_, kResizeMessage, 0, 0)) {
    resizeTo_.reset();
    return;
  }
  resizeDone_.wait(lock, [this] { return !resizeTo_ || !serving_; });
}

void Win32Window::frameReady() {
  // One queued frame message is enough: presenting takes every row changed until then.
  if (!framePending_.exchange(true) && !PostMessageW(window_, kFrameMessage, 0, 0)) {
    framePending_ = false;
  }
}

void Win32Window::workDone() {
  workDone_ = true;
  PostMessageW(window_, kDoneMessage, 0, 0);
}

void Win32Window::runMessageLoop(ScreenService& screen, KeyRing& input) {
  screen_ = &screen;
  input_ = &input;
  MSG message;
  while (!workDone_) {
    DWORD wait = kMessageWaitMilliseconds;
    if (frameDeferred_) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextPresent_ - Clock::now());
      wait = static_cast<DWORD>(std::clamp<long long>(left.count(), 0, wait));
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (frameDeferred_) presentWhenDue();
  }
  stopServing();
  screen_ = nullptr;
  input_ = nullptr;
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ != window) return DefWindowProcW(window, message, w, l);
  return self->handle(message, w, l);
}

LRESULT Win32Window::handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case kFrameMessage:
      presentWhenDue();
      return 0;
    case kResizeMessage:
      carryOutResize();
      return 0;
    case kDoneMessage:
      return 0;
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole client area
    case WM_CLOSE:
      // Closing the window is a key, as on every platform: the program decides what it means.
      if (input_ != nullptr) input_->push(kCloseKeyText);
      return 0;
    case WM_CHAR:
      if (input_ != nullptr) {
        if (const auto key = keyTextOfCharacter(static_cast<char32_t>(w))) input_->push(*key);
      }
      return 0;
    case WM_KEYDOWN:
      if (input_ != nullptr) {
        const auto virtualKey = static_cast<unsigned>(w);
        const bool typesCharacter = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR) != 0;
        if (const auto key =
                keyTextOfKey(virtualKey, static_cast<unsigned>(l >> 16) & 0xFF, typesCharacter)) {
          input_->push(*key);
        }
      }
      return 0;
    default:
      return DefWindowProcW(window_, message, w, l);
  }
}

void Win32Window::carryOutResize() {
  std::pair<int, int> size;
  {
    std::lock_guard lock(resizeMutex_);
    if (!resizeTo_) return;
    size = *resizeTo_;
  }
  const int width = std::max(size.first, 1);
  const int height = std::max(size.second, 1);
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
  const int outerWidth = outer.right - outer.left;
  const int outerHeight = outer.bottom - outer.top;
  // Centred on the screen, as the SDL binding places it.
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2);
  SetWindowPos(window_, nullptr, x, y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  // The picture becomes black until the next frame.
  pictureWidth_ = width;
  pictureHeight_ = height;
  picture_.assign(static_cast<size_t>(paddedWidth(width)) * height, 0);
  if (!shown_) {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    shown_ = true;
  }
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
  {
    std::lock_guard lock(resizeMutex_);
    resizeTo_.reset();
  }
  resizeDone_.notify_all();
}

void Win32Window::presentWhenDue() {
  const Clock::time_point now = Clock::now();
  if (now < nextPresent_) {
    frameDeferred_ = true;
    return;
  }
  nextPresent_ = now + std::chrono::nanoseconds(std::chrono::seconds(1)) / kPresentsPerSecond;
  present();
}

void Win32Window::present() {
  frameDeferred_ = false;
  framePending_ = false;  // before taking the rows: a frame finished from now on needs a message
  if (screen_ == nullptr) return;
  bool changed = false;
  screen_->presentChanges([&](const FrameBuffer& frame, int firstRow, int lastRow) {
    if (frame.width() != pictureWidth_ || frame.height() != pictureHeight_) {
      // A new size takes the whole frame.
      pictureWidth_ = frame.width();
      pictureHeight_ = frame.height();
      picture_.assign(static_cast<size_t>(paddedWidth(pictureWidth_)) * pictureHeight_, 0);
      firstRow = 0;
      lastRow = pictureHeight_ - 1;
    }
    const size_t stride = static_cast<size_t>(paddedWidth(pictureWidth_));
    const size_t rowBytes = static_cast<size_t>(pictureWidth_) * sizeof(uint16_t);
    for (int y = std::max(firstRow, 0); y <= std::min(lastRow, pictureHeight_ - 1); ++y) {
      uint16_t* target = &picture_[y * stride];
      if (std::memcmp(target, frame.row(y), rowBytes) == 0) continue;
      std::memcpy(target, frame.row(y), rowBytes);
      changed = true;
    }
  });
  if (changed) {
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  } else {
    nextPresent_ = Clock::time_point{};  // nothing shown: no interval after it
  }
}

void Win32Window::paint() {
  PAINTSTRUCT painting;
  const HDC device = BeginPaint(window_, &painting);
  if (pictureWidth_ > 0 && pictureHeight_ > 0) {
    struct {
      BITMAPINFOHEADER header;
      DWORD masks[3];
    } format{};
    format.header.biSize = sizeof format.header;
    format.header.biWidth = pictureWidth_;
    format.header.biHeight = -pictureHeight_;  // top row first
    format.header.biPlanes = 1;
    format.header.biBitCount = 16;
    format.header.biCompression = BI_BITFIELDS;
    format.masks[0] = 0xF800;  // red
    format.masks[1] = 0x07E0;  // green
    format.masks[2] = 0x001F;  // blue
    SetDIBitsToDevice(device, 0, 0, pictureWidth_, pictureHeight_, 0, 0, 0, pictureHeight_,
                      picture_.data(), reinterpret_cast<const BITMAPINFO*>(&format),
                      DIB_RGB_COLORS);
  }
  EndPaint(window_, &painting);
}

void Win32Window::stopServing() {
  {
    std::lock_guard lock(resizeMutex_);
    serving_ = false;
  }
  resizeDone_.notify_all();
}

}  // namespace

int runWithWindow(const std::function<int(ScreenService&, KeyRing&)>& work) {
  int result = 0;
  std::exception_ptr failure;
  {
    Win32Window window;
    if (!window.create(programName())) {
      reportNoWindow("the window cannot be created");
      return kNoWindowExitCode;
    }
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
    window.runMessageLoop(screen, keys);
    worker.join();
  }
  if (failure) std::rethrow_exception(failure);
  return result;
}

}  // namespace ws
