#include "KeyGen.h"

#include <charconv>
#include <mutex>
#include <random>

namespace {

QString SerialDigits(double serial) {
    char buf[64];
    // Shortest text that reads back as the same number, without an exponent.
    const auto res = std::to_chars(buf, buf + sizeof buf, serial, std::chars_format::fixed);
    QString digits;
    for (const char *p = buf; p != res.ptr; ++p)
        if (*p != '.') digits += QLatin1Char(*p);
    return digits;
}

}  // namespace

double DateSerial(const QDateTime &moment) {
    static const QDate epoch(1899, 12, 30);
    const qint64 days = epoch.daysTo(moment.date());
    const int secs = moment.time().msecsSinceStartOfDay() / 1000;
    return double(days) + double(secs) / 86400.0;
}

QString KeyFromSerial(const QString &prefix, double serial) {
    return prefix + u'~' + SerialDigits(serial) + u'~';
}

QString ProgramKeyDigits() {
    // Fixed width, so that serial digits followed by these can never read as another serial's.
    static const QString digits = [] {
        std::random_device device;
        std::uniform_int_distribution<quint32> pick(0, 999999999);
        return QStringLiteral("%1").arg(pick(device), 9, 10, QLatin1Char('0'));
    }();
    return digits;
}

QString NewKey(const QString &prefix) {
    static std::mutex guard;
    static double last = 0;
    // About 0.86 ms in days: large enough to survive the shortest-text round trip at today's serials.
    constexpr double step = 1e-8;
    double serial = DateSerial(QDateTime::currentDateTime());
    {
        std::lock_guard lock(guard);
        if (serial <= last) serial = last + step;
        last = serial;
    }
    return prefix + u'~' + SerialDigits(serial) + ProgramKeyDigits() + u'~';
}
