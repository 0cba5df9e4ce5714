#include "ChangeHistory.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

void AddHistoryCommand(QMenu *menu, const std::function<void()> &show) {
    menu->addSeparator();
    QAction *history =
        menu->addAction(QIcon::fromTheme(QStringLiteral("view-history")), QStringLiteral("История"));
    history->setObjectName(QStringLiteral("menuHistory"));
    history->setStatusTip(QStringLiteral("Кто, когда и что менял в этой записи"));
    QObject::connect(history, &QAction::triggered, menu, show);
}
