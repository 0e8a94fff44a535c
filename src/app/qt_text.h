#pragma once
// Text between the core (UTF-8 in std::string) and Qt: the one conversion each way.

#include <QString>
#include <string>

namespace quarvel::app {

inline QString fromStd(const std::string& s) { return QString::fromStdString(s); }
inline std::string toStd(const QString& s) { return s.toStdString(); }

}  // namespace quarvel::app
