#include <filesystem>
#include <thread>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QTextCharFormat>
#include <QTextCursor>

#include "WidgetTestSupport.h"
#include "dbase/DbaseError.h"
#include "fixtures/Dbfread.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRichEdit.h"

using namespace widgets;
using namespace widgettest;

namespace {

class DataControls : public TableFixture {};

TEST_F(DataControls, EveryControlShowsTheCurrentRecordAndFollowsTheCursor)
{
    auto& edit = control<DBEdit>("NAME1");
    auto& combo = control<DBComboBox>("carn"); // field names are found whatever their case
    auto& rich = control<DBRichEdit>("NAME1");
    auto& memo = control<DBMemo>("NOTIZ");
    auto& date = control<DBEdit>("DATUM");

    auto shown = [&] {
        return QStringList{edit.text(), combo.currentText(), rich.toPlainText(), memo.toPlainText(), date.text()};
    };
    EXPECT_EQ(shown(), (QStringList{"Aceton", "67-64-1", "Aceton", "", "15.03.2021"}));
    table.next();
    // The memo's CR LF line break shows as one line break.
    EXPECT_EQ(shown(), (QStringList{"Ethanol", "64-17-5", "Ethanol", "brennbar\nkühl lagern", "01.02.2020"}));
    table.last();
    EXPECT_EQ(shown(), (QStringList{"Wasser", "7732-18-5", "Wasser", "ungefährlich", ""}));
    table.prior();
    EXPECT_EQ(edit.text(), "Ethanol");

    // Another table bound to the source, then none, then a closed one.
    source.setDataSet(nullptr);
    EXPECT_EQ(shown(), (QStringList{"", "", "", "", ""}));
    EXPECT_TRUE(edit.isReadOnly());
    source.setDataSet(&table);
    EXPECT_EQ(edit.text(), "Ethanol");
    table.close();
    EXPECT_EQ(edit.text(), "");
    table.open();
    EXPECT_EQ(edit.text(), "Aceton");

    // An unknown field shows nothing and takes no input.
    edit.setDataField("GIBTSNICHT");
    EXPECT_EQ(edit.text(), "");
    EXPECT_TRUE(edit.isReadOnly());
}

TEST_F(DataControls, TypingGoesIntoTheRecordWhichIsPostedWhenTheCursorLeavesIt)
{
    auto& edit = control<DBEdit>("NAME1");
    auto& sameField = control<DBRichEdit>("NAME1");
    Spy states(&source, &DataSource::stateChanged);

    edit.setCursorPosition(edit.text().size());
    typeText(&edit, "x");
    EXPECT_EQ(table.state(), dbase::TableState::Edit);
    EXPECT_GE(states.count(), 1);
    EXPECT_EQ(table.field(NAME1).asString(), "Acetonx");
    EXPECT_EQ(edit.text(), "Acetonx") << "the typing control keeps its text and caret";
    EXPECT_EQ(sameField.toPlainText(), "Acetonx") << "other controls on the field follow";
    EXPECT_EQ(stored("Aceton", CARN), "67-64-1") << "nothing is stored before the cursor moves";

    // No leaving of the control, no Enter: moving the cursor alone stores it.
    table.next();
    EXPECT_EQ(table.state(), dbase::TableState::Browse);
    EXPECT_EQ(stored("Acetonx", CARN), "67-64-1");

    const auto read = fixtures::readWithDbfread(dir.file("stoffe.dbf"));
    QStringList names;
    for (const auto& row : read.rows)
        names << row.toObject().value("NAME1").toString();
    EXPECT_TRUE(names.contains("Acetonx")) << names.join(", ").toStdString();
}

TEST_F(DataControls, TextTheProgramSetsGoesIntoARecordBeingChanged)
{
    auto& number = control<DBEdit>("CARN"); // a number the program hands out, never typed by the user
    number.setEnabled(false);
    table.append();
    number.setText("4711");
    EXPECT_EQ(table.field(CARN).asString(), "4711");
    table.last(); // posts the new record
    EXPECT_EQ(stored("", CARN), "4711");
    EXPECT_EQ(number.text(), "7732-18-5");
}

TEST_F(DataControls, CancelShowsTheStoredValuesAgain)
{
    auto& edit = control<DBEdit>("CARN");
    typeText(&edit, "9");
    ASSERT_EQ(table.field(CARN).asString(), "67-64-19");
    table.cancel();
    EXPECT_EQ(edit.text(), "67-64-1");
    table.next();
    EXPECT_EQ(stored("Aceton", CARN), "67-64-1");
}

TEST_F(DataControls, InputIsRefusedWhereTheTableOrControlIsReadOnlyOrEditIsNotAutomatic)
{
    auto& edit = control<DBEdit>("NAME1");
    EXPECT_FALSE(edit.isReadOnly());

    edit.setReadOnly(true);
    EXPECT_TRUE(edit.isReadOnly());
    typeText(&edit, "x");
    EXPECT_EQ(table.state(), dbase::TableState::Browse);
    edit.setReadOnly(false);

    source.setAutoEdit(false);
    EXPECT_TRUE(edit.isReadOnly());
    table.edit();
    EXPECT_FALSE(edit.isReadOnly()) << "the program put the table into Edit state";
    table.cancel();
    source.setAutoEdit(true);

    source.setEnabled(false);
    EXPECT_EQ(edit.text(), "");
    EXPECT_TRUE(edit.isReadOnly());
    source.setEnabled(true);
    EXPECT_EQ(edit.text(), "Aceton");

    table.close();
    openTable(true);
    EXPECT_TRUE(edit.isReadOnly());
    typeText(&edit, "x");
    EXPECT_EQ(table.state(), dbase::TableState::Browse);
    EXPECT_TRUE(messages.requests.empty());
}

TEST_F(DataControls, TextTheFieldCannotTakeWaitsAndIsReportedWhenTheControlIsLeft)
{
    auto& amount = control<DBEdit>("MENGE");
    EXPECT_EQ(amount.maxLength(), 8);
    amount.selectAll();
    typeText(&amount, "-");
    EXPECT_EQ(amount.text(), "-");
    EXPECT_EQ(table.field(MENGE).asString(), "1000,5") << "a lone sign is no number yet";
    EXPECT_THROW(source.updateRecord(), dbase::DbaseError);

    typeText(&amount, "12,5");
    EXPECT_DOUBLE_EQ(table.field(MENGE).asFloat(), -12.5);
    EXPECT_NO_THROW(source.updateRecord());

    typeText(&amount, "x");
    EXPECT_DOUBLE_EQ(table.field(MENGE).asFloat(), -12.5);
    leave(&amount);
    ASSERT_EQ(messages.requests.size(), 1u);
    EXPECT_EQ(messages.requests[0].kind, MessageKind::Error);
    EXPECT_TRUE(messages.requests[0].text.contains("MENGE")) << messages.requests[0].text.toStdString();
    EXPECT_EQ(amount.text(), "-12,5") << "the stored value is shown again";
    EXPECT_NO_THROW(source.updateRecord());

    table.next();
    EXPECT_EQ(stored("Aceton", MENGE), "-12,5");
}

TEST_F(DataControls, OneLineEditsTakeAtMostTheFieldWidth)
{
    auto& name = control<DBEdit>("NAME1");
    EXPECT_EQ(name.maxLength(), 20);
    name.clear();
    typeText(&name, QString(25, QLatin1Char('a')));
    EXPECT_EQ(table.field(NAME1).asString(), QString(20, QLatin1Char('a')));

    auto& carn = control<DBComboBox>("CARN");
    EXPECT_EQ(carn.lineEdit()->maxLength(), 12);
}

TEST_F(DataControls, ComboBoxOffersItsValueListAndWritesTheChoice)
{
    DBComboBox box;
    box.setItems({"64-17-5", "67-64-1", "7732-18-5"});
    box.setDataSource(&source);
    box.setDataField("CARN");
    Spy changed(&box, &DBComboBox::changed);

    EXPECT_EQ(box.items(), (QStringList{"64-17-5", "67-64-1", "7732-18-5"}));
    EXPECT_EQ(box.itemIndex(), 1);
    table.next();
    EXPECT_EQ(box.itemIndex(), 0);
    EXPECT_EQ(changed.count(), 0) << "showing a record is no change by the user";

    box.setCurrentIndex(2); // the user picks the third item
    emit box.activated(2);
    EXPECT_EQ(table.field(CARN).asString(), "7732-18-5");
    EXPECT_EQ(box.itemIndex(), 2);
    EXPECT_EQ(changed.count(), 1);

    box.lineEdit()->selectAll();
    typeText(box.lineEdit(), "50-00-0");
    EXPECT_EQ(table.field(CARN).asString(), "50-00-0");
    EXPECT_EQ(box.itemIndex(), -1) << "free text is none of the items";
    EXPECT_EQ(changed.count(), 8);

    box.setReadOnly(true);
    box.setCurrentIndex(0);
    emit box.activated(0);
    EXPECT_EQ(table.field(CARN).asString(), "50-00-0");
    EXPECT_EQ(box.currentText(), "50-00-0") << "a read-only box keeps the field's value";
    EXPECT_EQ(changed.count(), 8);
}

TEST_F(DataControls, RichEditStoresPlainTextAndLetsTheProgramFormatAfterEachShowing)
{
    DBRichEdit rich;
    Spy shown(&rich, &DBRichEdit::recordShown);
    rich.setDataSource(&source);
    rich.setDataField("NAME1");
    const int afterBinding = shown.count();
    EXPECT_GE(afterBinding, 1);
    table.next();
    EXPECT_GT(shown.count(), afterBinding);

    // Subscript formatting is no change of the record.
    QTextCursor cursor(rich.document());
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    QTextCharFormat subscript;
    subscript.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.mergeCharFormat(subscript);
    EXPECT_EQ(table.state(), dbase::TableState::Browse);

    // Enter does not break a one-line field; typing goes into the record.
    rich.moveCursor(QTextCursor::End);
    typeText(&rich, "\n2");
    EXPECT_EQ(table.field(NAME1).asString(), "Ethanol2");
    EXPECT_EQ(rich.toPlainText(), "Ethanol2");
}

TEST_F(DataControls, MemoKeepsWindowsLineBreaksInTheField)
{
    auto& memo = control<DBMemo>("NOTIZ");
    memo.moveCursor(QTextCursor::End);
    typeText(&memo, "Zeile 1\nZeile 2");
    EXPECT_EQ(table.field(NOTIZ).asString(), "Zeile 1\r\nZeile 2");
    table.next();
    EXPECT_EQ(memo.toPlainText(), "brennbar\nkühl lagern");
    table.first();
    EXPECT_EQ(memo.toPlainText(), "Zeile 1\nZeile 2");

    const auto read = fixtures::readWithDbfread(dir.file("stoffe.dbf"));
    bool found = false;
    for (const auto& row : read.rows)
        found |= row.toObject().value("NOTIZ").toString() == "Zeile 1\r\nZeile 2";
    EXPECT_TRUE(found);
}

TEST_F(DataControls, ADamagedMemoShowsEmptyAndCannotBeOverwrittenUnseen)
{
    table.close();
    std::filesystem::resize_file(dir.file("stoffe.dbt"), 512); // the memo blocks are gone
    openTable();
    auto& memo = control<DBMemo>("NOTIZ");
    table.next(); // Ethanol, whose memo was in the lost blocks
    EXPECT_EQ(memo.toPlainText(), "");
    EXPECT_TRUE(memo.isReadOnly());
    table.first(); // Aceton has no memo
    EXPECT_FALSE(memo.isReadOnly());
}

TEST_F(DataControls, DataSourceTellsOfMovesFieldsStatesAndOpening)
{
    Spy records(&source, &DataSource::recordChanged);
    Spy fields(&source, &DataSource::fieldChanged);
    Spy states(&source, &DataSource::stateChanged);
    Spy active(&source, &DataSource::activeChanged);
    Spy rows(&source, &DataSource::dataSetChanged);

    table.next();
    EXPECT_EQ(records.count(), 1);
    table.edit();
    table.field(CARN).setAsString("1-1-1");
    EXPECT_EQ(states.count(), 1);
    ASSERT_EQ(fields.count(), 1);
    EXPECT_EQ(fields.at(0).at(0).toInt(), CARN);
    table.post();
    EXPECT_GE(rows.count(), 1);
    table.close();
    EXPECT_EQ(active.count(), 1);
    EXPECT_EQ(source.state(), dbase::TableState::Inactive);
}

TEST_F(DataControls, CursorMovesOnAnotherThreadAreNotPassedOn)
{
    auto& edit = control<DBEdit>("NAME1");
    Spy records(&source, &DataSource::recordChanged);
    std::thread pages([&] {
        table.next();
        table.first();
    });
    pages.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(records.count(), 0);
    EXPECT_EQ(edit.text(), "Aceton");
}

TEST_F(DataControls, ControlsOutliveTheirDataSourceAndTheReverse)
{
    auto edit = std::make_unique<DBEdit>();
    {
        DataSource shortLived(&table);
        edit->setDataField("NAME1");
        edit->setDataSource(&shortLived);
        EXPECT_EQ(edit->text(), "Aceton");
    }
    EXPECT_EQ(edit->dataSource(), nullptr);
    EXPECT_EQ(edit->text(), "");

    edit->setDataSource(&source);
    edit.reset();
    table.next(); // no control left to tell
    EXPECT_NO_THROW(source.updateRecord());
}

} // namespace
