#pragma once
// Shared state and start-up of the program. The shared connection gConn sits on the data
// floor (data/sharedconnection.h), where the windows reach it.

#include "data/sharedconnection.h"

#include <QString>

namespace modGeneral {

// The system directory as the platform reports it, without a trailing separator. Set
// once by Main(); its only use is the connection string.
extern QString gSysDir;

// The start-up procedure: reads the system directory, opens gConn on the database file
// and shows the splash window. On any failure it shows "辞典文件丢失！" and returns
// false, having shown no window.
bool Main();

} // namespace modGeneral
