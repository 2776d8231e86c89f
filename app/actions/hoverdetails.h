#pragma once

#include <Qt>

class Form2;

// Tooltips over the browser and the record list, rebuilt only when the pointer moves onto another
// row. x and y are the pointer position in twips relative to the list.

// Pointer move over the browser: a balloon naming the merge file under the pointer with its size,
// path, template, modification time and record count. Clears the picture borders.
void showMergeSummary(Form2& form, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                      double x, double y);

// Pointer move over the record list: the "Field Names" tip the record loader filled.
void showFieldNamesTip(Form2& form, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                       double x, double y);
