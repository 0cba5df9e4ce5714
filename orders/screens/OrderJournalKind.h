#pragma once

#include "OrderFormOpener.h"

#include "KindMenuItem.h"

#include <QList>
#include <QString>
#include <functional>

class AppContext;
class QWidget;

// What the main frame needs to give the order journal windows their own "&Правка" menu and toolbar.

using JournalMenuItem = KindMenuItem;

// The pop-up in order; "Распечатать..." only when the journal is given a documents printer.
QList<JournalMenuItem> OrderJournalMenu(bool withPrint = false);
// The command ids of the journal's toolbar, in order.
QList<int> OrderJournalToolbar();

// A new journal view (the frame puts it into its window and owns it). It lists the orders at once.
// printer: produces the documents of an order ("Распечатать..."); empty leaves the command out.
QWidget *CreateOrderJournal(AppContext &ctx, OrderFormOpener opener, QWidget *parent = nullptr,
                            std::function<void(const QString &iddZakaz)> printer = {});
// Runs a menu or toolbar command on a journal view; false when the view is not a journal or the command is
// not one of its own (the frame's print, for instance).
bool RunOrderJournalCommand(QWidget *view, int id);
