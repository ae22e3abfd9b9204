#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "dbase/Table.h"
#include "widgets/DataSource.h"

class Laufordner;

// The tags of the name table, made in this order on every table the program
// builds from it (the research tables, the filter table).
inline const std::vector<dbase::IndexDef> NamenTags = {
    {"CARN_SUB", "CARN+SUBCARN", true, false, false},
    {"NAME1_SUB", "STRIPNAME1", false, false, false},
};

// The data module: the one shared set of cursors over the register's tables
// and a data source for each. Table files are named without a directory, so
// they are found in the current directory when a table is opened.
//
//   Table1  the current name table ("namen.dbf", "namen.mdx", NAME1_SUB)
//   Table2  "chemie.dbf", "chemie.MDX", CARN_SUB
//   Table3  "lager.dbf", "lager.MDX", CARN_SUB
//   Table4  "si_gef.dbf", "si_gef.mdx", NRSATZ_SUB, read-only
//   Table5  the research table, set at run time (zan_tmp1.dbf / zan_tmp2.dbf
//           in Arbeitsordner)
//   Table6  "formeln.dbf", "formeln.MDX", CARN_SUB
//   Table7  "filter.dbf", the list filter's table
//
// No table is open after construction; FormCreate() brings the data side up.
class TDatas : public QObject {
    Q_OBJECT
public:
    explicit TDatas(QObject* parent = nullptr);
    ~TDatas() override;

    // The creation handler, run by the program's main routine right after
    // construction: the first-start step, then the start-up window and its
    // routine. Uses the main window (Marlex) and the start-up window (Init).
    void FormCreate();

    // The tags that the index file of Table1 (as "namen.dbf") to Table4 and
    // Table6 carries by the program's own definitions: what a damaged or
    // missing index file is made anew from. None for the other tables.
    const std::vector<dbase::IndexDef>& indexTags(const dbase::Table& table) const;

    // The folder of the tables the program makes for itself (the research
    // tables, the list filter's table): this run's own folder in the user's
    // folder (Laufordner), made by the start-up with laufordnerAnlegen();
    // empty, for the current directory, until then.
    QString Arbeitsordner;
    // A file of that name in that folder.
    QString arbeitsdatei(const QString& dateiName) const;

    // Makes this run's folder and sets Arbeitsordner to it; the folder goes
    // with the data module. dbase::DbaseError when it cannot be made.
    void laufordnerAnlegen();

private:
    // Goes after the tables, whose files lie in it.
    std::unique_ptr<Laufordner> m_laufordner;
    // Declared before the pointers and data sources below, so the tables
    // outlive everything that refers to them.
    std::array<std::unique_ptr<dbase::Table>, 7> m_tables;
    std::array<std::unique_ptr<widgets::DataSource>, 7> m_sources;

public:
    dbase::Table* const Table1;
    dbase::Table* const Table2;
    dbase::Table* const Table3;
    dbase::Table* const Table4;
    dbase::Table* const Table5;
    dbase::Table* const Table6;
    dbase::Table* const Table7;

    widgets::DataSource* const DataSource1;
    widgets::DataSource* const DataSource2;
    widgets::DataSource* const DataSource3;
    widgets::DataSource* const DataSource4;
    widgets::DataSource* const DataSource5;
    widgets::DataSource* const DataSource6;
    widgets::DataSource* const DataSource7;
};

// The data module of the run; created and owned by the program's main
// routine, null before and after.
extern TDatas* Datas;
