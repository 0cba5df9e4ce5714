#pragma once

#include "TyreStore.h"

#include <QWidget>
#include <functional>

class AppContext;
class KeyedList;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Хранение шин": the stored sets, searched by state (kept, given back, overdue), season, place, plate and
// client. Insert takes a set in (printing its receipt and labels), Enter opens its card, "Выдать" gives it
// back (offering the fee for seasons beyond the paid ones on a new order), Delete removes a mistaken card.
class CTyreJournalView : public QWidget {
    Q_OBJECT
public:
    // What the journal hands on for a set: its receipt, its labels.
    using SetCommand = std::function<void(const TyreSet &set)>;

    // The spreadsheet of the sets kept, in one of the orders the "В Excel" menu offers.
    enum class ReportOrder { ByPlace, ByClient, Overdue };
    using ReportCommand = std::function<void(ReportOrder order)>;

    explicit CTyreJournalView(AppContext &ctx, QWidget *parent = nullptr);
    void SetPrinters(SetCommand receipt, SetCommand labels, ReportCommand report = {});
    // The frame's print: the spreadsheet by place.
    void Print();

    // The search with the filters as they stand.
    void Search();
    void TakeIn();
    void Open();
    void GiveOut();
    void Remove();
    void Places();
    void PrintReceipt();
    void PrintLabels();

    KeyedList *list() const { return m_list; }
    QLineEdit *plate() const { return m_plate; }
    QComboBox *state() const { return m_state; }
    const QList<TyreSet> &shown() const { return m_shown; }

private:
    void Build();
    // The selected row's set (none: the clerk is told to pick one).
    const TyreSet *Current();
    // A new order charging the seasons beyond the paid ones.
    void ChargeOverdue(const TyreSet &set, int seasons);

    AppContext &m_ctx;
    SetCommand m_receipt, m_labels;
    ReportCommand m_report;
    QList<TyreSet> m_shown;
    QComboBox *m_state = nullptr, *m_season = nullptr, *m_place = nullptr;
    QLineEdit *m_plate = nullptr, *m_client = nullptr;
    KeyedList *m_list = nullptr;
};
