#pragma once

#include "TyreStore.h"

#include <QDialog>

class AppContext;
class KeyedList;

// "Места хранения": the racks with what they hold and have free, their cells beneath; Insert adds a place,
// Enter changes one (whoever takes sets in keeps the places).
class CTyrePlacesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTyrePlacesDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Fill();
    void Add();
    void Edit();
    KeyedList *list() const { return m_list; }

private:
    // The place's card; true when it was saved.
    bool Card(StoragePlace place);

    AppContext &m_ctx;
    QList<StoragePlace> m_places;
    KeyedList *m_list = nullptr;
};
