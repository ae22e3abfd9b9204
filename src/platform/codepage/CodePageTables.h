#pragma once

// Byte -> Unicode tables of the code pages in CodePageTables.cpp.
namespace codepage::tables {

extern const char16_t cp437[256];
extern const char16_t cp850[256];
extern const char16_t cp852[256];
extern const char16_t cp866[256];
extern const char16_t cp1250[256];
extern const char16_t cp1251[256];
extern const char16_t cp1252[256];
extern const char16_t cp1253[256];
extern const char16_t cp1254[256];

} // namespace codepage::tables
