#pragma once
// The SDL window and the picture it shows: an RGB 5-6-5 streaming texture that holds the last
// presented frame, shown one frame pixel per window pixel from the top-left corner.
// Main thread only (the thread that started SDL's video).

#include <SDL.h>

#include <string>
#include <utility>

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

  // Copies the frame's rows firstRow..lastRow (clipped) into the picture; when the frame's size
  // differs from the picture's, the picture takes the new size and all rows. Nothing happens
  // before the window exists. False (SDL_GetError() says why) when no picture can be made.
  bool upload(const FrameBuffer& frame, int firstRow, int lastRow);

  // Shows the picture in the window (black where it has none).
  void show();

 private:
  void dropTexture();

  const std::string title_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
};

}  // namespace ws
