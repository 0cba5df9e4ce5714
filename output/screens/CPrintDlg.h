#pragma once

#include "DocumentPrinter.h"

#include <QDialog>
#include <QMap>

class AppContext;
class QCheckBox;

// "Распечатать": the clerk ticks which documents of one order to produce.
class CPrintDlg : public QDialog {
    Q_OBJECT
public:
    // opener: how a produced document is shown (the desktop by default; tests record it).
    CPrintDlg(const AppContext &ctx, QString iddZakaz, QWidget *parent = nullptr,
              DocumentPrinter::Opener opener = {});

    QCheckBox *Box(OrderDocument doc) const { return m_boxes.value(doc); }

    void accept() override;

private:
    const AppContext &m_ctx;
    QString m_iddZakaz;
    DocumentPrinter::Opener m_opener;
    QMap<OrderDocument, QCheckBox *> m_boxes;
};
