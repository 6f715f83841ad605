#include "PrintGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>

namespace {

// The path with symbolic links followed (a link in the build tree may lead to
// the machine's socket), as far as it exists.
QString Resolved(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

}  // namespace

QString NoPrintServer() { return QString::fromUtf8(TRILAT_NO_PRINT_SERVER); }

QString ForeignPrintServer()
{
    const QString server = qEnvironmentVariable("CUPS_SERVER");
    if (server.isEmpty()) return "CUPS_SERVER is not set: the machine's print server would be used";
    // a local socket is named by its path; anything else is a host
    if (!server.startsWith('/')) return "CUPS_SERVER names the print server host " + server;
    const QString own = Resolved(QString::fromUtf8(TRILAT_TEST_BUILD_DIR)) + '/';
    if (!Resolved(server).startsWith(own))
        return "CUPS_SERVER names the socket " + server + ", which lies outside the build tree " + own;
    return {};
}

QString ForeignPrinter()
{
    if (const QString server = ForeignPrintServer(); !server.isEmpty()) return server;
    // the window prints on the default printer, as found here
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) return {};
    // a queue the client found on the network rather than on the tests' own
    // server (CUPS lists printers it discovers next to the server's)
    if (printer.isRemote()) return "the default printer " + printer.printerName() + " is a remote printer";
    return {};
}
