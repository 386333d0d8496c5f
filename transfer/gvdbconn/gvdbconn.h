// gvdbconn: the back-office system's connection library, as the transfer program loads it.
//
// InitDBConnect fills seven text buffers, each passed with its capacity (17, 17, 128, 128, 17,
// 64 and 15 characters from the transfer program). Every buffer is written as a blank-padded
// fixed string of exactly its capacity (no terminator); longer values are cut. The buffers:
//   1 (17)  the ODBC driver named by the connection string (DRIVER=...)
//   2 (17)  the server (Server=...), blank for a file database
//   3 (128) the database (Database=...)
//   4 (128) the ODBC connection string of the back-office database  <- the one the program uses
//   5 (17)  the user (Uid=...)
//   6 (64)  the settings file the string came from, blank when the built-in default was used
//   7 (15)  this library's version text
// The connection string comes from the settings file GVDBCONN.INI in the working directory,
// section [Granvel], key ConnectionString (see docs/transfer.md). Without that key, the default
// is an SQLite back-office database beside the catalog files:
//   DRIVER=SQLite3;Database=<working directory>/GRANVEL.DB
// or, when that full path would not fit the fourth buffer, DRIVER=SQLite3;Database=./GRANVEL.DB.
// A key that is present but empty gives a blank connection string on purpose: the first table
// open then fails and the program reports it. A null buffer pointer is skipped.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define GVDBCONN_EXPORT __attribute__((visibility("default")))
#else
#define GVDBCONN_EXPORT
#endif

extern "C" {
GVDBCONN_EXPORT void InitDBConnect(char* driver, uint32_t driver_cap, char* server,
                                   uint32_t server_cap, char* database, uint32_t database_cap,
                                   char* connection, uint32_t connection_cap, char* user,
                                   uint32_t user_cap, char* settings_file, uint32_t settings_cap,
                                   char* version, uint32_t version_cap);
}
