#pragma once

#include "views/views.h"

namespace ws {

// Draws the view that a ViewCode names; the crawl loop's seam to the views.
// Called once per counted article, under the frame lock, with the text cursor at (14, 1).
class ViewDrawer {
 public:
  virtual ~ViewDrawer() = default;
  virtual void drawView(ViewCode viewCode, const ViewInputs& inputs) = 0;
};

// The eight views of the program, keeping their state for the whole run.
// Only the codes '1' to '8' draw anything.
class PainterViewDrawer : public ViewDrawer {
 public:
  void drawView(ViewCode viewCode, const ViewInputs& inputs) override {
    painter_.drawView(viewCode, inputs);
  }

 private:
  ViewPainter painter_;
};

}  // namespace ws
