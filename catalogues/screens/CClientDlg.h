#pragma once

#include "CClientOrdersPage.h"
#include "ClientRecord.h"
#include "ClientStore.h"

#include <QDialog>
#include <QHash>

class AppContext;
class QLabel;
class QLineEdit;
class QTabWidget;
class KeyedList;
class CClientAccountPage;
class TyreSetsPage;

// The client card: the client's details, the tab pages about the client and a footer with the
// client's totals. "Сохранить" stores the card and leaves it open (inserted the first time, updated
// afterwards); "Закрыть" closes it, Accepted when it was saved at least once.
class CClientDlg : public QDialog {
    Q_OBJECT
public:
    // An empty key opens a new client under a key made now, so the pages can use it before the first save.
    CClientDlg(AppContext &ctx, const QString &iddClient, QWidget *parent = nullptr);

    // False when the stored client could not be read or is gone (the message was shown): the card is not
    // to be opened, since saving its empty fields would blank the stored details.
    bool Loaded() const { return m_loaded; }
    const QString &iddClient() const { return m_iddClient; }
    bool existing() const { return m_existing; }  // stored in the database (found on opening or saved)
    bool saved() const { return m_saved; }        // saved at least once in this opening

    // The footer's figures: services total and payments total of the client; the debt is their difference.
    void SetTotals(Money services, Money payments);

    CClientOrdersPage *ordersPage() const { return m_ordersPage; }
    CClientAccountPage *accountPage() const { return m_accountPage; }
    // Rereads both money pages and the footer; run after every command of either page.
    void RefreshMoney();

    // The edit bound to an SClient column ("ClientName", ...); null for an unknown column.
    QLineEdit *field(const QString &column) const { return m_fields.value(column); }
    // The card's fields as they stand (not trimmed).
    ClientRecord record() const;
    QTabWidget *tabs() const { return m_tabs; }
    KeyedList *carsList() const { return m_cars; }

    // Trims and checks the fields and stores the client; false when refused or failed (message shown).
    bool Save();

    // The "Автомобили" page: the client's cars and its commands.
    void RefillCars();
    bool SelectCar(const QString &iddAvto);
    void AddCar();
    void EditCar();
    void DeleteCar();

    void accept() override;  // saves and stays open
    void reject() override;

private:
    void BuildUi();
    QWidget *BuildCarsPage();
    void Load(bool stored);
    QString SelectedCar() const;
    bool MayCreateMoneyRows();

    AppContext &m_ctx;
    ClientStore m_store;
    QString m_iddClient;
    bool m_loaded = false;
    bool m_existing = false;
    bool m_saved = false;
    std::optional<ClientRecord> m_stored;  // as last read or saved: a save checks it is still so

    QHash<QString, QLineEdit *> m_fields;
    QTabWidget *m_tabs = nullptr;
    KeyedList *m_cars = nullptr;
    CClientOrdersPage *m_ordersPage = nullptr;
    CClientAccountPage *m_accountPage = nullptr;
    TyreSetsPage *m_tyresPage = nullptr;
    QLabel *m_servicesTotal = nullptr;
    QLabel *m_paymentsTotal = nullptr;
    QLabel *m_debt = nullptr;
};
