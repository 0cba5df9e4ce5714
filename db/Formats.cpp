#include "Formats.h"

#include <ctime>

#include <limits>

namespace Formats {

double ParseNumber(const QString &typed) {
    QString text = typed.trimmed();
    // Blanks group the thousands ("1 234,50"): the ordinary one, the no-break one and the thin ones
    // that figures copied from documents carry. Reading up to the first of them would give 1.
    text.removeIf([](QChar c) { return c == u' ' || c == u'\u00A0' || c == u'\u2009' || c == u'\u202F'; });
    text.replace(u',', u'.');
    return LeadingNumber(text);
}

QString TwoDecimals(double value) {
    return QString::asprintf("%.2f", value);
}

double LeadingNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    QString number;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) number += text[i++];
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        number += text[i++];
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) return 0.0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

long LeadingLong(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        const long digit = text[i++].unicode() - u'0';
        if (value > (std::numeric_limits<long>::max() - digit) / 10)
            return negative ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

QString Date(const QDateTime &value) {
    return value.isValid() ? value.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString Date(const QDate &value) {
    return value.isValid() ? value.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString Time(const QDateTime &value) {
    return value.isValid() ? value.toString(QStringLiteral("HH:mm")) : QString();
}

QString Time(const QTime &value) {
    return value.isValid() ? value.toString(QStringLiteral("HH:mm")) : QString();
}

QString DateTime(const QDateTime &value) {
    return value.isValid() ? value.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : QString();
}

QDateTime ZeroDateTime() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QDateTime TimeOfDay(const QTime &time) {
    return QDateTime(QDate(1899, 12, 30), time.isValid() ? time : QTime(0, 0));
}

void KeepLocalZoneLoaded() {
    if (qEnvironmentVariableIsSet("TZ")) return;
    qputenv("TZ", ":/etc/localtime");
    tzset();
}

}  // namespace Formats
