#include "OrderJournalKind.h"

#include "CQuellmarodView.h"

QList<JournalMenuItem> OrderJournalMenu(bool withPrint) {
    using V = CQuellmarodView;
    const auto item = [](int id, const char *text, const char *prompt, const char *icon) {
        return JournalMenuItem{id, QString::fromUtf8(text), QString::fromUtf8(prompt),
                               QIcon::fromTheme(QString::fromLatin1(icon))};
    };
    QList<JournalMenuItem> menu{
        item(V::kRequest, "Предварительная заявка", "Записать клиента на время: предварительная заявка",
             "appointment-new"),
        {},
        item(V::kAdd, "Добавить заказ", "Оформить новый заказ", "document-new"),
        item(V::kEdit, "Изменить заказ", "Изменить выбранный заказ", "document-edit"),
        item(V::kDelete, "Удалить заказ", "Удалить выбранный заказ", "edit-delete"),
        {},
        item(V::kPay, "Добавить платеж", "Принять платеж по выбранному заказу", "wallet-open"),
        {},
        item(V::kStart, "Отметить начало работ", "Отметить время начала работ по заказу",
             "media-playback-start"),
        item(V::kFinish, "Отметить исполнение работ", "Отметить время окончания работ по заказу",
             "task-complete")};
    if (withPrint)
        menu << JournalMenuItem{}
             << item(V::kPrintDocs, "Распечатать...", "Распечатать документы выбранного заказа",
                     "document-print");
    return menu;
}

QList<int> OrderJournalToolbar() {
    using V = CQuellmarodView;
    // "Распечатать..." shows only where the journal has a printer (its menu item then exists).
    return {V::kRequest, V::kAdd, V::kEdit, V::kDelete, V::kPay, V::kStart, V::kFinish, 0, V::kPrintDocs};
}

QWidget *CreateOrderJournal(AppContext &ctx, OrderFormOpener opener, QWidget *parent,
                            std::function<void(const QString &iddZakaz)> printer) {
    auto *view = new CQuellmarodView(ctx, std::move(opener), parent);
    if (printer) view->SetDocumentsPrinter(std::move(printer));
    return view;
}

bool RunOrderJournalCommand(QWidget *view, int id) {
    auto *journal = qobject_cast<CQuellmarodView *>(view);
    return journal && journal->RunCommand(id);
}
