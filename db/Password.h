#pragma once

#include <QString>

// Passwords are kept as Argon2id hashes (libsodium's string format, "$argon2id$...").
namespace Password {

QString Hash(const QString &plain);
bool IsHash(const QString &stored);
// True when the typed password matches the stored value; a stored value that is not a hash is an old
// plain-text password and is compared exactly (the caller re-stores it hashed).
bool Matches(const QString &typed, const QString &stored);

}  // namespace Password
