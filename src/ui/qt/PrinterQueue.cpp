#include "ui/qt/PrinterQueue.h"

#include <QFile>
#include <cups/cups.h>

QueueState DefaultQueue()
{
    QueueState state;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) return state;
    state.name = QString::fromUtf8(dest->name);
    auto option = [dest](const char* name) {
        const char* value = cupsGetOption(name, dest->num_options, dest->options);
        return QString::fromUtf8(value ? value : "");
    };
    state.stopped = option("printer-state") == "5";  // IPP_PSTATE_STOPPED
    state.accepting = option("printer-is-accepting-jobs") != "false";
    state.reason = option("printer-state-message");
    cupsFreeDests(1, dest);
    return state;
}

QString SendPdf(const QString& queue, const QString& pdf)
{
    const int job = cupsPrintFile(queue.toUtf8().constData(), QFile::encodeName(pdf).constData(), PRINT_JOB_NAME, 0,
                                  nullptr);
    if (job > 0) return {};
    return QString::fromUtf8(cupsLastErrorString());
}
