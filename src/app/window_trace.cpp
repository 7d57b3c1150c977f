#include "app/window_trace.h"

#include <QMetaObject>
#include <QPointer>

#include <ctime>

#include "app/glowna_form.h"
#include "config/tarnik_config.h"
#include "link/link_trace.h"
#include "serial/port_list.h"
#include "serial/qt/qt_trace.h"

namespace tarnik {

bool startWindowTrace(QtTraceSink& trace, TGlownaF& window, const QStringList& pinnedPorts,
                      const QString& file, QString* error)
{
    std::vector<std::string> ports;
    for (const QString& port : pinnedPorts)
        ports.push_back(port.toStdString());
    for (const std::string& port : ListSerialPorts())
        ports.push_back(port);
    QStringList header;
    for (const std::string& line :
         formatTraceHeader(moduleTraceHeader(std::string("tarnik ") + config::kVersion, ports,
                                             trace.ShowsSecrets()),
                           std::time(nullptr)))
        header << QString::fromStdString(line);
    trace.setHeader(header);

    // The failure may be met on any thread that traces: the line is added on the
    // window's own, and not at all once the window has gone.
    QPointer<TGlownaF> target(&window);
    trace.setWriteErrorHandler([target](const QString& message) {
        if (!target)
            return;
        QMetaObject::invokeMethod(
            target.data(),
            [target, message] {
                if (target)
                    target->addInfoLine(kTraceFileFailed + message.toStdString(), false);
            },
            Qt::QueuedConnection);
    });
    return file.isEmpty() || trace.writeTo(file, error);
}

}  // namespace tarnik
