#pragma once
// The shipowner table, its fields and every statement text the program sends.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace data {

inline const QString kTable = QStringLiteral("Thalvane");

inline const QString kFieldId = QStringLiteral("id");
inline const QString kFieldName = QStringLiteral("船东");
inline const QString kFieldCountry = QStringLiteral("国家");
inline const QString kFieldAddress = QStringLiteral("地址");
inline const QString kFieldPhone = QStringLiteral("电话");
inline const QString kFieldFax = QStringLiteral("传真");
inline const QString kFieldWeb = QStringLiteral("网址");
inline const QString kFieldEmail = QStringLiteral("电子邮箱");
inline const QString kFieldProfile = QStringLiteral("公司简介");
inline const QString kFieldSubsidiaries = QStringLiteral("子公司介绍");

// The nine text fields in the order the record window reads and writes them.
QStringList TextFields();

// Pieces of the search statement.
inline const QString kSearchBase =
    QStringLiteral("select 船东,国家,地址,电话,id from Thalvane where 1=1 ");
inline const QString kSearchNameHead = QStringLiteral(" and  船东 like '%");
inline const QString kSearchCountryHead = QStringLiteral(" and  国家 like '%");
inline const QString kSearchConditionTail = QStringLiteral("%'");
inline const QString kSearchOrder = QStringLiteral(" order by id desc ");

// Creates the table: the integer key id, given by the database on insert, and the nine
// text fields.
QString CreateTableStatement();

// "select * from Thalvane where id=" followed by the id in decimal.
QString ReadOneRowStatement(qint32 id);
// "delete from Thalvane where id=" followed by the id in decimal.
QString DeleteStatement(qint32 id);
// The search for the two filters. Each filter is trimmed of spaces at both ends; an
// empty one adds no condition. A single quote in a filter is written doubled, so the
// filter always stays inside its quoted pattern.
QString SearchStatement(const QString& nameFilter, const QString& countryFilter);
// The conditions of the search for the two filters, as SearchStatement writes them
// between its base text and its order.
QString SearchConditions(const QString& nameFilter, const QString& countryFilter);
// Every field of the rows the search finds for the two filters, lowest id first:
// "select * from Thalvane where 1=1 " + the search's conditions + " order by id".
QString ExportStatement(const QString& nameFilter, const QString& countryFilter);

} // namespace data
