#pragma once

class Form2;

// The merge-file browser: selecting an entry and switching views.

// Click on the browser: the details panel of the selected merge file, the commands that act on it
// and its first ten records in the record list. A failing step (no selected entry, the merge file
// missing from the data folder) skips the remaining steps; the pointer is set back in every case.
void selectMergeFile(Form2& form);

// The browser's view button: icon -> list -> report -> icon; the caption names the new view. The
// small-icon view stays as it is.
void cycleBrowserView(Form2& form);
