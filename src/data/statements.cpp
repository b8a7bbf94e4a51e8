#include "data/statements.h"

#include "data/valuerules.h"

namespace data {

QStringList TextFields() {
    return {kFieldName, kFieldCountry, kFieldAddress, kFieldPhone,       kFieldFax,
            kFieldWeb,  kFieldEmail,   kFieldProfile, kFieldSubsidiaries};
}

QString CreateTableStatement() {
    QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const QString& field : TextFields())
        columns << QStringLiteral("\"%1\" TEXT").arg(field);
    return QStringLiteral("CREATE TABLE ") + kTable + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString ReadOneRowStatement(qint32 id) {
    return QStringLiteral("select * from Thalvane where id=") + QString::number(id);
}

QString DeleteStatement(qint32 id) {
    return QStringLiteral("delete from Thalvane where id=") + QString::number(id);
}

namespace {
QString QuotedPatternText(const QString& filter) {
    QString text = filter;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return text;
}
} // namespace

QString SearchConditions(const QString& nameFilter, const QString& countryFilter) {
    QString conditions;
    const QString name = TrimSpaces(nameFilter);
    if (!name.isEmpty())
        conditions += kSearchNameHead + QuotedPatternText(name) + kSearchConditionTail;
    const QString country = TrimSpaces(countryFilter);
    if (!country.isEmpty())
        conditions += kSearchCountryHead + QuotedPatternText(country) + kSearchConditionTail;
    return conditions;
}

QString SearchStatement(const QString& nameFilter, const QString& countryFilter) {
    return kSearchBase + SearchConditions(nameFilter, countryFilter) + kSearchOrder;
}

QString ExportStatement(const QString& nameFilter, const QString& countryFilter) {
    return QStringLiteral("select * from Thalvane where 1=1 ") +
           SearchConditions(nameFilter, countryFilter) + QStringLiteral(" order by id");
}

} // namespace data
