#pragma once

#include <QByteArray>
#include <QString>

// Windows code page 1251, the encoding of data files, templates and produced documents. Conversions
// go through glibc iconv; a character the code page lacks becomes "?", so it shows in print instead of
// vanishing.
namespace Cp1251 {

QByteArray FromUnicode(const QString &text);
QString ToUnicode(const QByteArray &bytes);
// A line in the OEM (DOS, 866) code page recoded to 1251.
QByteArray FromOem866(const QByteArray &bytes);

}  // namespace Cp1251
