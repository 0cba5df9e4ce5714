#include "PictureButton.h"

#include "Tooltip.h"

#include <QBoxLayout>
#include <QIcon>
#include <QPushButton>

QPushButton *PictureButton(const QString &resourceName, const QString &icon, const QString &caption,
                           const QString &tipTitle, const QString &tipHelp, QWidget *parent) {
    auto *b = new QPushButton(QIcon::fromTheme(icon), caption, parent);
    b->setObjectName(resourceName);
    b->setAutoDefault(false);
    Tooltip::Set(b, tipTitle, tipHelp);
    return b;
}

QBoxLayout *ButtonBar(Qt::Orientation orientation, const QList<QWidget *> &commands, QWidget *close) {
    auto *bar =
        new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    for (QWidget *w : commands) bar->addWidget(w);
    bar->addStretch(1);
    if (close) bar->addWidget(close);
    return bar;
}
