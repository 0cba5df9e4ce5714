#pragma once

#include "AppContext.h"
#include "Scripted.h"
#include "TestDb.h"

#include <memory>

// A screen test on a fresh database, logged in as "anna" with the rights given (all by default); the
// data folder is the test's own.
class ScreenTest : public DbTest {
protected:
    void Fill() override { LogIn(QString(Rights::kCount, u'1')); }
    void LogIn(const QString &rights) {
        ctx = std::make_unique<AppContext>(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, m_dir.path());
    }
    static QDateTime At(int y, int m, int d, int h = 12) { return QDateTime(QDate(y, m, d), QTime(h, 0)); }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
};
