#pragma once

#include <QPixmap>

// The four 24 x 23 drawings of the tool row, on grey.
namespace ToolPictures {

QPixmap diskette();
QPixmap openingFolder();
QPixmap undoArrow();
QPixmap redoArrow();

} // namespace ToolPictures
