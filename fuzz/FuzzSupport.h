#pragma once

#include <cstdint>

#include "dbase/FieldDef.h"

// A field definition for the layouts the fuzz targets evaluate against.
inline dbase::FieldDef makeField(const char* name, dbase::FieldType type, int length, int decimals = 0)
{
    dbase::FieldDef def;
    def.name = name;
    def.type = type;
    def.length = static_cast<std::uint8_t>(length);
    def.decimals = static_cast<std::uint8_t>(decimals);
    return def;
}
