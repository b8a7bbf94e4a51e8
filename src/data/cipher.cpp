#include "data/cipher.h"

#include <sqlite3.h>

namespace data::cipher {

int ApplyKey(sqlite3* db, const QByteArray& password) {
    if (password.isEmpty())
        return SQLITE_OK; // no password: a plain, unencrypted file
    int rc = sqlite3_key(db, password.constData(), int(password.size()));
    if (rc != SQLITE_OK)
        return rc;
    // SQLCipher 3.4.1 honours these three; stating them keeps the file readable whatever
    // the library's defaults are.
    const QByteArray pragmas = "PRAGMA cipher_page_size = " + QByteArray::number(kPageSize) +
                               ";"
                               "PRAGMA kdf_iter = " +
                               QByteArray::number(kKdfIterations) +
                               ";"
                               "PRAGMA cipher_use_hmac = ON;";
    return sqlite3_exec(db, pragmas.constData(), nullptr, nullptr, nullptr);
}

} // namespace data::cipher
