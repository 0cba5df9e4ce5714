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
inline constexpr int kToolbar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kWindowNew = 57648;
inline constexpr int kCascade = 57650;
inline constexpr int kTile = 57651;
inline constexpr int kArrange = 57649;
inline constexpr int kAbout = 57664;
inline constexpr int kBackup = 32850;
inline constexpr int kRestore = 32851;
}  // namespace Cmd

// Kinds of child window, numbered after their menus.
namespace ChildKind {
inline constexpr int kNone = 128;  // the menu shown while no child window is open
inline constexpr int kOrderJournal = 129;
inline constexpr int kCashJournal = 103;
inline constexpr int kWorksReport = 105;
inline constexpr int kBalanceReport = 107;
inline constexpr int kSalaryJournal = 109;
}  // namespace ChildKind
