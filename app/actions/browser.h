#pragma once

class Form2;

// The merge-file browser ListView1: selecting an entry and switching views.

// Click on ListView1: the details panel of the selected merge file, the commands that act on it
// and its first ten records in lw1. A failing step (no selected entry, the merge file missing
// from the data folder) skips the remaining steps; the pointer is set back in every case.
void SelectMergeFile(Form2& form);

// Command8: icon -> list -> report -> icon; the caption names the new view. The small-icon view
// stays as it is.
void CycleBrowserView(Form2& form);
