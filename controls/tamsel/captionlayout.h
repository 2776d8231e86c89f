#pragma once

#include "controls/tamsel/tamselstate.h"

#include <QSize>
#include <QString>
#include <functional>

// The caption's accelerator and its layout into lines, with the icon position.
namespace qv::tamsel {

// Width and height of one line of text, measured without drawing and without prefix
// processing.
using TextMeasure = std::function<QSize(const QString&)>;

// The display text: "&&" becomes "&" and the accelerator marker at position k (1-based;
// 0 = none) is removed.
QString DisplayText(const QString& caption, int k);

// Recomputes the accelerator position k (d.run.accelerator) and the access key
// (d.run.accessKey, lower case) from the caption. The first single "&" that has a character
// after it marks the accelerator; "&&" pairs stand for a literal "&". A caption without a
// marker has no access key.
void Accelerator(TamselData& d);

// Lays the caption out in the client area with the given measuring: lines, text block,
// accelerator underline and icon position, all written to d.layout.
void Layout(TamselData& d, const TextMeasure& measure);

// The same, measuring with the unrotated caption font.
void Layout(TamselData& d);

} // namespace qv::tamsel
