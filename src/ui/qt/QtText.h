#pragma once
// The program's UTF-8 text as Qt's strings.
#include <QString>
#include <string>

inline QString ToQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
