#pragma once

#include "KindMenuItem.h"

#include <QList>
#include <QString>

class AppContext;
class QWidget;

// What the main frame needs to give the cash journal windows their own "&Правка" menu and toolbar.

using KassaMenuItem = KindMenuItem;

// The pop-up in order.
QList<KassaMenuItem> KassaJournalMenu();
// The command ids of the journal's toolbar, in order.
QList<int> KassaJournalToolbar();

// A new cash journal view (the frame puts it into its window and owns it). It lists the current month at
// once. The frame checks the right to open it ("Журнал кассы", right 9) before.
QWidget *CreateKassaJournal(AppContext &ctx, QWidget *parent = nullptr);
// Runs a menu or toolbar command on a cash journal view; false when the view is not one or the command is
// not one of its own.
bool RunKassaJournalCommand(QWidget *view, int id);
