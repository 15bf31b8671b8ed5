#pragma once
// The numbers the drawn controls share for their states and alignments.

// The visual states of a control, in the order of the cells of a four-state
// skin image. Sliders use normal, hot and disabled.
enum SkinState : int { kStateNormal = 0, kStateHot = 1, kStatePressed = 2, kStateDisabled = 3 };

// Placement of a caption or image inside an element (less the margin), and
// of a button bar against its origin. Horizontal: left, centre, right;
// vertical: top, centre, bottom.
enum SkinAlign : int { kAlignLeft = 0, kAlignTop = 0, kAlignCentre = 1, kAlignRight = 2, kAlignBottom = 8 };
