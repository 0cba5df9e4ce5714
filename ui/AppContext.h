#pragma once

#include "UserInfo.h"

#include <QString>

class Database;
class Prompter;
class DialogRunner;
class OrderForms;      // ui/OrderForms.h
class MoneyPrintouts;  // money/screens/MoneyPrintouts.h
struct ReportTarget;   // ui/ReportTarget.h
class ChangeHistory;   // ui/ChangeHistory.h

// What every screen is handed: the connection, the user, the message and dialog seams and the
// working directory. Nothing global is reached from screens.
//
// A screen that must open or print something built above its own layer asks one of the interfaces
// below, which app/ provides once the user has logged in (tests provide what they use). Asking for one
// that was not provided throws std::logic_error naming it, so a missing wire fails loudly.
class AppContext {
public:
    AppContext(Database &db, UserInfo user, Prompter &prompter, DialogRunner &dialogs, QString workDir)
        : m_db(db),
          m_user(std::move(user)),
          m_prompter(prompter),
          m_dialogs(dialogs),
          m_workDir(std::move(workDir)) {}

    Database &db() const { return m_db; }
    const UserInfo &user() const { return m_user; }
    const QString &login() const { return m_user.login; }
    Prompter &prompter() const { return m_prompter; }
    DialogRunner &dialogs() const { return m_dialogs; }
    const QString &workDir() const { return m_workDir; }

    bool HasRight(Right right) const { return m_user.HasRight(right); }
    // Checks the right when a command runs; shows the refusal and returns false without it.
    bool CheckRight(Right right) const;

    OrderForms &orderForms() const;
    MoneyPrintouts &moneyPrintouts() const;
    const ReportTarget &reportTarget() const;
    ChangeHistory &changeHistory() const;
    // Each is held, not owned: the provider outlives the screens or withdraws it with nullptr.
    void SetOrderForms(OrderForms *forms) { m_orderForms = forms; }
    void SetMoneyPrintouts(MoneyPrintouts *printouts) { m_moneyPrintouts = printouts; }
    void SetReportTarget(const ReportTarget *target) { m_reportTarget = target; }
    void SetChangeHistory(ChangeHistory *history) { m_changeHistory = history; }

private:
    Database &m_db;
    UserInfo m_user;
    Prompter &m_prompter;
    DialogRunner &m_dialogs;
    QString m_workDir;
    OrderForms *m_orderForms = nullptr;
    MoneyPrintouts *m_moneyPrintouts = nullptr;
    const ReportTarget *m_reportTarget = nullptr;
    ChangeHistory *m_changeHistory = nullptr;
};
