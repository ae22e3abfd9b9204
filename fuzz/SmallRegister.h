#pragma once

#include <QDir>

#include "demo/DemoData.h"
#include "demo/RegisterTables.h"

// A register with every table of the program and little in it: Ethanol
// (with R and S phrases, in storage) and Aceton.
inline void writeSmallRegister(const QDir& dir)
{
    demo::DemoData data;
    const auto substance = [](const char* name, const char* carn, const char* rSatz, const char* sSatz) {
        demo::Substance s;
        s.fields = {{QStringLiteral("NAME1"), QString::fromUtf8(name)}, {QStringLiteral("CARN"), QString::fromUtf8(carn)},
                    {QStringLiteral("R_SATZ"), QString::fromUtf8(rSatz)}, {QStringLiteral("S_SATZ"), QString::fromUtf8(sSatz)}};
        return s;
    };
    data.substances = {substance("Ethanol", "64-17-5", "11", "7-16"), substance("Aceton", "67-64-1", "11-36", "9")};
    data.substances[1].synonyms = {QStringLiteral("Propanon")};
    data.phrases = {{QStringLiteral("R11"), QStringLiteral("Leichtentzündlich.")},
                    {QStringLiteral("R36"), QStringLiteral("Reizt die Augen.")},
                    {QStringLiteral("S7"), QStringLiteral("Behälter dicht geschlossen halten.")},
                    {QStringLiteral("S9"), QStringLiteral("Behälter an einem gut gelüfteten Ort aufbewahren.")},
                    {QStringLiteral("S16"), QStringLiteral("Von Zündquellen fernhalten - Nicht rauchen.")}};
    demo::StockItem item;
    item.carn = QStringLiteral("64-17-5");
    item.subcarn = QStringLiteral("1");
    item.anzahl = 1;
    item.lagerOrt = QStringLiteral("Schrank 1");
    data.stock = {item};
    QDir().mkpath(dir.path());
    demo::writeRegister(data, dir);
}
