#pragma once

#include <QWidget>

// A window that shows what TamselButton can do: all eight looks under the five colour schemes,
// captions with effects and access keys, icons, vertical captions, slanted outlines, disabled
// buttons and option-button groups.
namespace qv::tamsel {

QWidget* createGallery(QWidget* parent = nullptr);

} // namespace qv::tamsel
