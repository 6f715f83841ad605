#pragma once
// Folders of a test's own. Every file a test writes lies below a fresh folder
// made for it alone, so tests run side by side (ctest -j2, two checkouts on
// one machine) never meet in a shared file, and nothing lands in the user's
// folders.
#include <filesystem>
#include <string>

// A fresh, empty folder below $TMPDIR (or GoogleTest's temporary folder),
// named `trilat-<name>-<process id>-<six random characters>` and removed
// with everything in it when the object goes.
class FreshFolder {
public:
    explicit FreshFolder(const std::string& name);
    ~FreshFolder();
    FreshFolder(const FreshFolder&) = delete;
    FreshFolder& operator=(const FreshFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A file name inside the folder (the file itself is not made).
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The fresh folder of the GoogleTest test that is running: named after its
// suite and test name.
class TestFolder : public FreshFolder {
public:
    TestFolder();
};

// A name that can stand in a file name: every character other than a letter,
// digit, '.', '-' or '_' becomes '_' (parameterised test names hold '/').
std::string FileNameSafe(const std::string& name);
