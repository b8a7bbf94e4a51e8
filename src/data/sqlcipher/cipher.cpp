#include "data/sqlcipher/cipher.h"

#include <sqlite3.h>

namespace data::cipher {

int ApplyKey(sqlite3* db, const QByteArray& password) {
    if (password.isEmpty())
        return SQLITE_OK; // no password: a plain, unencrypted file
    int rc = sqlite3_key(db, password.constData(), int(password.size()));
    if (rc != SQLITE_OK)
        return rc;
    // SQLCipher 3.4.1 honours the last three; stating them keeps the file readable
    // whatever the library's defaults are. SQLCipher 4 also needs its version 3 mode for
    // the SHA-1 HMAC and key derivation; 3.4.1 passes over that pragma.
    const QByteArray pragmas = "PRAGMA cipher_compatibility = 3;"
                               "PRAGMA cipher_page_size = " +
                               QByteArray::number(kPageSize) +
                               ";"
                               "PRAGMA kdf_iter = " +
                               QByteArray::number(kKdfIterations) +
                               ";"
                               "PRAGMA cipher_use_hmac = ON;";
    return sqlite3_exec(db, pragmas.constData(), nullptr, nullptr, nullptr);
}

} // namespace data::cipher
