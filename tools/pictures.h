// The programs' three texture pictures, painted procedurally so that they tile
// seamlessly: clouds on a blue sky, a wall of grey-brown stones in mortar, and
// floor tiles.
#pragma once

#include "picture.h"

namespace texgen {

Picture paint_clouds(int size);
Picture paint_stones(int size);
Picture paint_floor_tiles(int size);

}  // namespace texgen
