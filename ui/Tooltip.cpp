#include "Tooltip.h"

#include <QWidget>

namespace Tooltip {

QString Markup(const QString &title, const QString &text) {
    QString body = text;
    body.replace(u'\n', QStringLiteral("<br>"));
    return QStringLiteral("<center><h2>") + title + QStringLiteral("</h2><br><hr color=blue></center><br>") +
           body;
}

void Set(QWidget *widget, const QString &title, const QString &text) {
    if (widget) widget->setToolTip(Markup(title, text));
}

}  // namespace Tooltip
