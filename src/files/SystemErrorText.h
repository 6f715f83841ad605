#pragma once
// The system's reason for a failed file operation (an errno value) in Chinese,
// for messages that are Chinese throughout: the C library's own text is
// English. A value without a text of its own is named by its number.
#include <string>

std::string SystemErrorText(int error);
