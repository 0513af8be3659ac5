// The choice screen: up to ten one-line options over the scene, picked with the mouse.
#pragma once

constexpr int kOptionSize = 256;
constexpr int kOptionsAtMost = 10;

// Lets the player pick `picks` different options out of n (texts row i is option i + 1).
// The picks go to chosen[0..picks-1] in order; a right click with one pick asked leaves
// chosen[0] at 0; Escape released or the close request sets e to 0. leadsTo, for a move list,
// holds each option's destination scene. It is a decision point (core/decision.h): a Choice,
// or a MoveList with leadsTo.
int pick(int picks, int n, const char (*texts)[kOptionSize],
         const char (*leadsTo)[kOptionSize] = nullptr);

// Draws the list over window(0) with option `hover` (1-based, 0 none) highlighted and flips.
void pickDraw(int hover, int x, int top, int n, const char (*texts)[kOptionSize]);
