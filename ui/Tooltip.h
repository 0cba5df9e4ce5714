#pragma once

#include <QString>

class QWidget;

namespace Tooltip {
// "<center><h2>" title "</h2><br><hr color=blue></center><br>" text, line breaks as "<br>".
QString Markup(const QString &title, const QString &text);
void Set(QWidget *widget, const QString &title, const QString &text);
}  // namespace Tooltip
