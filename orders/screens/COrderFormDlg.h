#pragma once

#include "OrderEditor.h"
#include "OrderFormOpener.h"

#include <QDialog>

class AppContext;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QDateTimeEdit;
class OrderCarClientPart;
class OrderLinesPart;
class OrderPaymentsPart;

// "Заказ": one work order with its car, client, lines, performers, dates and payments. The form shows
// an OrderEditor and hands it every input; nothing is written until OK, which saves the whole order
// (payments included) in one go.
class COrderFormDlg : public QDialog {
    Q_OBJECT
public:
    COrderFormDlg(AppContext &ctx, OrderFormMode mode, const QString &iddZakaz = {},
                  QWidget *parent = nullptr);

    // A new order taken for a known client: the client is chosen, and its car too when it has exactly
    // one current car. The clerk may still pick another car or client. Ignored when editing.
    void PresetClient(const QString &iddClient);

    // False when the order to edit could not be read (the reason was shown).
    bool Loaded() const { return m_loaded; }
    // After a save: the order as stored.
    const Order &order() const { return m_editor.order(); }

    OrderCarClientPart *carClient() const { return m_carClient; }
    OrderLinesPart *lines() const { return m_lines; }
    OrderPaymentsPart *payments() const { return m_payments; }
    QComboBox *bay() const { return m_bay; }
    QDateTimeEdit *planEnd() const { return m_planEnd; }
    // A new order planned on the bay from `start` (as opened from the bay board): a request at that time.
    // A new order for a client's car with a line of its own (a charge not in the catalogue, as the tyre
    // storage's fee for seasons beyond the paid ones): `count` times the line's price.
    void PresetCharge(const QString &iddClient, const ServiceRecord &line, double count);
    // With the services when given (as the free-time finder chose them).
    void PresetPlan(const QString &iddBox, const QDateTime &start, const SelectedServices &services = {});

    void accept() override;
    // Esc or "Отмена": a form the clerk changed closes only when the clerk agrees to lose the changes.
    void reject() override;

private:
    void Build();
    void BuildDates();
    void SetTooltips();
    bool Load(const QString &iddZakaz);
    // Shows the stored order again in place of the clerk's edits.
    void Reload();
    // Shows the editor's ticks and moments; the pickers' own changes are not the clerk's then.
    void ShowDates();
    void TicksChanged();
    // The live bays, and the order's own bay though it was deleted since.
    void FillBays();
    // The checks of OK; false when one refused (it was shown, and its field has the focus).
    bool CheckInput();
    // Saves the order, asking about a debt changed elsewhere and about a bay's time already taken; false
    // when it was not saved (the reason was shown).
    bool SaveOrder(Order &work);
    // A new order with a tyre storage service on it: the clerk is offered to take the set in.
    void OfferTyreStorage(const Order &saved);

    AppContext &m_ctx;
    OrderFormMode m_mode;
    bool m_loaded = true;
    OrderEditor m_editor;
    std::optional<Order> m_stored;  // the order as read for editing: the save checks it is still so
    bool m_filling = false;         // the form sets its own pickers: not the user's touch
    bool m_touched = false;         // the clerk changed something since the form was opened
    bool m_offersStorage = true;    // a storage service saved offers to take a set in (not for a charge)

    QLineEdit *m_number = nullptr;
    QDateEdit *m_orderDate = nullptr;
    QCheckBox *m_prelim = nullptr;
    // Each moment is one field, date and time: one Tab stop, the calendar on Alt+Down or F4.
    QDateTimeEdit *m_prelimAt = nullptr;
    QCheckBox *m_accepted = nullptr;
    QDateTimeEdit *m_acceptAt = nullptr;
    QCheckBox *m_done = nullptr;
    QDateTimeEdit *m_doneAt = nullptr;
    QComboBox *m_bay = nullptr;  // "Бокс:": none, or a bay of the catalogue
    QDateTimeEdit *m_planEnd = nullptr;
    OrderCarClientPart *m_carClient = nullptr;
    OrderLinesPart *m_lines = nullptr;
    OrderPaymentsPart *m_payments = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// Builds the form for the mode (and the order, when editing), runs it through the dialog runner and
// returns true when the order was saved; iddZakaz then holds its key. A new order starts with the client
// `iddClient` chosen, when one is given.
bool RunOrderForm(const AppContext &ctx, OrderFormMode mode, QString &iddZakaz, QWidget *parent = nullptr,
                  const QString &iddClient = {});
