#include "BackupCommands.h"

#include "AppContext.h"
#include "Backup.h"
#include "DataFolder.h"
#include "Database.h"
#include "DbAction.h"
#include "DbError.h"
#include "Prompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

const QString BackupCommands::kFolderKey = QStringLiteral("Backup/Folder");

namespace {
QSettings Settings() {
    return QSettings(QStringLiteral("Zorvantide"), QStringLiteral("Zorvantide"));
}
}  // namespace

BackupCommands::BackupCommands(AppContext &ctx)
    : m_ctx(ctx),
      m_pickFolder([](QWidget *parent, const QString &start) {
          return QFileDialog::getExistingDirectory(parent, QStringLiteral("Папка для резервной копии"),
                                                   start);
      }),
      m_pickFile([](QWidget *parent, const QString &start) {
          return QFileDialog::getOpenFileName(parent, QStringLiteral("Резервная копия базы данных"), start,
                                              QStringLiteral("База данных (*.db);;Все файлы (*)"));
      }) {}

QString BackupCommands::DatabaseFile(Database &db) {
    if (db.dialect() != Dialect::Sqlite) return {};
    return QFileInfo(db.handle().databaseName()).absoluteFilePath();
}

void BackupCommands::Configure(QAction *backup, QAction *restore) const {
    const bool embedded = !DatabaseFile(m_ctx.db()).isEmpty();
    for (QAction *a : {backup, restore}) {
        a->setEnabled(embedded);
        a->setToolTip(embedded ? a->statusTip() : BackupCommandTexts::kNotEmbedded);
    }
}

QString BackupCommands::MakeBackup(QWidget *parent) {
    const QString file = DatabaseFile(m_ctx.db());
    if (file.isEmpty()) {
        m_ctx.prompter().Warning(BackupCommandTexts::kNotEmbedded);
        return {};
    }
    QString start = Settings().value(kFolderKey).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = m_pickFolder(parent, start);
    if (folder.isEmpty()) return {};
    Settings().setValue(kFolderKey, folder);
    QString copy;
    TryDb(m_ctx.prompter(),
          [&] { copy = BackupStore(file).BackupInto(folder, QDateTime::currentDateTime()); });
    return copy;
}

QString BackupCommands::ChooseRestore(QWidget *parent) {
    const QString file = DatabaseFile(m_ctx.db());
    if (file.isEmpty()) {
        m_ctx.prompter().Warning(BackupCommandTexts::kNotEmbedded);
        return {};
    }
    // Restoring replaces everyone's work: the administrator's right (the users directory) is needed.
    if (!m_ctx.CheckRight(Right::Users)) return {};
    QString start = Settings().value(kFolderKey).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = DataFolder::DailyBackupDir(file);
    const QString backup = m_pickFile(parent, start);
    if (backup.isEmpty()) return {};
    if (QFileInfo(backup).absoluteFilePath() == file) {
        m_ctx.prompter().Warning(QStringLiteral("Этот файл и есть текущая база данных!"));
        return {};
    }
    if (!TryDb(m_ctx.prompter(), [&] { BackupStore::Check(backup); })) return {};
    if (!m_ctx.prompter().Question(BackupCommandTexts::kConfirm.arg(QDir::toNativeSeparators(backup))))
        return {};
    return QFileInfo(backup).absoluteFilePath();
}

QThread *BackupCommands::StartDailyCopy(const QString &databaseFile,
                                        const std::function<void(const QString &)> &report) {
    if (databaseFile.isEmpty()) return nullptr;
    QThread *thread = QThread::create([databaseFile, report] {
        try {
            BackupStore(databaseFile)
                .DailyCopy(DataFolder::DailyBackupDir(databaseFile), QDateTime::currentDateTime());
        } catch (const DbError &e) {
            if (!report) return;
            // Messages are shown from the main thread.
            const QString text = BackupCommandTexts::kDailyFailed.arg(e.text());
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [report, text] { report(text); }, Qt::QueuedConnection);
        }
    });
    thread->start(QThread::LowPriority);
    return thread;
}
