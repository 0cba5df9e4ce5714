#pragma once

#include "OrderEditor.h"

#include <QGroupBox>

class AppContext;
class KeyedList;
class QLabel;
class QPushButton;
class QTreeWidgetItem;

// "Заказано:" of the order form: the order's lines (packages with their services beneath), their totals
// and the commands that add, change and remove them. Every change goes to the editor.
class OrderLinesPart : public QGroupBox {
    Q_OBJECT
public:
    enum LineColumn {
        ColName,
        ColCount,
        ColPrice,
        ColAmount,
        ColVatPercent,
        ColVat,
        ColTotal,
        ColDuration,
        ColWorkers,
        LineColumnCount
    };

    OrderLinesPart(AppContext &ctx, OrderEditor &editor, QWidget *parent);

    KeyedList *list() const { return m_lines; }
    QPushButton *addButton() const { return m_add; }
    QList<QWidget *> TabOrder() const;
    // Shows the editor's lines and totals again.
    void Fill();

    void AddLines();
    void EditLine();
    void DeleteLine();
    void ChooseWorkers(QTreeWidgetItem *item);
    // A quantity typed in the list; 0 or less is ignored.
    void QuantityEdited(QTreeWidgetItem *item, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The lines changed: what depends on the total or the duration follows.
    void Changed();

private:
    void Build();
    void ShowTotals();
    // The line a row shows; top -1 for none.
    static OrderEditor::LinePos PosOf(const QTreeWidgetItem *item);
    // The selected row, or a warning naming what it was wanted for.
    QTreeWidgetItem *Selected(const QString &warning);

    AppContext &m_ctx;
    OrderEditor &m_editor;
    bool m_filling = false;  // the list is filled by the form, not typed into
    KeyedList *m_lines = nullptr;
    QLabel *m_totalText = nullptr;
    QLabel *m_vatText = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_del = nullptr;
};
