// Save files.
#pragma once

// Mode 0: the slot save chosen by the player; mode 1: the resume save "./save/0".
void save(int mode);
