#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

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

// A directory of this fuzzing process's own for the files a target writes,
// made on first use and removed when the process ends.
inline const std::filesystem::path& scratchDir(const char* target)
{
    struct Scratch {
        std::filesystem::path path;
        explicit Scratch(const char* target)
            : path(std::filesystem::temp_directory_path() / (std::string(target) + "." + std::to_string(::getpid())))
        {
            std::filesystem::create_directories(path);
        }
        ~Scratch()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Scratch dir(target);
    return dir.path;
}
