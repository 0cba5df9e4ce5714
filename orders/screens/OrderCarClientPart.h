#pragma once

#include <QString>
#include <QWidget>

class AppContext;
class OrderEditor;
class QComboBox;
class QLineEdit;
class QPushButton;
struct CarRecord;
struct Order;

// The car and the client of the order form: typed, or picked in their directories. The part knows which
// stored car and client the typed fields belong to (none: new ones are stored with the order).
class OrderCarClientPart : public QWidget {
    Q_OBJECT
public:
    OrderCarClientPart(AppContext &ctx, QWidget *parent);

    QLineEdit *plate() const { return m_plate; }
    QComboBox *client() const { return m_client; }
    QList<QWidget *> TabOrder() const;

    // Shows the car and client of a stored order.
    void Show(const Order &order);
    // A new order taken for a known client: the client is chosen, and its car too when it has exactly
    // one current car.
    void PresetClient(const QString &iddClient);
    // Hands what is shown to the editor and shows it back as the editor keeps it.
    void ApplyTo(OrderEditor &editor);
    // With no stored car chosen, the plate is looked up: several cars with it must be picked in the
    // directory (false), a single one is offered. False also when the lookup failed.
    bool SettleCar();

    void PickCar();
    void PickClient();
    void ClientTextEdited();
    // A row of the client box's list chosen: the client with that key.
    void ClientChosen(int index);

private:
    void Build();
    void SetTooltips();
    void ShowCar(const CarRecord &car);
    void LoadCar(const QString &iddAvto);
    bool LoadClient(const QString &iddClient);
    bool Ask(const QString &heading, const QString &text);

    AppContext &m_ctx;
    QString m_iddAvto, m_iddVlad;
    bool m_newClientAnsweredNo = false;

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
};
