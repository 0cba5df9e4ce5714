#pragma once

#include "ConnectString.h"

#include <QSqlError>
#include <QString>

// What a driver's failure means for the user, in Russian; the driver's own words follow as details.
// Widget-free: Database reports through it, the login and start-up show its texts.
namespace DriverTexts {

inline const QString kLost =
    QStringLiteral("Связь с сервером базы данных потеряна. Изменения не сохранены, повторите действие.");
inline const QString kUnavailable = QStringLiteral(
    "Сервер базы данных %1 недоступен. Проверьте, что он запущен и связь с ним есть, и повторите действие.");
inline const QString kLoginRefused =
    QStringLiteral("Сервер базы данных %1 не принял имя пользователя или пароль.");
inline const QString kDiskFull =
    QStringLiteral("Недостаточно места на диске для базы данных. Изменения не сохранены.");
inline const QString kReadOnly =
    QStringLiteral("Нет прав на запись в базу данных %1. Изменения не сохранены.");
inline const QString kCannotOpenFile =
    QStringLiteral("Не удается открыть файл базы данных %1: нет доступа к нему или к его папке.");
inline const QString kDamaged = QStringLiteral("Файл базы данных %1 поврежден или не является базой данных.");
inline const QString kDetails = QStringLiteral("\nПодробности: %1");

// Where the database is, as the user knows it: the server (host and port) or the file.
QString Where(const ConnectTarget &target);

// True when the failure means the connection itself is gone (server restarted, network cut), so the
// statement may be run again on a new one.
bool ConnectionLost(Dialect dialect, const QSqlError &error);

// The Russian text for a failure the user can act on (server out of reach, login refused, disk full, no
// write permission, damaged file), the driver's text as details; empty when the failure is none of these.
QString Russian(const ConnectTarget &target, const QSqlError &error, bool opening);

}  // namespace DriverTexts
