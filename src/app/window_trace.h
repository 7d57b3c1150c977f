#pragma once

// The window's wire trace: the header that opens the trace file and every saved copy
// (the program, the machine's serial ports with the demo module's first, the module's
// line settings), and a trace file that cannot be written any more, said once under
// "Informacje" and given up while the exchanges go on.

#include <QString>
#include <QStringList>

namespace tarnik {

class QtTraceSink;
class TGlownaF;

// The line under "Informacje" when the trace file fails; the system's reason follows.
inline constexpr const char* kTraceFileFailed = "Zapis transmisji do pliku przerwany: ";

// Prepares `trace` for `window` and, when `file` is not empty, starts writing it there.
// False, with `error` set, when the file cannot be made.
bool startWindowTrace(QtTraceSink& trace, TGlownaF& window, const QStringList& pinnedPorts,
                      const QString& file, QString* error);

}  // namespace tarnik
