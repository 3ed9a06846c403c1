#include "screen/sdl_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ws {

SdlPicture::~SdlPicture() {
  dropTexture();
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
}

bool SdlPicture::resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (window_ == nullptr) {
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width, height, SDL_WINDOW_SHOWN);
    if (window_ == nullptr) return false;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) return false;
  } else {
    SDL_SetWindowSize(window_, width, height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  // The replaced window's picture is gone; it stays black until the next frame.
  dropTexture();
  show();
  return true;
}

bool SdlPicture::upload(const FrameBuffer& frame, int firstRow, int lastRow, bool* changed) {
  *changed = false;
  if (renderer_ == nullptr) return true;
  const int width = frame.width();
  const int height = frame.height();
  if (width <= 0 || height <= 0) {
    dropTexture();
    return true;
  }
  bool everyRow = false;
  if (texture_ == nullptr || textureWidth_ != width || textureHeight_ != height) {
    dropTexture();
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                 width, height);
    if (texture_ == nullptr) return false;
    textureWidth_ = width;
    textureHeight_ = height;
    shown_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    everyRow = true;  // a new texture holds nothing yet
    firstRow = 0;
    lastRow = height - 1;
  }
  firstRow = std::max(firstRow, 0);
  lastRow = std::min(lastRow, height - 1);
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  const auto differs = [&](int y) {
    return everyRow ||
           std::memcmp(frame.row(y), &shown_[static_cast<size_t>(y) * width], rowBytes) != 0;
  };
  // Each run of rows that differ from the picture goes up as one piece; a pass redraws the whole
  // frame, but most of its rows come out as they were.
  for (int y = firstRow; y <= lastRow;) {
    if (!differs(y)) {
      ++y;
      continue;
    }
    int end = y + 1;
    while (end <= lastRow && differs(end)) ++end;
    if (!copyRows(frame, y, end - 1)) return true;
    *changed = true;
    y = end;
  }
  return true;
}

bool SdlPicture::copyRows(const FrameBuffer& frame, int first, int last) {
  const int width = frame.width();
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  const SDL_Rect rows{0, first, width, last - first + 1};
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, &rows, &pixels, &pitch) != 0) {
    dropTexture();  // the next frame starts a new texture with all its rows
    return false;
  }
  auto* target = static_cast<unsigned char*>(pixels);
  for (int y = first; y <= last; ++y, target += pitch) {
    std::memcpy(target, frame.row(y), rowBytes);
    std::memcpy(&shown_[static_cast<size_t>(y) * width], frame.row(y), rowBytes);
  }
  SDL_UnlockTexture(texture_);
  return true;
}

void SdlPicture::show() {
  if (renderer_ == nullptr) return;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, SDL_ALPHA_OPAQUE);
  SDL_RenderClear(renderer_);
  if (texture_ != nullptr) {
    // While the frame and the window differ in size (around a resize) only what both have shows.
    const SDL_Rect target{0, 0, textureWidth_, textureHeight_};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  }
  SDL_RenderPresent(renderer_);
}

int SdlPicture::refreshRate() const {
  if (window_ == nullptr) return 0;
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return std::max(mode.refresh_rate, 0);
}

void SdlPicture::dropTexture() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  shown_.clear();
  textureWidth_ = 0;
  textureHeight_ = 0;
}

}  // namespace ws
