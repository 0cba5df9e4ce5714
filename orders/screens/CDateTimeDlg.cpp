#include "CDateTimeDlg.h"

#include "CardButtons.h"
#include "DatePicker.h"
#include "Tooltip.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

CDateTimeDlg::CDateTimeDlg(const QString &title, QWidget *parent) : QDialog(parent) {
    setWindowTitle(title);
    const QDateTime now = QDateTime::currentDateTime();
    m_time = new QTimeEdit(now.time(), this);
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Tooltip::Set(m_time, QStringLiteral("Время"), QStringLiteral("Время события по заказу."));
    m_date = new QDateEdit(now.date(), this);
    DatePicker::Limit(m_date);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_date->setCalendarPopup(true);
    Tooltip::Set(m_date, QStringLiteral("Дата"), QStringLiteral("Дата события по заказу."));

    QPushButton *ok = nullptr, *cancel = nullptr;
    QHBoxLayout *buttons = MakeCardButtons(this, &ok, &cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить дату и время\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Время:")));
    layout->addWidget(m_time);
    layout->addWidget(new QLabel(QStringLiteral("Дата:")));
    layout->addWidget(m_date);
    layout->addStretch();
    layout->addLayout(buttons);
    m_time->setFocus();
    resize(260, sizeHint().height());
}

QDateTime CDateTimeDlg::DateTime() const {
    const QTime t = m_time->time();
    return QDateTime(m_date->date(), QTime(t.hour(), t.minute(), t.second()));
}

void CDateTimeDlg::SetDateTime(const QDateTime &when) {
    m_date->setDate(when.date());
    m_time->setTime(when.time());
}
