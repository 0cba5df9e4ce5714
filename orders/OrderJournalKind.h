#pragma once

#include "OrderFormOpener.h"

#include <QIcon>
#include <QList>
#include <QString>

class AppContext;
class QWidget;

// What the main frame needs to give the order journal windows their own "&Правка" menu and toolbar.

// One entry of the journal's "&Правка" pop-up; id 0 is a separator.
struct JournalMenuItem {
    int id = 0;
    QString text;
    QString prompt;  // status-bar prompt
    QIcon icon;
};

// The pop-up in order.
QList<JournalMenuItem> OrderJournalMenu();
// The command ids of the journal's toolbar, in order.
QList<int> OrderJournalToolbar();

// A new journal view (the frame puts it into its window and owns it). It lists the orders at once.
QWidget *CreateOrderJournal(AppContext &ctx, OrderFormOpener opener, QWidget *parent = nullptr);
// Runs a menu or toolbar command on a journal view; false when the view is not a journal or the command is
// not one of its own (the frame's print, for instance).
bool RunOrderJournalCommand(QWidget *view, int id);
