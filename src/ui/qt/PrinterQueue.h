#pragma once
// The default print queue as the print server sees it, asked before a job is
// sent, and the job sent as a PDF file under a name every queue keeps
// readable (cups-pdf, for one, turns a Chinese title into octal escapes).
#include <QString>

inline constexpr const char* PRINT_JOB_NAME = "trilat-report";

struct QueueState {
    QString name;            // empty: no default queue
    bool stopped = false;    // the queue does not print (cupsdisable)
    bool accepting = true;   // the queue takes jobs (cupsaccept / cupsreject)
    QString reason;          // the server's message about the queue, if any
};

QueueState DefaultQueue();

// Sends the PDF file to the queue; the server's reason when it refuses the job.
QString SendPdf(const QString& queue, const QString& pdf);
