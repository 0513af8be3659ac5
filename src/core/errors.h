// The one way the game dies on an error it cannot go on from.
#pragma once

// Shows the heading "※エラー！" and the message over the current screen, waits for the
// player to acknowledge (left button, Return, Space, Escape or the close request), shuts
// everything down and ends the process with status 1. Without fonts the message goes to the
// standard error stream instead.
[[noreturn]] void errors(const char* message);
