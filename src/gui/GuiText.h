#pragma once
// Text at the widget boundary: the core keeps Windows-1252 bytes with CR LF line ends,
// the widgets show Unicode text.
#include "platform/Text.h"

#include <QString>

#include <string>
#include <string_view>

namespace kestrel {

inline QString FromCore(std::string_view cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

// Characters the code page lacks become '?'.
inline std::string ToCore(const QString& text) {
    return Utf8ToCp1252Lossy(text.toStdString());
}

// A multi-line core text (CR LF) for a text box (LF), and back.
inline QString MultiLineFromCore(std::string_view cp1252) {
    QString text = FromCore(cp1252);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}
inline std::string MultiLineToCore(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToCore(crlf);
}

} // namespace kestrel
