#pragma once

#include "PickedWorker.h"
#include "ServiceRecord.h"

#include <QDialog>
#include <QString>
#include <optional>

class AppContext;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class KeyedList;

// What the caller sets before the card is shown.
struct ServiceCardSetup {
    bool existing = false;       // opened on a stored row (catalogue) or on an order line
    bool orderLine = false;      // edits one line of an order and writes nothing itself
    bool packageLocked = false;  // order-line mode: the package field cannot be changed
    QString iddService{};        // the row (or line) edited
    QString iddTop{};            // preset package key (a new service goes into it)
    QString packageText{};       // preset package name
    // Order-line mode: the order form's own copy of the line and its workers, shown and edited instead of
    // anything stored, so a line not saved yet can be edited too.
    std::optional<ServiceRecord> line{};
    PickedWorkers lineWorkers{};
};

// "Услуга": the card of one service or package. In catalogue mode OK writes SService and ServiceWork in
// one transaction; in order-line mode OK only hands the fields back.
class CServiceDlg : public QDialog {
    Q_OBJECT
public:
    CServiceDlg(AppContext &ctx, const ServiceCardSetup &setup, QWidget *parent = nullptr);

    // After OK: the fields as saved (package text, name, price, VAT, price with VAT, pay rule and amount,
    // duration, IddTop, IddService; catalogue mode: the keys as stored). For a package the name is the
    // package text.
    ServiceRecord Result() const { return m_result; }
    QString PackageText() const { return m_resultPackage; }
    PickedWorkers Performers() const { return m_performers; }  // entries marked deleted included
    // False when the card's row could not be read or is gone: the card said so and is not to be shown.
    bool Loaded() const { return m_loaded; }

    // Commands of the performer buttons.
    void AddPerformer();
    void EditPerformer();
    void DeletePerformer();

    void accept() override;

private:
    void Build();
    void SetTooltips();
    void Load();
    void FillPackages();
    void FillPerformers();
    void NameChanged();
    void PriceChanged();
    QString PickedPackageId() const;

    AppContext &m_ctx;
    ServiceCardSetup m_setup;
    QString m_iddService;
    QString m_iddTop;
    bool m_openedPackage = false;
    PickedWorkers m_performers;
    // The stored row and its performers as read on opening (catalogue mode): the save checks they are still
    // so.
    std::optional<ServiceRecord> m_stored;
    PickedWorkers m_storedPerformers;
    bool m_loaded = false;
    ServiceRecord m_result;
    QString m_resultPackage;

    QComboBox *m_package = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_price = nullptr;
    QLineEdit *m_nds = nullptr;
    QLineEdit *m_summa = nullptr;
    QLineEdit *m_job = nullptr;
    QRadioButton *m_percent = nullptr;
    QRadioButton *m_fixed = nullptr;
    QTimeEdit *m_time = nullptr;
    KeyedList *m_workers = nullptr;
    QPushButton *m_addWorker = nullptr;
    QPushButton *m_editWorker = nullptr;
    QPushButton *m_delWorker = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
