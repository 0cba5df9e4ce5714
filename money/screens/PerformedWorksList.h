#pragma once

#include "SalaryStore.h"

#include <QWidget>
#include <functional>

template <class Record>
class FlatModel;
class KeyedView;
class QLineEdit;

// The performed-works list with its four totals, as the works report and the worker's works dialog show it.
// A long list may be shown by its first screen first: the rest is read once that screen is painted, or when
// the whole list is asked for (a sort by a heading, a printout).
class PerformedWorksList : public QWidget {
    Q_OBJECT
public:
    explicit PerformedWorksList(QWidget *parent = nullptr);

    // Reads the whole list into its argument; false when the read failed (and the clerk was told).
    using Rest = std::function<bool(PerformedWorks &)>;

    // Shows the rows and totals; an empty value clears the list (a failed read shows no figures). With a
    // rest, the rows are the first screen and the totals already the whole list's.
    void Show(const PerformedWorks &works, Rest rest = {});
    void Clear() { Show({}); }
    // What is shown, the whole list (its rest read first if it is still to come).
    const PerformedWorks &Whole();

    KeyedView *list() const { return m_list; }

private:
    FlatModel<PerformedWork> *m_rows = nullptr;
    KeyedView *m_list = nullptr;
    PerformedWorks m_shown;
    QLineEdit *m_amount = nullptr;
    QLineEdit *m_vat = nullptr;
    QLineEdit *m_total = nullptr;
    QLineEdit *m_pay = nullptr;
};

class AppContext;
// The rest of a list shown by its first screen: the filter's whole list, a failure told to the clerk.
PerformedWorksList::Rest WholeWorks(AppContext &ctx, const WorksFilter &filter);
