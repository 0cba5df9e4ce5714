#pragma once

#include <QString>
#include <functional>

class AppContext;
class Database;
class QAction;
class QThread;
class QWidget;

// The "Сервис" menu's backup and restore of the embedded database, and the daily copy at start-up.
// Only an SQLite database is copied by the program; on PostgreSQL the commands are disabled and point
// to pg_dump and pg_restore.
class BackupCommands {
public:
    // Ask the user for a folder (starting at the one given) or a file; empty when cancelled.
    using FolderPicker = std::function<QString(QWidget *parent, const QString &start)>;
    using FilePicker = std::function<QString(QWidget *parent, const QString &start)>;

    explicit BackupCommands(AppContext &ctx);

    // The embedded database file of the connection; empty when it is not an SQLite file.
    static QString DatabaseFile(Database &db);
    // Enables the two commands on an embedded database; elsewhere disables them with a tooltip.
    void Configure(QAction *backup, QAction *restore) const;

    // Asks for the folder (the last one used is remembered) and writes a copy named with the date and
    // time there. Returns the copy's path, empty when cancelled or failed (the failure is shown).
    QString MakeBackup(QWidget *parent);
    // Asks for the copy, checks it and asks for confirmation. Returns the file to restore, empty when
    // the user cancelled or the file was refused (with the reason shown).
    QString ChooseRestore(QWidget *parent);

    // Test seams: the dialogs that pick the folder and the file.
    void SetPickers(FolderPicker folder, FilePicker file) {
        m_pickFolder = std::move(folder);
        m_pickFile = std::move(file);
    }

    // The daily copy of the database file into backup/ beside it, on a thread of its own so start-up does
    // not wait; a failure is shown through `report` on the main thread. Null for no embedded database.
    static QThread *StartDailyCopy(const QString &databaseFile,
                                   const std::function<void(const QString &)> &report);

    // The settings key of the remembered folder.
    static const QString kFolderKey;

private:
    AppContext &m_ctx;
    FolderPicker m_pickFolder;
    FilePicker m_pickFile;
};

namespace BackupCommandTexts {
inline const QString kBackup = QStringLiteral("Резервная копия базы данных...");
inline const QString kRestore = QStringLiteral("Восстановить из резервной копии...");
inline const QString kNotEmbedded = QStringLiteral(
    "Программа копирует только встроенную базу данных (файл Quellmarod.db).\n"
    "Базу данных PostgreSQL копируйте и восстанавливайте командами pg_dump и pg_restore:\n"
    "см. README, раздел «Резервные копии».");
inline const QString kDone = QStringLiteral("Резервная копия сохранена: %1");
inline const QString kConfirm = QStringLiteral(
    "Заменить текущую базу данных резервной копией\n%1?\n\n"
    "Текущая база будет сохранена рядом под именем с датой и временем,\n"
    "все окна будут закрыты, и программа попросит войти заново.");
inline const QString kDailyFailed =
    QStringLiteral("Не удалось сделать ежедневную резервную копию базы данных!\n%1");
// Followed by DriverTexts::kDetails with the reason.
inline const QString kPutBack = QStringLiteral(
    "Восстановленную базу данных не удалось открыть.\n"
    "Прежняя база данных возвращена на место, в ней ничего не изменилось.");
inline const QString kNotPutBack =
    QStringLiteral("Прежнюю базу данных не удалось вернуть на место: она сохранена в файле\n%1\n%2");
inline const QString kRestored =
    QStringLiteral("База данных восстановлена из резервной копии.\nПрежняя база сохранена в файле\n%1");
}  // namespace BackupCommandTexts
