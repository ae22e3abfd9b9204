#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "FilterTestSupport.h"
#include "fixtures/Files.h"
#include "search/Filtersetzen.h"

using namespace filtertest;

namespace {

// Terms that match no substance, each followed by " OR ", together exactly
// `laenge` characters long: a user's list of substances not in the register.
QString keinTreffer(int laenge)
{
    const QString oder = u" OR "_qs;
    QString text;
    for (int i = 1; text.size() + 40 < laenge; ++i)
        text += u"CARN='%1-00-0'"_qs.arg(i) + oder;
    const int rest = laenge - int(text.size()) - int(u"CARN=''"_qs.size() + oder.size());
    return text + u"CARN='"_qs + QString(rest, u'9') + u"'"_qs + oder;
}

} // namespace

// A filter of 3000 characters is saved whole and comes back whole from the
// saved list. Its first 2047 characters are a filter of their own, for
// Aceton alone, which is what a cut at that length would have made of it.
TEST(LangerFilter, ComesBackWholeFromTheSavedList)
{
    FilterRegister r;
    TMarlex& m = r.m;
    const QString vorn = keinTreffer(2047 - 14) + u"CARN='67-64-1'"_qs;
    const QString lang = vorn + u" OR "_qs + keinTreffer(3000 - 2047 - 4 - 16) + u"CARN='7782-50-5'"_qs;
    ASSERT_EQ(vorn.size(), 2047);
    ASSERT_EQ(lang.size(), 3000);
    const QStringList acetonUndChlor = {u"Aceton"_qs, u"Chlor"_qs, u"Dimethylketon"_qs, u"Propanon"_qs};

    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, lang);
                 setzen(d);
             });
    EXPECT_EQ(listenzeilen(m), acetonUndChlor);
    EXPECT_TRUE(fixtures::readBytes(r.ini()).contains("\r\nFilter1=" + lang.toLatin1() + "\r\n"))
        << "the settings file holds the whole expression on its line";

    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) { QTest::mouseClick(d.Button3, Qt::LeftButton); });
    EXPECT_EQ(listenzeilen(m).size(), 7);

    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 ASSERT_EQ(d.ComboBox1->count(), 1);
                 EXPECT_EQ(d.ComboBox1->itemText(0), lang);
                 d.ComboBox1->setFocus();
                 QTest::keyClick(d.ComboBox1, Qt::Key_Down);
                 EXPECT_EQ(d.Memo1->toPlainText(), lang);
                 setzen(d);
             });
    EXPECT_EQ(listenzeilen(m), acetonUndChlor);
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join('\n').toStdString();
}
