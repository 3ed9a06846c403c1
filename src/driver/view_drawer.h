#pragma once

#include <string_view>

#include "views/views.h"

namespace ws {

// Draws the view that a ViewCode names; the crawl loop's seam to the views.
// Called once per counted article, under the frame lock, with the text cursor at (14, 1).
class ViewDrawer {
 public:
  virtual ~ViewDrawer() = default;
  virtual void drawView(std::string_view viewCode, const ViewInputs& inputs) = 0;
};

// The eight views of the program, keeping their state for the whole run.
// Only the one-character codes "1" to "8" draw anything.
class PainterViewDrawer : public ViewDrawer {
 public:
  void drawView(std::string_view viewCode, const ViewInputs& inputs) override {
    if (viewCode.size() == 1) painter_.drawView(viewCode.front(), inputs);
  }

 private:
  ViewPainter painter_;
};

}  // namespace ws
