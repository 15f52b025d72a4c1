// The map programs as the map buttons see them, on a fake desktop: Navin'
// You with its documents, views and a scale slider that moves when its
// arrows are clicked, and an ATLAS frame with its view.
#pragma once

#include <string>

#include "fakes/test_context.h"

namespace tabiro::testing {

// A Navin' You map view with its slider (positions -360 to 0) and arrows.
struct FakeMapView {
  WindowHandle document = kNoWindow;
  WindowHandle view = kNoWindow;
  WindowHandle trackbar = kNoWindow;
  WindowHandle upDown = kNoWindow;
};

class NavinScene {
 public:
  explicit NavinScene(TestContext& t);

  // A document with a map view, its slider at `sliderPos`; each arrow click
  // moves the slider by `step` (0: it never moves).
  FakeMapView addMapDocument(const std::string& title, int sliderPos = -72, int step = 9);
  WindowHandle addDocument(const std::string& title);  // without a view (the guide window)

  int sliderPos() const { return sliderPos_; }

  WindowHandle main;
  WindowHandle area;

 private:
  TestContext& t_;
  int sliderPos_ = 0;  // shared by every view, as only one walks at a time
};

struct FakeAtlas {
  WindowHandle frame;
  WindowHandle view;
};
FakeAtlas addAtlas98(TestContext& t);

}  // namespace tabiro::testing
