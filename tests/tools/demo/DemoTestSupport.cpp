#include "DemoTestSupport.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include "dbase/Table.h"
#include "demo/Generator.h"

namespace demotest {

QDir sourceDataDir()
{
    return QDir(QStringLiteral(MARLEX_SOURCE_DIR "/tools/demo/data"));
}

const Generated& generated()
{
    static const std::unique_ptr<Generated> once = [] {
        auto g = std::make_unique<Generated>();
        const QDir root(QString::fromStdString(g->temp.path().string()));
        g->daten = QDir(root.filePath("daten"));
        g->programm = QDir(root.filePath("programm"));
        g->data = demo::DemoData::load(sourceDataDir());
        demo::generateRegister(g->data, g->daten);
        demo::generateProgramFiles(g->programm);
        return g;
    }();
    return *once;
}

std::vector<QStringList> readRows(const QDir& dir, const QString& table, const QStringList& fields,
                                  const QString& tag)
{
    dbase::Table t;
    t.setTableName(dir.filePath(table));
    if (!tag.isEmpty()) {
        t.setIndexFiles(dir.filePath(QFileInfo(table).completeBaseName() + ".mdx"));
        t.setIndexName(tag);
    }
    t.open();
    std::vector<QStringList> rows;
    for (t.first(); !t.eof(); t.next()) {
        QStringList row;
        for (const QString& f : fields)
            row << t.fieldByName(f.toStdString()).asString();
        rows.push_back(row);
    }
    return rows;
}

Werkzeuglauf werkzeugStarten(const QString& name, const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral(MARLEX_BINARY_DIR "/tools/sheets/") + name, args);
    EXPECT_TRUE(tool.waitForFinished(120000)) << tool.errorString().toStdString();
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromLocal8Bit(tool.readAllStandardOutput()), QString::fromLocal8Bit(tool.readAllStandardError())};
}

} // namespace demotest
