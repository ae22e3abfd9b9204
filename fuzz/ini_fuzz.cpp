// The settings file marlex99.ini as a user may have left it, damaged or
// edited by hand in any way: every read of the program's settings must give
// a value, and a setting written must read back as written, however long,
// without a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "ini/IniError.h"
#include "ini/IniFile.h"

namespace {

const QString& iniPath()
{
    static const QString path = QString::fromStdString((scratchDir("ini_fuzz") / "marlex99.ini").string());
    return path;
}

struct Setting {
    const char* section;
    const char* key;
};

// Settings the program reads at start and writes at the end.
constexpr Setting settings[] = {
    {"Optionen", "Hint"},          {"Optionen", "StandardStoffinfo"}, {"Optionen", "RandOben"},
    {"Optionen", "AktPrinterIndex"}, {"Font", "FontName"},            {"Font", "FontSize"},
    {"Marlex99", "xpos"},          {"Marlex99", "symbolendung"},      {"Vorschau", "zoom"},
    {"Neu", "Schlüssel"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::ofstream(iniPath().toStdString(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    ini::IniFile file(iniPath());
    const auto readAll = [&file] {
        QStringList values;
        for (const Setting& s : settings) {
            const QString section = QString::fromUtf8(s.section);
            const QString key = QString::fromUtf8(s.key);
            values << file.readString(section, key, QStringLiteral("vorgabe"))
                   << QString::number(file.readInteger(section, key, 7))
                   << QString::number(file.readBool(section, key, true));
        }
        return values;
    };
    QStringList before = readAll();
    // A write is what the next read sees, and changes no other setting.
    const std::size_t changed = size % std::size(settings);
    const QString section = QString::fromUtf8(settings[changed].section);
    const QString key = QString::fromUtf8(settings[changed].key);
    try {
        file.writeString(section, key, QStringLiteral("Wert 1"));
    } catch (const ini::IniError&) {
        return 0;
    }
    if (file.readString(section, key, {}) != QStringLiteral("Wert 1"))
        std::abort();
    // A long value (a saved filter) comes back whole.
    const QString longValue = QStringLiteral("NAME1='A' OR ").repeated(250);
    file.writeString(section, key, longValue);
    if (file.readString(section, key, {}) != longValue.trimmed())
        std::abort();
    file.writeInteger(section, key, -42);
    if (file.readInteger(section, key, 0) != -42)
        std::abort();
    QStringList after = readAll();
    for (QStringList* values : {&before, &after})
        values->remove(qsizetype(changed) * 3, 3);
    if (before != after)
        std::abort();
    return 0;
}
