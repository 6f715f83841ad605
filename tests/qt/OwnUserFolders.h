#pragma once
// The user's folders of a test process that starts Qt. Before QApplication
// starts, HOME and the XDG folders point into a fresh folder of the process's
// own, so font caches, settings and the program's journal land there and
// never in the folders of the person running the tests; the folder goes when
// the object does (at the end of main).
//
// Why the process and not ctest: the environment ctest hands to the tests of
// one program is the same for every test it discovers, so it could only name
// one folder per build, shared by tests running side by side. Made here, the
// folder is one per test under ctest (ctest starts one process per test),
// and still private when the program is started by hand.
#include <string>

#include "support/TestFolder.h"

class OwnUserFolders : public FreshFolder {
public:
    explicit OwnUserFolders(const std::string& name);
};
