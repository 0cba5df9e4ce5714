#pragma once

class AppContext;
class CMainFrame;

// Plugs the journals into the main frame: their windows, "&Правка" menus, toolbars and the dialogs they
// open (the order form, the print dialog).
void RegisterJournalKinds(CMainFrame &frame, AppContext &ctx);
