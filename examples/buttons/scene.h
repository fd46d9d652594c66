// The scene of the buttons example: one box spinning in front of the camera,
// whose colour and shape the two image buttons step through.
#pragma once

namespace scene {

void next_colour();
void next_shape();
const char* colour_name();  // Italian, for the status bar and the overlay
const char* shape_name();

// Draws the overlay text and the spinning box for one frame; the box turns a
// little further each call.
void draw();

}  // namespace scene
