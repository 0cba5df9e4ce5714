#include "CardButtons.h"

#include "Tooltip.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *MakeCardButtons(QDialog *dialog, QPushButton **ok, QPushButton **cancel, const QString &okTitle,
                             const QString &okHelp, const CardCaptions &captions) {
    *ok = new QPushButton(captions.ok, dialog);
    (*ok)->setObjectName(QStringLiteral("ok"));
    (*ok)->setDefault(true);
    *cancel = new QPushButton(captions.cancel, dialog);
    (*cancel)->setObjectName(QStringLiteral("cancel"));
    (*cancel)->setAutoDefault(false);
    Tooltip::Set(*ok, okTitle, okHelp);
    Tooltip::Set(*cancel, captions.cancelTitle, captions.cancelHelp);
    // accept() and reject() are virtual: a card's own checks run.
    QObject::connect(*ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(*cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(*ok);
    row->addWidget(*cancel);
    return row;
}
