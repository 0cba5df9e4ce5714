#pragma once

#include "CarRecord.h"
#include "CarStore.h"

#include <QDialog>

class AppContext;
class QComboBox;
class QLineEdit;
class KeyedList;
class TyreSetsPage;

// The car card: the car's details and its owners. The owners are kept in memory while the card is
// open (added, edited, marked deleted) and stored with the car in one transaction on OK.
class CCarDlg : public QDialog {
    Q_OBJECT
public:
    // An empty key opens a new car under a key made now.
    CCarDlg(AppContext &ctx, const QString &iddAvto, QWidget *parent = nullptr);

    // False when the lists or the stored car could not be read or the car is gone (the message was
    // shown): the card is not to be opened, since saving its empty fields would blank the stored car.
    bool Loaded() const { return m_loaded; }
    const QString &iddAvto() const { return m_car.iddAvto; }
    bool existing() const { return m_existing; }
    bool saved() const { return m_saved; }  // stored by OK

    // The owner entries, deleted ones included, in the order they were added.
    const QList<CarOwner> &owners() const { return m_owners; }
    KeyedList *ownersList() const { return m_list; }
    bool SelectOwner(const QString &iddVlad);

    // Owner commands, as the buttons and the list's pop-up menu run them.
    void AddOwner();
    void EditOwner();
    void DeleteOwner();

    // Checks the plate and stores the car with its owners; closes when stored.
    void accept() override;

private:
    void BuildUi();
    void Load(bool stored);
    void RefillOwners();
    int SelectedOwner() const;  // position in m_owners, -1 without a selection

    AppContext &m_ctx;
    CarStore m_store;
    CarRecord m_car;
    QList<CarOwner> m_owners;
    std::optional<StoredCar> m_stored;  // as read on opening: the save checks it is still so
    bool m_loaded = false;
    bool m_existing = false;
    bool m_saved = false;

    QLineEdit *m_plate = nullptr;
    QComboBox *m_make = nullptr;
    QComboBox *m_color = nullptr;
    QLineEdit *m_vin = nullptr;
    QLineEdit *m_dvig = nullptr;
    QLineEdit *m_prim = nullptr;
    KeyedList *m_list = nullptr;
    TyreSetsPage *m_tyres = nullptr;  // the car's stored tyre sets
};
