#pragma once
// The SDL window and the picture it shows: an RGB 5-6-5 streaming texture that holds the last
// presented frame, shown one frame pixel per window pixel from the top-left corner.
// Main thread only (the thread that started SDL's video).

#include <SDL.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "screen/frame_buffer.h"

namespace ws {

class SdlPicture {
 public:
  // The window does not exist before the first resize().
  explicit SdlPicture(std::string title) : title_(std::move(title)) {}
  SdlPicture(const SdlPicture&) = delete;
  SdlPicture& operator=(const SdlPicture&) = delete;
  ~SdlPicture();

  // Creates the window (first call) or gives it the new size, centred on the screen; the
  // picture becomes black. Sizes below 1 count as 1. False (SDL_GetError() says why) when the
  // window cannot be created.
  bool resize(int width, int height);

  // Copies those of the frame's rows firstRow..lastRow (clipped) that differ from the picture
  // into it; when the frame's size differs from the picture's, the picture takes the new size and
  // all rows. Sets *changed to whether any row was copied. Nothing happens before the window
  // exists. False (SDL_GetError() says why) when no picture can be made.
  bool upload(const FrameBuffer& frame, int firstRow, int lastRow, bool* changed);

  // Shows the picture in the window (black where it has none).
  void show();
  // The refresh rate of the display that shows the window, in Hz; 0 when unknown.
  int refreshRate() const;

 private:
  void dropTexture();
  // Copies rows first..last of the frame into the texture and into shown_.
  bool copyRows(const FrameBuffer& frame, int first, int last);

  const std::string title_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  std::vector<uint16_t> shown_;  // the texture's pixels, row by row
};

}  // namespace ws
