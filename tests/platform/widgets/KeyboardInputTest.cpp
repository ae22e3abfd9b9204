// The data controls typed into as a keyboard user does: Tab and Shift+Tab
// between controls, a letter into a combo box, digits over a grid cell, F2
// and a double-click; text pasted in; and what the controls show while
// they are disabled.

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QClipboard>
#include <QTest>

#include "WidgetTestSupport.h"
#include "fixtures/Keyboard.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRichEdit.h"
#include "widgets/DisabledText.h"

using namespace widgets;
using namespace widgettest;
using fixtures::key;
using fixtures::type;

namespace {

// A window of controls on the sample table, in their Tab order, shown.
class Typing : public TableFixture {
protected:
    template <typename C>
    C& add(const QString& field)
    {
        auto* c = new C(&window);
        c->setDataSource(&source);
        c->setDataField(field);
        row->addWidget(c);
        return *c;
    }
    void show()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    QHBoxLayout* row = new QHBoxLayout(&window);
};

} // namespace

TEST_F(Typing, OneLineRichEditsTakeNoTabNoLineBreakAndDoNotWrap)
{
    auto& before = add<DBEdit>("CARN");
    auto& rich = add<DBRichEdit>("NAME1");
    auto& after = add<DBEdit>("CARN");
    auto& memo = add<DBRichEdit>("NOTIZ");
    show();
    EXPECT_EQ(rich.lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(memo.lineWrapMode(), QTextEdit::WidgetWidth) << "a memo keeps its lines";

    rich.setFocus();
    rich.moveCursor(QTextCursor::End);
    type("ab");
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &after);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &rich);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &before);
    rich.setFocus();
    rich.moveCursor(QTextCursor::End);
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Return, Qt::ShiftModifier);
    key(Qt::Key_Enter);
    type("c");
    EXPECT_EQ(rich.toPlainText(), "Acetonabc");
    EXPECT_EQ(table.field(NAME1).asString(), "Acetonabc");

    // Pasted lines arrive as one, their breaks and tabs blanks.
    QApplication::clipboard()->setText("Essig\tsäure\r\nethyl\n\u2029x");
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rich.toPlainText(), "Essig säure ethyl  x");
    EXPECT_EQ(table.field(NAME1).asString(), "Essig säure ethyl  x");
    table.post();
    EXPECT_EQ(stored("Essig säure ethyl  x", CARN), "67-64-1");

    // A memo is a text of lines: Tab goes into it.
    memo.setFocus();
    memo.moveCursor(QTextCursor::End);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &memo);
    EXPECT_EQ(table.field(NOTIZ).asString(), "\t");
}

TEST_F(Typing, AComboBoxStoresWhatIsTypedAndStillTakesAPickedItem)
{
    auto& carn = add<DBComboBox>("CARN");
    carn.setItems({"C", "F+", "F", "T+", "T", "A1", "A2"});
    auto& name = add<DBEdit>("NAME1");
    show();

    const auto typeAndLeave = [&](const QString& text) {
        carn.setFocus();
        carn.lineEdit()->selectAll();
        type(text);
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &name);
        return table.field(CARN).asString();
    };
    EXPECT_EQ(typeAndLeave("T"), "T") << "not completed to the first item that starts with it";
    EXPECT_EQ(carn.itemIndex(), 4) << "a typed item is that item";
    EXPECT_EQ(typeAndLeave("A"), "A");
    EXPECT_EQ(carn.itemIndex(), -1);
    EXPECT_EQ(typeAndLeave("f"), "f") << "nor to an item of another letter case";
    EXPECT_EQ(typeAndLeave("T+"), "T+");

    // Return in the box, then the arrow key picks the next item.
    carn.setFocus();
    carn.lineEdit()->selectAll();
    type("F");
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(CARN).asString(), "F");
    key(Qt::Key_Down);
    EXPECT_EQ(table.field(CARN).asString(), "T+");
    key(Qt::Key_Tab);
    table.post();
    EXPECT_EQ(stored("Aceton", CARN), "T+");
}

namespace {

class GridTyping : public Typing {
protected:
    void SetUp() override
    {
        Typing::SetUp();
        grid = new DBGrid(&window);
        grid->setDataSource(&source);
        grid->setColumns({{"NAME1"}, {"MENGE"}, {"CARN", "", 100, {"50-00-0", "7732-18-5"}}});
        row->addWidget(grid);
        window.resize(600, 300);
        show();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(1, 2)); // Ethanol's number
        ASSERT_EQ(grid->currentIndex(), grid->model()->index(1, 2));
    }
    QPoint cellCentre(int row, int column) const { return grid->visualRect(grid->model()->index(row, column)).center(); }
    // The line the open editor is typed into.
    QLineEdit* editorLine() const
    {
        QWidget* editor = grid->indexWidget(grid->currentIndex());
        if (auto* box = qobject_cast<QComboBox*>(editor))
            return box->lineEdit();
        return qobject_cast<QLineEdit*>(editor);
    }

    DBGrid* grid = nullptr;
};

} // namespace

