#pragma once

#include "TyreStore.h"

#include <QWidget>

class AppContext;
class KeyedList;

// "Хранение": the tyre sets of a client or of a car, kept and given back, newest first; a kept set past its
// paid date in red.
class TyreSetsPage : public QWidget {
    Q_OBJECT
public:
    enum class Of { Client, Car };
    TyreSetsPage(AppContext &ctx, Of of, QWidget *parent = nullptr);

    // Shows the sets of the client or car (none for a key not yet stored).
    void Show(const QString &key);
    KeyedList *list() const { return m_list; }

private:
    AppContext &m_ctx;
    Of m_of;
    KeyedList *m_list = nullptr;
};
