#pragma once

class QWidget;

namespace quorlix {

// Writes "exposed" to standard output when the window is first on screen and ends the program
// (the benchmark's measure of start-up time).
void ExitWhenExposed(QWidget& window);

}  // namespace quorlix
