// Which part of a picture covers a target area without distorting it.
#pragma once

#include <windows.h>

// The part of a picture of size `picture` that, scaled by one factor in both directions, covers
// a target of size `target` exactly: the picture's aspect is kept and what sticks out is cut
// off. A cut across the width keeps the left edge (where a header picture carries its name); a
// cut across the height takes the middle. The whole picture for empty sizes.
RECT CoverSource(SIZE picture, SIZE target);
