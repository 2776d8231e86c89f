#pragma once

#include "output/letters.h"

class Form2;

// The letters' outputs beside Complete Merge: a menu button next to the Complete Merge button
// (its own click repeats the last choice, its arrow opens the menu), and the same menu on the
// button's context menu. The last choice, pattern and folder are kept in auto.ini
// ([Letters] Output, Pattern, Folder).
void installLetterMenu(Form2& form);

// Runs one output for the selected merge file (Document is Complete Merge itself).
void makeLetters(Form2& form, qv::output::LetterOutput output);

// Prints the selected merge file's letters, asking for the printer and the records.
void printLetters(Form2& form);
