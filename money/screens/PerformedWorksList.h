#pragma once

#include "SalaryStore.h"

#include <QWidget>

class KeyedList;
class QLineEdit;

// The performed-works list with its four totals, as the works report and the worker's works dialog show it.
class PerformedWorksList : public QWidget {
    Q_OBJECT
public:
    explicit PerformedWorksList(QWidget *parent = nullptr);

    // Shows the rows and totals; an empty value clears the list (a failed read shows no figures).
    void Show(const PerformedWorks &works);
    void Clear() { Show({}); }

    KeyedList *list() const { return m_list; }

private:
    KeyedList *m_list = nullptr;
    QLineEdit *m_amount = nullptr;
    QLineEdit *m_vat = nullptr;
    QLineEdit *m_total = nullptr;
    QLineEdit *m_pay = nullptr;
};
