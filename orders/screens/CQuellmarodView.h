#pragma once

#include "ChangeFeed.h"
#include "OrderFormOpener.h"
#include "OrderJournalStore.h"

#include <QWidget>
#include <functional>

class AppContext;
class QComboBox;
class QGridLayout;
class QDateEdit;
class KeyedView;
class OrderJournalModel;

// The order journal: the orders of a period as a tree (each order with its lines beneath it), the filters
// that choose them, and the commands that create, edit, delete, pay, start and finish orders. Each
// command that changes or pays orders checks its right first. The order form is opened only through the
// opener handed in, so the journal does not depend on the form.
class CQuellmarodView : public QWidget {
    Q_OBJECT
public:
    // The journal's commands (menu "&Правка", toolbar and the list's right-click menu).
    static constexpr int kRequest = 32781;
    static constexpr int kAdd = 32774;
    static constexpr int kEdit = 32777;
    static constexpr int kDelete = 32778;
    static constexpr int kPay = 32780;
    static constexpr int kStart = 32782;
    static constexpr int kFinish = 32783;
    static constexpr int kPrintDocs = 32785;

    // Produces the printed documents of one order (the print dialog lives with the documents, which
    // depend on the orders, not the other way round).
    using DocumentsPrinter = std::function<void(const QString &iddZakaz)>;

    CQuellmarodView(AppContext &ctx, OrderFormOpener opener, QWidget *parent = nullptr);

    // Runs one of the commands above; false for an id that is not the journal's.
    bool RunCommand(int id);

    // Lists the orders the filters choose (the "Поиск" button, and after every change).
    void Search();

    void AddOrder();
    void AddRequest();
    void EditOrder();
    void DeleteOrder();
    void AddPayment();
    void MarkStart();
    void MarkFinish();
    void PrintDocuments();

    // Gives the journal its "Распечатать..." command; without a printer the command is not offered.
    void SetDocumentsPrinter(DocumentsPrinter printer);

    // The "..." buttons: the chosen car's plate or client's name goes into its filter.
    void PickCar();
    void PickClient();

    // How many orders a search shows before it reads the rest (after they are painted).
    static constexpr int kFirstScreen = 200;

    // The orders listed now, the rest of a long list read first, and the filter that listed them (the
    // orders report prints exactly these).
    const QList<JournalOrder> &ShownOrders();
    const JournalFilter &ShownFilter() const { return m_shownFilter; }

    // The key of the order the selected row belongs to ("" when none is selected).
    QString SelectedOrder() const;
    KeyedView *list() const { return m_list; }
    OrderJournalModel *rows() const { return m_rows; }

private:
    enum class PayResult { Saved, Cancelled, Stopped };

    void BuildUi();
    QGridLayout *BuildFilters();
    void BuildList();
    // Shows the orders found; the filters' lists come from them once the list is whole.
    void Fill(QList<JournalOrder> orders, bool whole);
    // Shows a search's first screen; with `more` the rest is read once it is painted.
    void Show(QList<JournalOrder> orders, bool more);
    // Another window or workstation wrote rows the journal may show: with the whole list shown the
    // written orders are read again by key, otherwise the first screen of the shown search.
    void Refresh(const DataChanges &changes);
    void OpenForm(OrderFormMode mode);
    // The commands once their right is checked and the order chosen.
    PayResult Pay(const QString &iddZakaz);
    void Start(const QString &iddZakaz);
    void Finish(const QString &iddZakaz);
    // Asks for a moment; marks the order with it; false when cancelled.
    bool Mark(const QString &iddZakaz, const QString &title, bool finish);
    // Runs the search again and selects the order when it is still listed.
    void Reselect(const QString &iddZakaz);
    // Reads the order's state; warns and refreshes the list when it is gone. False on any failure.
    bool ReadState(const QString &iddZakaz, JournalOrderState *state);
    // The order was deleted on another workstation.
    void OrderGone();

    AppContext &m_ctx;
    OrderFormOpener m_opener;
    DocumentsPrinter m_printer;
    OrderJournalStore m_store;
    JournalFilter m_shownFilter;

    QComboBox *m_number = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_status = nullptr;
    QComboBox *m_plate = nullptr;
    QComboBox *m_make = nullptr;
    QComboBox *m_client = nullptr;
    OrderJournalModel *m_rows = nullptr;
    KeyedView *m_list = nullptr;
};
