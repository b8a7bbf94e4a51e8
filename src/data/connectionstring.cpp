#include "data/connectionstring.h"

#include "platform/paths.h"

namespace data {

QList<ConnectionStringPair> ConnectionStringPairs(const QString& text) {
    QList<ConnectionStringPair> pairs;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0)
            break;
        ConnectionStringPair pair{text.mid(i, equals - i).trimmed(), QString()};
        qsizetype next = equals + 1;
        qsizetype brace = next;
        while (brace < text.size() && text.at(brace) == QLatin1Char(' '))
            ++brace;
        if (brace < text.size() && text.at(brace) == QLatin1Char('{')) {
            next = brace;
            qsizetype at = next + 1;
            while (at < text.size()) {
                if (text.at(at) == QLatin1Char('}')) {
                    if (at + 1 < text.size() && text.at(at + 1) == QLatin1Char('}')) {
                        pair.value += QLatin1Char('}');
                        at += 2;
                        continue;
                    }
                    break;
                }
                pair.value += text.at(at++);
            }
            next = text.indexOf(QLatin1Char(';'), at);
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), next);
            pair.value = text.mid(next, (end < 0 ? text.size() : end) - next);
            next = end;
        }
        pairs.append(pair);
        if (next < 0)
            break;
        i = next + 1;
    }
    return pairs;
}

QString FormatConnectionString(const QList<ConnectionStringPair>& pairs) {
    QStringList parts;
    for (const ConnectionStringPair& pair : pairs) {
        const QString& value = pair.value;
        // The driver's name is braced as ODBC writes it; other values only when they must be.
        const bool braced = pair.key.compare(QLatin1String("driver"), Qt::CaseInsensitive) == 0 ||
                            value.contains(QLatin1Char(';')) ||
                            value.startsWith(QLatin1Char('{')) ||
                            value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
        if (!braced) {
            parts << pair.key + QLatin1Char('=') + value;
            continue;
        }
        QString escaped = value;
        escaped.replace(QLatin1String("}"), QLatin1String("}}"));
        parts << pair.key + QLatin1String("={") + escaped + QLatin1Char('}');
    }
    return parts.join(QLatin1Char(';'));
}

ConnectionString ParseConnectionString(const QString& text) {
    ConnectionString result;
    for (const ConnectionStringPair& pair : ConnectionStringPairs(text)) {
        if (pair.key.compare(QLatin1String("driver"), Qt::CaseInsensitive) == 0)
            result.driver = pair.value.trimmed();
        else if (pair.key.compare(QLatin1String("dbq"), Qt::CaseInsensitive) == 0)
            result.databasePath = pair.value;
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
    return QString::fromStdString(platform::NativePath(dbq.toStdString()));
}

} // namespace data
