#include "OwnUserFolders.h"

#include <cstdlib>
#include <filesystem>

OwnUserFolders::OwnUserFolders(const std::string& name) : FreshFolder(name)
{
    namespace fs = std::filesystem;
    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {
        {"HOME", "home"},
        {"XDG_CONFIG_HOME", "home/.config"},
        {"XDG_DATA_HOME", "home/.local/share"},
        {"XDG_CACHE_HOME", "home/.cache"},
        {"XDG_STATE_HOME", "home/.local/state"},
        {"XDG_RUNTIME_DIR", "runtime"},
    };
    for (const auto& f : folders) {
        const fs::path path = Path() / f.folder;
        fs::create_directories(path);
        setenv(f.variable, path.c_str(), 1);
    }
    // Qt refuses a runtime folder that others may read
    fs::permissions(Path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
}
