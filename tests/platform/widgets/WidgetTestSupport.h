#pragma once

// A small substance table for the widget tests, user input sent as Qt
// events, and a recorder that answers message boxes.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include "dbase/Table.h"
#include "fixtures/Tables.h"
#include "fixtures/TempDir.h"
#include "widgets/DataSource.h"
#include "widgets/MessageBox.h"

namespace widgettest {

enum Field { NAME1, CARN, MENGE, DATUM, NOTIZ, BILD };

// NAME1 C(20), CARN C(12), MENGE N(8,2), DATUM D, NOTIZ M, BILD B
inline void makeSubstanceTable(const QString& file, const std::vector<QStringList>& rows)
{
    using dbase::FieldType;
    using fixtures::field;
    dbase::Table table;
    fixtures::makeTable(table, file,
                        dbase::TableLayout({field("NAME1", FieldType::Character, 20),
                                            field("CARN", FieldType::Character, 12),
                                            field("MENGE", FieldType::Numeric, 8, 2),
                                            field("DATUM", FieldType::Date, 8),
                                            field("NOTIZ", FieldType::Memo, 10),
                                            field("BILD", FieldType::Binary, 10)}),
                        rows);
    table.close();
    table.addIndex({"NAME1", "NAME1", false});
}

inline std::vector<QStringList> sampleRows()
{
    return {
        {"Ethanol", "64-17-5", "250", "01.02.2020", "brennbar\r\nkühl lagern"},
        {"Aceton", "67-64-1", "1000.5", "15.03.2021", ""},
        {"Wasser", "7732-18-5", "", "", "ungefährlich"},
    };
}

// Types text into a widget as key presses, as a user would.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QLatin1Char('\n') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        const QString sent = c == QLatin1Char('\n') ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, sent);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, sent);
        QApplication::sendEvent(widget, &release);
    }
}

inline void pressKey(QWidget* widget, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

// The user leaves the control for another one.
inline void leave(QWidget* widget)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

// Records a signal's emissions with their arguments.
class Spy {
public:
    template <typename Sender, typename... Args>
    Spy(Sender* sender, void (Sender::*signal)(Args...))
    {
        QObject::connect(sender, signal, &m_context, [this](Args... args) {
            m_calls.push_back(QVariantList{QVariant::fromValue(std::decay_t<Args>(args))...});
        });
    }
    int count() const { return static_cast<int>(m_calls.size()); }
    const QVariantList& at(int i) const { return m_calls.at(static_cast<std::size_t>(i)); }

private:
    QObject m_context;
    std::vector<QVariantList> m_calls;
};

// Answers every message box with its first button and keeps what it showed.
class MessageRecorder {
public:
    MessageRecorder()
        : m_scope([this](const widgets::MessageRequest& request) {
              requests.push_back(request);
              return request.buttons.front();
          })
    {
    }
    QStringList texts() const
    {
        QStringList result;
        for (const auto& r : requests)
            result << r.text;
        return result;
    }
    std::vector<widgets::MessageRequest> requests;

private:
    widgets::ScopedAnswerProvider m_scope;
};

// An open substance table in a temporary directory, in NAME1 order, with a
// data source on it. No test may show a real message box.
class TableFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeSubstanceTable("stoffe.dbf", sampleRows());
        openTable();
        source.setDataSet(&table);
    }
    void openTable(bool readOnly = false)
    {
        table.setTableName("stoffe.dbf");
        table.setIndexFiles("stoffe.mdx");
        table.setIndexName("NAME1");
        table.setReadOnly(readOnly);
        table.open();
    }
    // The field as stored in the file, through a second open of the table.
    QString stored(const QString& name, int field)
    {
        dbase::Table other;
        other.setTableName("stoffe.dbf");
        other.open();
        for (other.first(); !other.eof(); other.next())
            if (other.field(NAME1).asString() == name)
                return other.field(field).asString();
        return QStringLiteral("<no row %1>").arg(name);
    }

    // A control of type C on the source's field `name`, living until the test ends.
    template <typename C>
    C& control(const QString& name)
    {
        auto& c = static_cast<C&>(*controls.emplace_back(std::make_unique<C>()));
        c.setDataSource(&source);
        c.setDataField(name);
        return c;
    }

    fixtures::TempDir dir;
    MessageRecorder messages;
    dbase::Table table;
    widgets::DataSource source;
    std::vector<std::unique_ptr<QWidget>> controls; // gone before the source
};

} // namespace widgettest
