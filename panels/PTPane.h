#pragma once
// One of the areas a splitter divides: a framed panel, lowered by default, that carries the
// smallest size the splitter may give it and its position among the splitter's panes.

#include "panels/PTGroup.h"

namespace qm {

class TPTPane : public TPTGroup {
    Q_OBJECT
public:
    // The lowered frame is the pane's initial style, not a change of style.
    explicit TPTPane(QWidget* parent = nullptr) : TPTGroup(parent, TPTFrameStyle::ptfsLowered) {}

    // Plain values for the splitter; setting them has no other effect.
    int MinSize = 20;  // smallest size along the splitter's direction, in pixels
    int Index = 0;     // position among the splitter's panes
};

}  // namespace qm