TEST_F(GridTyping, DigitsTypedOverACellReplaceItsValueInEveryColumn)
{
    type("75-0"); // the number, with its pick list
    ASSERT_NE(editorLine(), nullptr);
    EXPECT_EQ(editorLine()->text(), "75-0");
    type("7-0");
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(CARN).asString(), "75-07-0") << "typed over 64-17-5, not after it";

    key(Qt::Key_Left); // the amount
    type("300");
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(MENGE).asString(), "300") << "not 250300";

    key(Qt::Key_Down); // leaves the row, which is stored
    EXPECT_EQ(stored("Ethanol", MENGE), "300");
    EXPECT_EQ(stored("Ethanol", CARN), "75-07-0");
    type("5");
    key(Qt::Key_Up);
    EXPECT_EQ(stored("Wasser", MENGE), "5") << "an empty cell takes the digits";
}

TEST_F(GridTyping, F2AndADoubleClickEditTheValueWithTheCaretAtItsEnd)
{
    key(Qt::Key_F2);
    ASSERT_NE(editorLine(), nullptr);
    EXPECT_FALSE(editorLine()->hasSelectedText());
    EXPECT_EQ(editorLine()->cursorPosition(), 7);
    type("9");
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(CARN).asString(), "64-17-59");

    // A double-click: a click, the second press seen as the double-click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    ASSERT_NE(editorLine(), nullptr);
    EXPECT_EQ(editorLine()->text(), "250") << "shown as the German desktop shows it";
    EXPECT_FALSE(editorLine()->hasSelectedText());
    EXPECT_EQ(editorLine()->cursorPosition(), 3);
    type(",5");
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(MENGE).asString(), "250,5");

    // An item picked from the number's list.
    key(Qt::Key_Right);
    key(Qt::Key_F2);
    key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    EXPECT_EQ(table.field(CARN).asString(), "7732-18-5");
    table.post();
    EXPECT_EQ(stored("Ethanol", CARN), "7732-18-5");
    EXPECT_EQ(stored("Ethanol", MENGE), "250,5");
}

namespace {

// The colour of the drawn pixels that stand out most from the background
// (the colour at `background`).
QColor mostContrasting(const QImage& image, QPoint background)
{
    const QColor ground = image.pixelColor(background);
    QColor best = ground;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (contrastRatio(image.pixelColor(x, y), ground) > contrastRatio(best, ground))
                best = image.pixelColor(x, y);
    return best;
}

} // namespace

TEST_F(Typing, DisabledDataControlsDrawTheirTextReadably)
{
    auto& edit = add<DBEdit>("NAME1");
    auto& combo = add<DBComboBox>("CARN");
    auto& rich = add<DBRichEdit>("NAME1");
    auto& memo = add<DBMemo>("NOTIZ");
    auto& grid = *new DBGrid(&window);
    row->addWidget(&grid);
    grid.setDataSource(&source);
    grid.setColumns({{"NAME1"}});
    show();

    const auto checkAll = [&](const char* palette) {
        // The widget each draws its text on, with the roles it draws with.
        const std::vector<QWidget*> painters = {&edit, combo.lineEdit(), rich.viewport(), memo.viewport(),
                                                grid.viewport()};
        for (QWidget* w : painters) {
            const QPalette p = w->palette();
            EXPECT_GE(contrastRatio(p.color(QPalette::Disabled, QPalette::Text),
                                    p.color(QPalette::Disabled, QPalette::Base)),
                      readableContrast)
                << palette << " " << w->metaObject()->className();
            EXPECT_GE(contrastRatio(p.color(QPalette::Disabled, QPalette::WindowText),
                                    p.color(QPalette::Disabled, QPalette::Window)),
                      readableContrast)
                << palette << " " << w->metaObject()->className();
            EXPECT_NE(p.color(QPalette::Disabled, QPalette::Text), p.color(QPalette::Active, QPalette::Text))
                << palette << ": still told apart from an enabled control";
        }
    };
    window.setEnabled(false);
    checkAll("standard");

    // As drawn: a large font, so that the letters have pixels of their full colour.
    QFont large = edit.font();
    large.setPixelSize(40);
    edit.setFont(large);
    edit.setFixedHeight(60);
    QApplication::processEvents();
    const QImage drawn = edit.grab().toImage();
    EXPECT_GE(contrastRatio(mostContrasting(drawn, {drawn.width() - 6, drawn.height() / 2}),
                            drawn.pixelColor(drawn.width() - 6, drawn.height() / 2)),
              readableContrast);

    // A palette whose disabled text is pale on a pale ground, and a dark one.
    const QPalette before = QApplication::palette();
    QPalette pale = before;
    pale.setColor(QPalette::Disabled, QPalette::Text, QColor(0xc8, 0xc8, 0xc8));
    pale.setColor(QPalette::Disabled, QPalette::Base, QColor(0xf0, 0xf0, 0xf0));
    pale.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xc8, 0xc8, 0xc8));
    QApplication::setPalette(pale);
    checkAll("pale");
    QPalette dark = before;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(group, QPalette::Window, QColor(0x30, 0x30, 0x30));
        dark.setColor(group, QPalette::Button, QColor(0x30, 0x30, 0x30));
        dark.setColor(group, QPalette::Text, Qt::white);
        dark.setColor(group, QPalette::WindowText, Qt::white);
    }
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x50, 0x50, 0x50));
    QApplication::setPalette(dark);
    checkAll("dark");
    QApplication::setPalette(before);
}
