#include "EditMenu.h"

#include <QAbstractItemView>
#include <QMenu>

void AttachEditMenu(QAbstractItemView *list, std::function<void()> add, std::function<void()> edit,
                    std::function<void()> remove) {
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list, [=](const QPoint &pos) {
        QMenu menu(list);
        menu.addAction(QStringLiteral("Добавить"), list, add);
        menu.addAction(QStringLiteral("Изменить"), list, edit);
        menu.addAction(QStringLiteral("Удалить"), list, remove);
        menu.exec(list->viewport()->mapToGlobal(pos));
    });
}
