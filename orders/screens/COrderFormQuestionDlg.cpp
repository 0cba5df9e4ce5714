#include "COrderFormQuestionDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

COrderFormQuestionDlg::COrderFormQuestionDlg(const QString &heading, const QString &text, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(heading);
    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("text"));
    m_yes = new QPushButton(QStringLiteral("Да"), this);
    m_yes->setObjectName(QStringLiteral("yes"));
    m_yes->setDefault(true);
    m_no = new QPushButton(QStringLiteral("Нет"), this);
    m_no->setObjectName(QStringLiteral("no"));
    connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

QString COrderFormQuestionDlg::Text() const {
    return m_text->text();
}
