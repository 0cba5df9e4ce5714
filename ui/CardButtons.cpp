#include "CardButtons.h"

#include "Tooltip.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *MakeCardButtons(QDialog *dialog, QPushButton **ok, QPushButton **cancel, const QString &okTitle,
                             const QString &okHelp) {
    *ok = new QPushButton(QStringLiteral("OK"), dialog);
    (*ok)->setObjectName(QStringLiteral("ok"));
    (*ok)->setDefault(true);
    *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    (*cancel)->setObjectName(QStringLiteral("cancel"));
    Tooltip::Set(*ok, okTitle, okHelp);
    Tooltip::Set(*cancel, QStringLiteral("Закрыть"), QStringLiteral("Закрыть окно без сохранения."));
    // accept() and reject() are virtual: a card's own checks run.
    QObject::connect(*ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(*cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(*ok);
    row->addWidget(*cancel);
    return row;
}
