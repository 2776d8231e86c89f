#pragma once

// The program's start, as the executable runs it once its QApplication exists: the splash
// window, which opens the main window when it goes. When the program's own folder cannot be
// written, the operator is first told where the program keeps its files instead.
void startQuorvane();
