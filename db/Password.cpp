#include "Password.h"

#include "DbError.h"

#include <sodium.h>

namespace {

void InitSodium() {
    static const int rc = sodium_init();
    if (rc < 0) throw DbError(QStringLiteral("Не удалось инициализировать библиотеку шифрования."));
}

}  // namespace

namespace Password {

QString Hash(const QString &plain) {
    InitSodium();
    const QByteArray utf8 = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // Interactive limits: a login must answer at once on a counter workstation.
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw DbError(QStringLiteral("Недостаточно памяти для шифрования пароля."));
    return QString::fromLatin1(out);
}

bool IsHash(const QString &stored) {
    return stored.startsWith(u"$argon2id$") || stored.startsWith(u"$argon2i$");
}

bool Matches(const QString &typed, const QString &stored) {
    if (!IsHash(stored)) return false;
    InitSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

}  // namespace Password
