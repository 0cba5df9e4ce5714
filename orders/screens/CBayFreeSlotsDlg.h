#pragma once

#include "BayBoard.h"
#include "SelectedService.h"

#include <QDialog>
#include <optional>

class AppContext;
class KeyedList;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

// "Свободное время": the next free times on the bays for work of a length (the services chosen give it,
// or it is typed), from a moment on; the time chosen (Enter on it) is taken as a request with the services.
class CBayFreeSlotsDlg : public QDialog {
    Q_OBJECT
public:
    CBayFreeSlotsDlg(AppContext &ctx, const QDateTime &from, QWidget *parent = nullptr);

    // Looks the free times up again for the length and moment shown.
    void Find();
    // The services chosen, and the time taken (none until one is).
    const SelectedServices &Services() const { return m_services; }
    const std::optional<BayBoard::FreeSlot> &Chosen() const { return m_chosen; }

    QTimeEdit *length() const { return m_length; }
    QDateTimeEdit *from() const { return m_from; }
    KeyedList *list() const { return m_list; }

    void accept() override;

private:
    void ChooseServices();

    AppContext &m_ctx;
    SelectedServices m_services;
    QList<BayBoard::FreeSlot> m_found;
    std::optional<BayBoard::FreeSlot> m_chosen;
    QLabel *m_servicesText = nullptr;
    QTimeEdit *m_length = nullptr;
    QDateTimeEdit *m_from = nullptr;
    KeyedList *m_list = nullptr;
    QPushButton *m_find = nullptr;
};
