#pragma once

// What the window tests of commands that write share: questions answered as
// the user would, a disk that refuses one file's writes, a list line clicked.

#include <memory>

#include <QString>
#include <QStringList>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "app/Marlex.h"
#include "dbase/DbaseError.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace marlextest {

// Answers the program's questions with `antwort` while it lives (a message
// without that button with OK) and keeps their texts.
struct Fragen {
    explicit Fragen(widgets::Answer antwort)
        : provider([this, antwort](const widgets::MessageRequest& f) {
              texte << f.text;
              return f.buttons.contains(antwort) ? antwort : widgets::Answer::Ok;
          })
    {
    }
    QStringList texte;
    widgets::ScopedAnswerProvider provider;
};

// Fails every write to one file while `datei` names it, as a full disk or a
// broken network share would. Made before the tables are opened, it lies
// under them.
struct DateiFehler {
    std::shared_ptr<QString> datei = std::make_shared<QString>();
    dbftest::ScopedFileIo io{[d = datei] {
        struct Io : dbftest::ForwardingFileIo {
            explicit Io(std::shared_ptr<QString> d) : datei(std::move(d)) {}
            void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
            {
                if (!datei->isEmpty() && QString::fromStdString(m_path.filename().string()) == *datei)
                    throw dbase::DbaseError("Die Datei \"" + m_path.string() + "\" kann nicht geschrieben werden");
                ForwardingFileIo::writeAt(offset, data, size);
            }
            std::shared_ptr<QString> datei;
        };
        return std::make_unique<Io>(d);
    }};
};

// Clicks into a control, as a user does before typing.
inline void hineinKlicken(QWidget* feld)
{
    QWidget* ziel = feld;
    if (auto* edit = qobject_cast<QTextEdit*>(feld))
        ziel = edit->viewport();
    QTest::mouseClick(ziel, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(feld->hasFocus()) << feld->objectName().toStdString();
}

// Clicks the line `zeile` of the name list, which shows its substance.
inline void listenzeileKlicken(TMarlex& m, int zeile)
{
    ASSERT_GE(zeile, 0);
    const QModelIndex index = m.ListBox1->lineModel().index(zeile);
    m.ListBox1->scrollTo(index);
    QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, {}, m.ListBox1->visualRect(index).center());
    ASSERT_EQ(m.ListBox1->itemIndex(), zeile);
}

} // namespace marlextest
