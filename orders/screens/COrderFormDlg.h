#pragma once

#include "Order.h"
#include "OrderFormOpener.h"
#include "OrderStore.h"

#include <QDialog>

class AppContext;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class KeyedList;
class QTreeWidget;
class QTreeWidgetItem;
struct CarRecord;

// "Заказ": one work order with its car, client, lines, performers, dates and payments. Nothing is
// written until OK, which saves the whole order (payments included) in one go.
class COrderFormDlg : public QDialog {
    Q_OBJECT
public:
    // Columns of the lines list; the first three are hidden indexes.
    enum LineColumn {
        ColTop,
        ColChild,
        ColWorker,
        ColName,
        ColCount,
        ColPrice,
        ColAmount,
        ColVatPercent,
        ColVat,
        ColTotal,
        ColDuration,
        ColWorkers,
        LineColumnCount
    };

    COrderFormDlg(AppContext &ctx, OrderFormMode mode, const QString &iddZakaz = {},
                  QWidget *parent = nullptr);

    // A new order taken for a known client: the client is chosen, and its car too when it has exactly
    // one current car. The clerk may still pick another car or client. Ignored when editing.
    void PresetClient(const QString &iddClient);

    // False when the order to edit could not be read (the reason was shown).
    bool Loaded() const { return m_loaded; }
    // After a save: the order as stored.
    const Order &order() const { return m_order; }

    KeyedList *lines() const { return m_lines; }
    KeyedList *payments() const { return m_payments; }
    double Total() const { return m_total; }
    double Paid() const { return m_paid; }

    // The commands of the buttons, the lists and their menus.
    void PickCar();
    void PickClient();
    void ClientTextEdited();
    // A row of the client box's list chosen: the client with that key.
    void ClientChosen(int index);
    void AddLines();
    void EditLine();
    void DeleteLine();
    void ChooseWorkers(QTreeWidgetItem *item);
    // A quantity typed in the list; 0 or less is ignored.
    void QuantityEdited(QTreeWidgetItem *item, const QString &text);
    void AddPayment();
    void EditPayment();
    void DeletePayment();

    void accept() override;

private:
    void Build();
    void SetTooltips();
    void Load(const QString &iddZakaz);
    void ApplyChecks();
    void FillLines();
    void FillPayments();
    void Recompute();
    void ShowCar(const CarRecord &car);
    bool LoadClient(const QString &iddClient);
    void LoadCar(const QString &iddAvto);
    bool Ask(const QString &heading, const QString &text);
    bool CheckInput();
    OrderFormInput FormInput() const;
    // The line a row of the lines list shows; null for none.
    OrderLine *LineOf(const QTreeWidgetItem *item);
    int SelectedPayment() const;
    QDateTime Accepted() const;

    AppContext &m_ctx;
    OrderFormMode m_mode;
    bool m_loaded = true;
    Order m_order;  // the working copy
    QString m_iddAvtoVlad;
    bool m_newClientAnsweredNo = false;
    // Moments read from the stored order; kept on saving while their pickers are left alone.
    QDateTime m_storedAppointment, m_storedStart, m_storedEnd;
    bool m_prelimTouched = false, m_acceptTouched = false, m_doneTouched = false;
    bool m_filling = false;  // the form sets its own pickers: not the user's touch
    double m_total = 0.0, m_paid = 0.0;

    QLineEdit *m_number = nullptr;
    QDateEdit *m_orderDate = nullptr;
    QCheckBox *m_prelim = nullptr;
    QDateEdit *m_prelimDate = nullptr;
    QTimeEdit *m_prelimTime = nullptr;
    QCheckBox *m_accepted = nullptr;
    QDateEdit *m_acceptDate = nullptr;
    QTimeEdit *m_acceptTime = nullptr;
    QCheckBox *m_done = nullptr;
    QDateEdit *m_doneDate = nullptr;
    QTimeEdit *m_doneTime = nullptr;
    QLineEdit *m_plate = nullptr;
    QPushButton *m_cars = nullptr;
    QComboBox *m_make = nullptr;
    QLineEdit *m_color = nullptr;
    QLineEdit *m_vin = nullptr;
    QLineEdit *m_engine = nullptr;
    QLineEdit *m_carNote = nullptr;
    QComboBox *m_client = nullptr;
    QPushButton *m_clients = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_phone = nullptr;
    KeyedList *m_lines = nullptr;
    QLabel *m_totalText = nullptr;
    QLabel *m_vatText = nullptr;
    QPushButton *m_addLine = nullptr;
    QPushButton *m_editLine = nullptr;
    QPushButton *m_delLine = nullptr;
    KeyedList *m_payments = nullptr;
    QPushButton *m_addPay = nullptr;
    QPushButton *m_editPay = nullptr;
    QPushButton *m_delPay = nullptr;
    QLabel *m_paidText = nullptr;
    QLabel *m_debtText = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// Builds the form for the mode (and the order, when editing), runs it through the dialog runner and
// returns true when the order was saved; iddZakaz then holds its key. A new order starts with the client
// `iddClient` chosen, when one is given.
bool RunOrderForm(const AppContext &ctx, OrderFormMode mode, QString &iddZakaz, QWidget *parent = nullptr,
                  const QString &iddClient = {});
