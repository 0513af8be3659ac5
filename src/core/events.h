// What the menu screens do with the events they poll.
#pragma once

// Takes every pending event into `event`. The quit request (the window's close, or Escape
// released) sets e to 0 and answers true at once; a press of the left button is noted in
// *leftPressed when it is given. Every other event is dropped.
bool takeQuitEvents(bool* leftPressed = nullptr);
