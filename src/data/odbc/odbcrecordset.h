#pragma once
// Result sets of the ODBC engine. Every row is read when the result set opens, so a
// result set is a snapshot, holds no statement open on the connection, and outlives it.

#include "data/engine.h"
#include "data/odbc/odbcsession.h"

namespace data::odbc {

// When updatable, AddNew/SetValue/Update write to the table the statement reads, by the
// column the driver reports as the table's auto-numbered key, with bound parameters.
std::unique_ptr<Recordset> OpenRecordset(std::shared_ptr<Session> session, const QString& statement,
                                         bool updatable);

} // namespace data::odbc
