#pragma once
// The guard against printing on a printer of the machine. A test prints into
// a PDF file, or onto a queue of the private print server the print test
// starts; nothing else. The CUPS client takes its server from CUPS_SERVER;
// without it, it asks the machine's cupsd, whose default printer is a real
// one on a surveyor's desk. So every test process names a print server
// inside the build tree: nothing listens there for the window tests (the
// print command then offers a PDF file), the print test starts its own.
#include <QString>

// The socket the window tests name as their print server; nothing listens
// on it.
QString NoPrintServer();

// Empty when CUPS_SERVER names a socket inside this build tree; otherwise
// why the print server is not one of the tests' own.
QString ForeignPrintServer();

// Empty when the window's print command, pressed now, reaches no printer
// (and offers a PDF file) or a printer of the tests' own print server;
// otherwise which printer of the machine it would print on. Asked just
// before a test presses the print button.
QString ForeignPrinter();
