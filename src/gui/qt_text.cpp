#include "gui/qt_text.h"

#include <QFile>

#include "text/cp1251.h"

namespace tarnwell {

QString ToQString(std::string_view cp1251) {
    QString text(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (unsigned char byte : cp1251) *out++ = QChar(Cp1251ToUnicode(byte));
    return text;
}

std::string FromQString(const QString& text) {
    return Utf16ToCp1251(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

#ifdef _WIN32
QString PathToQString(std::string_view path) {
    return ToQString(path);
}

std::string PathFromQString(const QString& path) {
    return FromQString(path);
}
#else
QString PathToQString(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQString(const QString& path) {
    QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
#endif

}  // namespace tarnwell
