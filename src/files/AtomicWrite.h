#pragma once
// Writing a file so that a crash or a full disk never leaves a half-written
// file in its place: the bytes go to a temporary file in the same folder,
// which is flushed to the disk and then renamed over the old one. A link to a
// file replaces the file it names; a device or a pipe is written as it is.
#include <optional>
#include <string>
#include <string_view>

// Nothing when the file is written; else why not (the old file, if any, is
// left as it was and no temporary file is left behind).
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view bytes);
