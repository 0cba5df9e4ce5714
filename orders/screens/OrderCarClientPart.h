#pragma once

#include <QString>
#include <QWidget>

class AppContext;
class OrderEditor;
class QComboBox;
class QCompleter;
class QLineEdit;
class QStandardItemModel;
class QStringListModel;
class QPushButton;
struct CarRecord;
struct ClientRecord;
struct Order;

// The car and the client of the order form: typed (the stored plates and client names are offered as they
// are typed), or picked in their directories. The part knows which stored car and client the typed fields
// belong to (none: new ones are stored with the order).
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
    // With no stored client chosen, a typed name is looked up: the one client of that name is taken, so a
    // known client is not stored again. Several of that name must be picked in the directory (false);
    // false also when the lookup failed.
    bool SettleClient();

    // The completions offered for what is typed: the stored plates, the stored clients' names.
    QCompleter *plateCompleter() const { return m_plateCompleter; }
    QCompleter *clientCompleter() const { return m_clientCompleter; }
    void CompletePlate(const QString &typed);
    void CompleteClient(const QString &typed);
    // A completion chosen: the one car with that plate (with its owner), the client with that key.
    void PlateCompleted(const QString &plate);
    void ClientCompleted(const QString &iddClient);

    void PickCar();
    void PickClient();
    void ClientTextEdited();
    // A row of the client box's list chosen: the client with that key.
    void ClientChosen(int index);

protected:
    // F4 in the plate or the client's name opens its directory (its "..." button is no Tab stop).
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The clerk changed the car or the client: typed, completed or picked.
    void Changed();

private:
    void Build();
    void BuildCompleters();
    // A car taken while no client is chosen or typed brings its owner, when it has exactly one.
    void TakeOwner(const QString &iddAvto);
    // The stored client the typed name turned out to be; what the clerk left blank is filled from it.
    void LinkClient(const ClientRecord &client);
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
    QCompleter *m_plateCompleter = nullptr;
    QCompleter *m_clientCompleter = nullptr;
    QStringListModel *m_plates = nullptr;
    QStandardItemModel *m_clientNames = nullptr;
};
