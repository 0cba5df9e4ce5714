#include "Cp1251.h"

#include <iconv.h>
#include <QHash>
#include <array>

namespace {

// The 128 upper characters of a single-byte code page, decoded once; null where the page has none.
std::array<char16_t, 128> UpperHalf(const char *codepage) {
    std::array<char16_t, 128> table{};
    iconv_t cd = iconv_open("UTF-16LE", codepage);
    if (cd == iconv_t(-1)) return table;
    for (int b = 0; b < 128; ++b) {
        char in = char(0x80 + b);
        char out[4] = {};
        char *inp = &in, *outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && outLeft == 2)
            table[size_t(b)] = char16_t(uchar(out[0]) | (uchar(out[1]) << 8));
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return table;
}

const std::array<char16_t, 128> &Win1251() {
    static const std::array<char16_t, 128> t = UpperHalf("CP1251");
    return t;
}

const QHash<char16_t, char> &Reverse1251() {
    static const QHash<char16_t, char> h = [] {
        QHash<char16_t, char> r;
        const auto &t = Win1251();
        for (int b = 0; b < 128; ++b)
            if (t[size_t(b)]) r.insert(t[size_t(b)], char(0x80 + b));
        return r;
    }();
    return h;
}

}  // namespace

namespace Cp1251 {

QByteArray FromUnicode(const QString &text) {
    QByteArray out;
    out.reserve(text.size());
    const auto &rev = Reverse1251();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        out += rev.value(c, '?');
    }
    return out;
}

QString ToUnicode(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto &t = Win1251();
    for (char ch : bytes) {
        const uchar b = uchar(ch);
        out += b < 0x80 ? QChar(b) : t[b - 0x80] ? QChar(t[b - 0x80]) : QChar(u'?');
    }
    return out;
}

QByteArray FromOem866(const QByteArray &bytes) {
    static const std::array<char16_t, 128> oem = UpperHalf("CP866");
    QString text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const uchar b = uchar(ch);
        text += b < 0x80 ? QChar(b) : oem[b - 0x80] ? QChar(oem[b - 0x80]) : QChar(u'?');
    }
    return FromUnicode(text);
}

}  // namespace Cp1251
