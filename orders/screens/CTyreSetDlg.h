#pragma once

#include "TyreStore.h"

#include <QDialog>

class AppContext;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Комплект шин на хранении": a set's card. A new set is taken in on OK (a free place proposed); a kept
// one's card is changed; one given back is only shown.
class CTyreSetDlg : public QDialog {
    Q_OBJECT
public:
    // A new set for the car (and its owner) when given, or the stored set `iddTyre`.
    CTyreSetDlg(AppContext &ctx, const QString &iddTyre, QWidget *parent = nullptr);

    // A new set for this car and client (the car card's, or the order's).
    void PresetCar(const QString &iddAvto, const QString &iddClient);
    // Taken in by this order, at the storage fee it charged for a season.
    void PresetOrder(const QString &iddZakaz, Money fee);
    // False when the stored set could not be read (the reason was shown).
    bool Loaded() const { return m_loaded; }
    // After OK: the set as stored.
    const TyreSet &set() const { return m_set; }

    QLineEdit *car() const { return m_car; }
    QComboBox *place() const { return m_place; }
    QLineEdit *tread() const { return m_tread; }
    QSpinBox *count() const { return m_count; }

    void accept() override;

private:
    void Build();
    void Show();
    void ChooseCar();
    void FillPlaces();
    // The card's fields into the set; false (shown) when the depths cannot be read.
    bool Take();

    AppContext &m_ctx;
    TyreSet m_set;
    bool m_loaded = true;
    QLineEdit *m_car = nullptr;
    QPushButton *m_chooseCar = nullptr;
    QComboBox *m_season = nullptr;
    QLineEdit *m_maker = nullptr, *m_model = nullptr, *m_size = nullptr, *m_tread = nullptr,
              *m_damage = nullptr;
    QSpinBox *m_count = nullptr;
    QCheckBox *m_rims = nullptr;
    QComboBox *m_place = nullptr;
    QDateEdit *m_in = nullptr, *m_paid = nullptr;
    QLineEdit *m_fee = nullptr;
    QPushButton *m_ok = nullptr;
};
