#include "data/connectionstring.h"

namespace data {

ConnectionString ParseConnectionString(const QString& text) {
    ConnectionString result;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0)
            break;
        const QString key = text.mid(i, equals - i).trimmed().toLower();
        QString value;
        qsizetype next = equals + 1;
        if (next < text.size() && text.at(next) == QLatin1Char('{')) {
            const qsizetype close = text.indexOf(QLatin1Char('}'), next + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            value = text.mid(next + 1, end - next - 1);
            next = text.indexOf(QLatin1Char(';'), end);
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), next);
            value = text.mid(next, (end < 0 ? text.size() : end) - next);
            next = end;
        }
        if (key == QLatin1String("driver"))
            result.driver = value.trimmed();
        else if (key == QLatin1String("dbq"))
            result.databasePath = value;
        if (next < 0)
            break;
        i = next + 1;
    }
    return result;
}

bool IsAccessDriver(const QString& driver) {
    return driver.compare(QLatin1String("microsoft access driver (*.mdb)"), Qt::CaseInsensitive) ==
               0 ||
           driver.compare(QLatin1String("microsoft access driver (*.mdb, *.accdb)"),
                          Qt::CaseInsensitive) == 0;
}

QString LocalDatabasePath(const QString& dbq) {
#ifdef Q_OS_WIN
    return dbq;
#else
    QString path = dbq;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
#endif
}

} // namespace data
