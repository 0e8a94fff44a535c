#pragma once
// Paths between the core (std::filesystem) and Qt (QString), always as UTF-8: the program's
// file names are Chinese.

#include <QString>
#include <filesystem>

namespace quarvel::app {

inline QString toQString(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(s.data()),
                             static_cast<qsizetype>(s.size()));
}

inline std::filesystem::path toPath(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                                               static_cast<size_t>(utf8.size())));
}

}  // namespace quarvel::app
