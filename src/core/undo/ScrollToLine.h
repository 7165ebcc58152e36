#pragma once

class EditBox;

// Scrolls the box until line is its first visible line, as far as the box
// can scroll: pages past the target first, then steps back line by line.
void ScrollToLine(int line, EditBox &box);
