#pragma once

#include <QString>
#include <stdexcept>

// A failure reported by the database driver (or by our own storage rules). Carries the driver's text so
// the screen that catches it can show exactly what went wrong; a refusal about one field also names it
// ("Table.Column"), so the screen can put the focus there.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text, const QString &field = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_field(field) {}
    const QString &text() const { return m_text; }
    const QString &field() const { return m_field; }

private:
    QString m_text;
    QString m_field;
};
