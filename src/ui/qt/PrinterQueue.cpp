#include "ui/qt/PrinterQueue.h"

#include <QFile>
#include <cups/cups.h>

QueueState QueueNamed(const QString& name)
{
    QueueState state;
    const QByteArray wanted = name.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.isEmpty() ? nullptr : wanted.constData(), nullptr);
    if (!dest) {
        // no queue: is there no such queue, or no server to ask?
        http_t* server = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
        state.serverReachable = server != nullptr;
        if (server) httpClose(server);
        return state;
    }
    state.name = QString::fromUtf8(dest->name);
    auto option = [dest](const char* key) {
        const char* value = cupsGetOption(key, dest->num_options, dest->options);
        return QString::fromUtf8(value ? value : "");
    };
    state.stopped = option("printer-state") == "5";  // IPP_PSTATE_STOPPED
    state.accepting = option("printer-is-accepting-jobs") != "false";
    state.reason = option("printer-state-message");
    cupsFreeDests(1, dest);
    return state;
}

PrintJob SendPdf(const QString& queue, const QString& pdf, int copies, const QString& pageRanges)
{
    cups_option_t* options = nullptr;
    int count = 0;
    if (copies > 1) count = cupsAddOption("copies", QByteArray::number(copies).constData(), count, &options);
    if (!pageRanges.isEmpty()) count = cupsAddOption("page-ranges", pageRanges.toUtf8().constData(), count, &options);
    PrintJob job;
    job.number = cupsPrintFile(queue.toUtf8().constData(), QFile::encodeName(pdf).constData(), PRINT_JOB_NAME, count,
                               options);
    cupsFreeOptions(count, options);
    if (job.number <= 0) {
        job.number = 0;
        job.error = QString::fromUtf8(cupsLastErrorString());
    }
    return job;
}
