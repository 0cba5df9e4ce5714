#pragma once

#include <QString>
#include <stdexcept>

// A failure reported by the database driver (or by our own storage rules). Carries the driver's text so
// the screen that catches it can show exactly what went wrong.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};
