#pragma once

#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

#include "dbase/Table.h"
#include "widgets/DataSource.h"

class QWidget;

namespace widgets {

class DataAware;

// Binds one control to one field of a data source's table. User input goes
// into the current record at once, so nothing typed is lost when the cursor
// leaves the record (which posts it); text the field cannot take yet, such as
// a half-typed number, waits until the control is left or updateRecord().
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(DataAware& control);
    ~FieldLink() override;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setDataField(const QString& name);
    QString dataField() const { return m_fieldName; }
    void setReadOnly(bool readOnly);
    bool readOnly() const { return m_readOnly; }

    // The bound field of the current record; nullopt unless the source is
    // active and its table has the field.
    std::optional<dbase::Field> field() const;
    // The same while there is a record to show.
    std::optional<dbase::Field> shownField() const;
    // The field's text as controls show it; empty when unbound or when the
    // field cannot be read (the control then takes no input).
    QString fieldText() const;
    // Whether the control takes input now.
    bool canModify() const;
    // The longest text a one-line control should take for the field; 0: any.
    int maxLength() const;

    // The control's text changed, by the user or the program (not by
    // showing the field).
    void controlTextChanged(const QString& text);
    // Writes text still waiting; DbaseError naming the field when it does not fit.
    void flush();
    // The control lost the focus: writes waiting text; when it does not fit,
    // puts back the value the field had before the typing, says so in a
    // message box and shows that value again.
    void leave(QWidget* parent);

    // Shows the field again (after the control was given a picture or text
    // of its own, or to drop what the user typed).
    void refresh();

private:
    void write(const QString& text);

    DataAware& m_control;
    QPointer<DataSource> m_source;
    QString m_fieldName;
    bool m_readOnly = false;
    bool m_writing = false;
    mutable bool m_unreadable = false; // the shown field could not be read
    std::optional<QString> m_waiting;
    // The field's bytes before the user began typing into it: what the
    // control writes as it goes ("12" of "12x") is taken back when the
    // whole text is refused.
    std::optional<QByteArray> m_before;
};

// Base of the data-aware controls: the data source and field properties, and
// the two things each control does its own way.
class DataAware {
public:
    virtual ~DataAware();
    DataAware(const DataAware&) = delete;
    DataAware& operator=(const DataAware&) = delete;

    void setDataSource(DataSource* source) { m_link->setDataSource(source); }
    DataSource* dataSource() const { return m_link->dataSource(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }
    QString dataField() const { return m_link->dataField(); }
    std::optional<dbase::Field> field() const { return m_link->field(); }

protected:
    DataAware();
    FieldLink& link() const { return *m_link; }

private:
    friend class FieldLink;
    // Shows the field's value (link().fieldText(), or the bytes of field()).
    virtual void showField() = 0;
    // Input allowed or not, from the table, the source and the control's own flag.
    virtual void applyReadOnly(bool readOnly) = 0;

    std::unique_ptr<FieldLink> m_link;
};

} // namespace widgets
