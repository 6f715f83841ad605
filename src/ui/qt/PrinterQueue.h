#pragma once
// The print queues as the print server sees them, asked before a job is sent,
// and the job sent as a PDF file under a name every queue keeps readable
// (cups-pdf, for one, turns a Chinese title into octal escapes).
#include <QString>

inline constexpr const char* PRINT_JOB_NAME = "trilat-report";

struct QueueState {
    bool serverReachable = true;  // false: the print service did not answer
    QString name;                 // empty: no such queue (no default queue)
    bool stopped = false;         // the queue does not print (cupsdisable)
    bool accepting = true;        // the queue takes jobs (cupsaccept / cupsreject)
    QString reason;               // the server's message about the queue, if any
};

// The default queue (name empty) or the queue of that name.
QueueState QueueNamed(const QString& name = QString());

struct PrintJob {
    int number = 0;  // the server's job number; 0: not sent
    QString error;   // the server's reason when it refused the job
};

// Sends the PDF file to the queue, copies times, only the pages of pageRanges
// where given ("2-3", CUPS's page-ranges option).
PrintJob SendPdf(const QString& queue, const QString& pdf, int copies = 1, const QString& pageRanges = QString());
