#pragma once

#include <memory>
#include <vector>

#include <QObject>

#include "dbase/Table.h"

namespace widgets {

class FieldLink;

// Connects data-aware controls to one table: turns the table's notifications
// into Qt signals and puts the table into Edit state when a control is typed
// into. The table must outlive the data source, or be unbound first
// (setDataSet(nullptr)): a table cannot tell its listeners it is going away.
// Changes made on another thread (report pages built in the background) are
// not told: the controls would read the table while that thread moves it.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    explicit DataSource(dbase::Table* table, QObject* parent = nullptr);
    ~DataSource() override;

    void setDataSet(dbase::Table* table);
    dbase::Table* dataSet() const { return m_table; }

    // Typing into a bound control puts a browsing table into Edit state; when
    // off, controls take input only while the program has put it there.
    void setAutoEdit(bool autoEdit);
    bool autoEdit() const { return m_autoEdit; }

    // A disabled source shows its controls empty and lets them change nothing.
    void setEnabled(bool enabled);
    bool enabled() const { return m_enabled; }

    // Enabled, bound to a table, and that table open.
    bool active() const;
    dbase::TableState state() const;

    // Whether controls may write into the current record: the table is in
    // Edit or Insert state, or browsing with autoEdit and not read-only.
    bool canModify() const;
    // Readies the current record for a control's write; false when the table
    // cannot take one. DbaseError when the table refuses the edit.
    bool edit();

    // Writes what bound controls hold but could not store yet (a half-typed
    // number) into the current record. Call before posting from code;
    // DbaseError naming the field when a control's text does not fit it.
    void updateRecord();

    // Keeps this source silent while a reader walks the table's rows (the
    // grid's row cache): the cursor is back where it was at the end.
    class Silence {
    public:
        explicit Silence(DataSource& source) : m_source(source) { ++m_source.m_silent; }
        ~Silence() { --m_source.m_silent; }
        Silence(const Silence&) = delete;
        Silence& operator=(const Silence&) = delete;

    private:
        DataSource& m_source;
    };

signals:
    void recordChanged();      // the cursor moved, or a record was shown afresh
    void fieldChanged(int field);
    void stateChanged();
    void activeChanged();      // opened, closed, enabled, disabled, rebound
    void dataSetChanged();     // the rows changed as a whole, or another table was bound

private:
    friend class FieldLink;
    class Observer;
    void attach(FieldLink* link);
    void detach(FieldLink* link);
    bool silent() const { return m_silent > 0; }

    dbase::Table* m_table = nullptr;
    std::unique_ptr<Observer> m_observer;
    std::vector<FieldLink*> m_links;
    bool m_autoEdit = true;
    bool m_enabled = true;
    int m_silent = 0;
};

} // namespace widgets
