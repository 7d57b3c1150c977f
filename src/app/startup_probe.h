#pragma once

// Start-up measurement: once the window has been painted for the first time,
// prints "startup_ms=<ms since process start>" and "peak_rss_mb=<VmHWM>" and
// ends the program.

class QElapsedTimer;
class QWidget;

namespace tarnik {

void reportStartupWhenPainted(QWidget& window, const QElapsedTimer& sinceStart);

// Peak resident memory of this process in MB (VmHWM), or -1 when unknown.
double peakResidentMegabytes();

}  // namespace tarnik
