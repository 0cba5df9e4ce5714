#pragma once

#include <QString>

// Passwords are kept as Argon2id hashes (libsodium's string format, "$argon2id$...").
namespace Password {

QString Hash(const QString &plain);
bool IsHash(const QString &stored);
// True when the typed password matches the stored hash. A stored value that is not a hash matches
// nothing: the old plain-text passwords were hashed when the database was upgraded to version 6.
bool Matches(const QString &typed, const QString &stored);

}  // namespace Password
