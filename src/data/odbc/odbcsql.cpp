#include "data/odbc/odbcsql.h"

#include "data/connectionstring.h"

#include <QRegularExpression>

namespace data::odbc {

namespace {
bool KeyIs(const ConnectionStringPair& pair, const char* key) {
    return pair.key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}
} // namespace

QString DriverConnectionString(const QString& given, const QString& user, const QString& password,
                               bool sqliteDriver) {
    QList<ConnectionStringPair> pairs;
    QString dbq;
    bool hasDatabase = false;
    bool hasNoCreat = false;
    for (ConnectionStringPair pair : ConnectionStringPairs(given)) {
        if (KeyIs(pair, "uid") || KeyIs(pair, "pwd"))
            continue;
        if (KeyIs(pair, "dbq")) {
            pair.value = LocalDatabasePath(pair.value);
            dbq = pair.value;
        }
        hasDatabase = hasDatabase || KeyIs(pair, "database");
        hasNoCreat = hasNoCreat || KeyIs(pair, "nocreat");
        pairs << pair;
    }
    if (sqliteDriver) {
        if (!hasDatabase && !dbq.isEmpty())
            pairs << ConnectionStringPair{QStringLiteral("Database"), dbq};
        if (!hasNoCreat)
            pairs << ConnectionStringPair{QStringLiteral("NoCreat"), QStringLiteral("1")};
    }
    pairs << ConnectionStringPair{QStringLiteral("UID"), user}
          << ConnectionStringPair{QStringLiteral("PWD"), password};
    return FormatConnectionString(pairs);
}

bool IsSqliteDriver(const QStringList& attributes) {
    for (const QString& attribute : attributes) {
        const qsizetype equals = attribute.indexOf(QLatin1Char('='));
        if (equals < 0 || attribute.left(equals).trimmed().compare(QLatin1String("driver"),
                                                                   Qt::CaseInsensitive) != 0)
            continue;
        QString file = attribute.mid(equals + 1).trimmed();
        file = file.mid(
            std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\'))) + 1);
        if (file.contains(QLatin1String("sqlite"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString SingleTableOf(const QString& statement) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*select\s.*?\sfrom\s+(\[[^\]]+\]|"[^"]+"|`[^`]+`|[\w$]+)\s*)"
                       R"((?:;\s*)?(?:$|(?:where|order|group)\b))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(statement);
    if (!match.hasMatch())
        return QString();
    QString table = match.captured(1);
    if (table.startsWith(QLatin1Char('[')) || table.startsWith(QLatin1Char('"')) ||
        table.startsWith(QLatin1Char('`')))
        table = table.mid(1, table.size() - 2);
    return table;
}

} // namespace data::odbc
