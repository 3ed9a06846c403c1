#pragma once
// The seam between the in-memory screen and a real window. The window binding implements it;
// ScreenService calls it from the working thread. Without a host the screen lives in memory only.

namespace ws {

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Gives the window the new size; blocks until the window thread has done it.
  // Called without the frame lock held, so the window thread may present meanwhile.
  virtual void resizeWindow(int width, int height) = 0;

  // A finished frame is waiting (frame lock back at zero, lock released); called on the working
  // thread. The window thread should then call ScreenService::presentChanges. Must not block on
  // the window thread.
  virtual void frameReady() = 0;
};

}  // namespace ws
