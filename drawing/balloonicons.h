#pragma once

#include "drawing/balloonlayout.h"

#include <QImage>

// The little pictures of the balloon tip window, drawn in code: the title icons in two styles
// and the two faces of the close button. All are 16 x 16 pixels.
namespace qv::balloon {

QImage iconImage(Icon icon); // a null image for Icon::None

// Up face: a red square shaded from dark red at the top left to bright red at the bottom right,
// with dark red and black edges. Pressed face: shaded the other way, light pink top and left
// edges, dark right and bottom edges.
QImage closeFaceUp();
QImage closeFacePressed();

} // namespace qv::balloon
