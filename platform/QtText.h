// The system's texts are UTF-8 byte strings; the widgets take QString.
#pragma once

#include <QString>
#include <string_view>

namespace cavel {

inline QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace cavel
