#pragma once

// Command ids of the main window's menus and toolbars, and the kinds of child window. The numbers are
// the ones the users' documentation and the rights table refer to.
namespace Cmd {
inline constexpr int kPrint = 57607;
inline constexpr int kClose = 57602;
inline constexpr int kExit = 57665;
inline constexpr int kOrderJournal = 32805;
inline constexpr int kCashJournal = 32806;
inline constexpr int kSalaryJournal = 32808;
inline constexpr int kWorksReport = 32809;
inline constexpr int kBalanceReport = 32810;
inline constexpr int kCompany = 32784;
inline constexpr int kServices = 32771;
inline constexpr int kWorkers = 32772;
inline constexpr int kBays = 32773;
inline constexpr int kCars = 32775;
inline constexpr int kClients = 32776;
inline constexpr int kUsers = 32804;
inline constexpr int kNumbering = 32803;
inline constexpr int kChangeLog = 32852;
inline constexpr int kBayBoard = 32853;
inline constexpr int kTyreJournal = 32854;
inline constexpr int kToolbar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kWindowNew = 57648;
inline constexpr int kCascade = 57650;
inline constexpr int kTile = 57651;
inline constexpr int kArrange = 57649;
inline constexpr int kAbout = 57664;
inline constexpr int kBackup = 32850;
inline constexpr int kRestore = 32851;

// The desktop theme's icon drawn beside a command in the menus and on the toolbars: the frame's commands
// and the journals' own (order journal 32774-32785, cash journal 32800-32811, salary journal 32796-32799).
struct ThemeIconOfCommand {
    int id;
    const char *icon;
};
inline constexpr ThemeIconOfCommand kThemeIcons[] = {
    {kPrint, "document-print"},
    {kClose, "window-close"},
    {kExit, "application-exit"},
    {kOrderJournal, "view-list-details"},
    {kCashJournal, "wallet-open"},
    {kSalaryJournal, "view-financial-list"},
    {kWorksReport, "view-statistics"},
    {kBalanceReport, "office-chart-bar"},
    {kCompany, "go-home"},
    {kServices, "view-list-text"},
    {kWorkers, "system-users"},
    {kCars, "view-list-icons"},
    {kClients, "contact-new"},
    {kUsers, "user-identity"},
    {kNumbering, "configure"},
    {kChangeLog, "view-history"},
    {kBayBoard, "view-calendar-day"},
    {kTyreJournal, "folder-open"},
    {kWindowNew, "window-new"},
    {kCascade, "window-duplicate"},
    {kTile, "view-grid"},
    {kAbout, "help-about"},
    {kBackup, "document-save-as"},
    {kRestore, "document-revert"},
    {32781, "appointment-new"},
    {32774, "document-new"},
    {32777, "document-edit"},
    {32778, "edit-delete"},
    {32780, "wallet-open"},
    {32782, "media-playback-start"},
    {32783, "dialog-ok-apply"},
    {32785, "document-print"},
    {32800, "document-new"},
    {32801, "document-edit"},
    {32802, "edit-delete"},
    {32811, "document-print-preview"},
    {32796, "document-new"},
    {32797, "document-edit"},
    {32798, "edit-delete"},
    {32799, "document-print-preview"},
};
// Null for a command without an icon.
constexpr const char *ThemeIcon(int id) {
    for (const ThemeIconOfCommand &c : kThemeIcons)
        if (c.id == id) return c.icon;
    return nullptr;
}
}  // namespace Cmd

// Kinds of child window, numbered after their menus.
namespace ChildKindId {
inline constexpr int kNone = 128;  // the menu shown while no child window is open
inline constexpr int kOrderJournal = 129;
inline constexpr int kCashJournal = 103;
inline constexpr int kWorksReport = 105;
inline constexpr int kBalanceReport = 107;
inline constexpr int kSalaryJournal = 109;
inline constexpr int kBayBoard = 111;
inline constexpr int kTyreJournal = 113;
}  // namespace ChildKindId
