#pragma once
// Result sets of the embedded engine.

#include "data/engine.h"
#include "data/sqlcipher/sqlitehandle.h"

namespace data::sqlite {

// Rows read from the statement as the caller moves on; read-only. When pool is given, the
// handle was taken from it for this result set and goes back to it on Close.
std::unique_ptr<Recordset> OpenStreaming(HandlePtr handle, const QString& statement,
                                         std::shared_ptr<ReaderPool> pool = nullptr);

// All rows read at Open. When updatable, AddNew/SetValue/Update write to the table the
// statement reads, by its integer key.
std::unique_ptr<Recordset> OpenBuffered(HandlePtr handle, const QString& statement, bool updatable);

} // namespace data::sqlite
