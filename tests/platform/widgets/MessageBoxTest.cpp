#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include "widgets/MessageBox.h"

using namespace widgets;

namespace {

TEST(MessageBoxProvider, AnswersInsteadOfTheScreenAndSeesWhatWouldBeShown)
{
    std::vector<MessageRequest> seen;
    Answer next = Answer::Yes;
    ScopedAnswerProvider scope([&](const MessageRequest& r) {
        seen.push_back(r);
        return next;
    });
    EXPECT_EQ(MessageBox::askYesNo(nullptr, "Datensatz löschen?"), Answer::Yes);
    next = Answer::Ok; // not a button of a Ja/Nein box: counts as escape
    EXPECT_EQ(MessageBox::askYesNo(nullptr, "Wirklich?", Answer::Yes, MessageKind::Warning, "Achtung"), Answer::No);
    next = Answer::Cancel;
    EXPECT_EQ(MessageBox::askOkCancel(nullptr, "Weiter?"), Answer::Cancel);
    MessageBox::error(nullptr, "Fehler bei der Eingabe der CARN-Nummer.");

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].text, "Datensatz löschen?");
    EXPECT_EQ(seen[0].buttons, (QList<Answer>{Answer::Yes, Answer::No}));
    EXPECT_EQ(seen[0].defaultButton, Answer::No);
    EXPECT_EQ(seen[0].kind, MessageKind::Question);
    EXPECT_EQ(seen[0].title, QGuiApplication::applicationDisplayName());
    EXPECT_EQ(seen[1].title, "Achtung");
    EXPECT_EQ(seen[1].defaultButton, Answer::Yes);
    EXPECT_EQ(seen[1].kind, MessageKind::Warning);
    EXPECT_EQ(seen[2].buttons, (QList<Answer>{Answer::Ok, Answer::Cancel}));
    EXPECT_EQ(seen[3].kind, MessageKind::Error);
    EXPECT_EQ(seen[3].buttons, QList<Answer>{Answer::Ok});
}

// Runs `check` on the modal box once it is on the (offscreen) screen.
void whenShown(std::function<void(QMessageBox&)> check)
{
    QTimer::singleShot(0, [check] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        check(*box);
    });
}

TEST(MessageBoxScreen, ShowsGermanButtonsWithTheDefaultAndEscapeGiven)
{
    QStringList texts;
    bool defaultIsNo = false;
    bool escapeIsNo = false;
    whenShown([&](QMessageBox& box) {
        for (QAbstractButton* b : box.buttons())
            texts << b->text();
        defaultIsNo = box.defaultButton() == box.button(QMessageBox::No);
        escapeIsNo = box.escapeButton() == box.button(QMessageBox::No);
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(MessageBox::askYesNo(nullptr, "Löschen?"), Answer::Yes);
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"&Ja", "&Nein"}));
    EXPECT_TRUE(defaultIsNo);
    EXPECT_TRUE(escapeIsNo);

    whenShown([](QMessageBox& box) { box.reject(); }); // Escape or the close box
    EXPECT_EQ(MessageBox::askOkCancel(nullptr, "Weiter?"), Answer::Cancel);
}

TEST(MessageBoxScreen, ALongListGoesIntoTheDetailsAndTheBoxStaysSmall)
{
    QStringList namen;
    for (int i = 0; i < 200; ++i)
        namen << QStringLiteral("BILD%1.BMP").arg(i);
    QString details;
    int hoehe = 0;
    whenShown([&](QMessageBox& box) {
        details = box.detailedText();
        hoehe = box.sizeHint().height();
        box.button(QMessageBox::Ok)->click();
    });
    MessageBox::warning(nullptr, "200 Bilder fehlen.", {}, namen.join('\n'));
    EXPECT_EQ(details.split('\n'), namen);
    EXPECT_LT(hoehe, 400) << "the list is behind the details button, not in the text";
}

TEST(GermanTranslation, StandardDialogButtonsSpeakGermanOnce)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(installGermanTranslation(*app));
    EXPECT_TRUE(installGermanTranslation(*app));
    EXPECT_EQ(app->findChildren<QTranslator*>().size(), 1);

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes
                             | QDialogButtonBox::No);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text(), "&Ja");
    EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text(), "&Nein");
}

} // namespace
