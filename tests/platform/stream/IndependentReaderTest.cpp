// Free Pascal's own stream reader (ObjectBinaryToText, through
// tests/tools/fpstream) reads what our writer wrote.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "StreamTestSupport.h"
#include "stream/StreamWriter.h"

using stream::Object;
using stream::Value;

namespace {

// Runs the tool, built once per test run; fpc (Debian fp-compiler) is one of
// the project's dependencies.
QString freePascalText(const QByteArray& binary)
{
    static QTemporaryDir work;
    static const QString tool = [] {
        const QString fpc = QStandardPaths::findExecutable("fpc");
        if (fpc.isEmpty())
            return QString();
        QProcess build;
        build.start(fpc, {"-O2", "-FE" + work.path(), QString(MARLEX_SOURCE_DIR) + "/tests/tools/fpstream/fpstream.pas"});
        build.waitForFinished(120000);
        return build.exitCode() == 0 ? work.filePath("fpstream") : QString();
    }();
    if (tool.isEmpty()) {
        ADD_FAILURE() << "fpc is missing or cannot build tests/tools/fpstream";
        return {};
    }
    const QString in = work.filePath("in.bin");
    const QString out = work.filePath("out.txt");
    QFile file(in);
    file.open(QIODevice::WriteOnly);
    file.write(binary);
    file.close();
    QProcess run;
    run.start(tool, {"totext", in, out});
    run.waitForFinished(60000);
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QFile text(out);
    text.open(QIODevice::ReadOnly);
    return QString::fromLatin1(text.readAll());
}

} // namespace

TEST(IndependentReader, FreePascalReadsWhatWeWrite)
{
    Object report("TOwnQuickRep", "Blatt");
    report.append("Left", Value::integer(10));
    report.append("Width", Value::integer(70000));
    report.append("Big", Value::integer(3000000000LL));
    report.append("Tag", Value::integer(-200));
    report.append("Scale", Value::extended(1.5));
    report.append("Caption", Value::string(QString::fromUtf8("Gefährlich")));
    report.append("Long", Value::string(QString(300, QChar('x'))));
    report.append("Hint", Value::string(QString::fromUtf8("к")));
    report.append("Units", Value::identifier("MM"));
    report.append("Enabled", Value::boolean(false));
    report.append("Visible", Value::boolean(true));
    report.append("PopupMenu", Value::nil());
    report.append("Font.Style", Value::set({"fsBold", "fsItalic"}));
    report.append("Data", Value::binary(streamtest::bytes("01 02 FF")));
    report.append("Lines.Strings", Value::list({Value::string("eins"), Value::integer(2)}));
    stream::CollectionItem item;
    item.append("Caption", Value::string("A"));
    report.append("Items", Value::collection({item, stream::CollectionItem()}));
    Object band("TQRBand", "Kopf");
    band.flags = stream::Inherited;
    band.childPosition = 2;
    band.children.push_back(Object("TQRLabel", "Titel"));
    report.children.push_back(band);

    const QByteArray binary = stream::StreamWriter::toBytes(report) + stream::StreamWriter::toBytes(Object("TQRBand", "Zwei"));
    const QString text = freePascalText(binary);
    const QString expected = QString::fromLatin1(
        "object Blatt: TOwnQuickRep\n"
        "  Left = 10\n"
        "  Width = 70000\n"
        "  Big = 3000000000\n"
        "  Tag = -200\n"
        "  Scale =  1.50000000000000000000E+0000\n"
        "  Caption = 'Gef'#228'hrlich'\n"
        "  Long = '%1'\n"
        "  Hint = #1082\n"
        "  Units = MM\n"
        "  Enabled = False\n"
        "  Visible = True\n"
        "  PopupMenu = nil\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Data = {\n"
        "    0102FF\n"
        "  }\n"
        "  Lines.Strings = (\n"
        "    'eins'\n"
        "    2\n"
        "  )\n"
        "  Items = <  \n"
        "    item\n"
        "      Caption = 'A'\n"
        "    end  \n"
        "    item\n"
        "    end>\n"
        "  inherited Kopf: TQRBand[2]\n"
        "    object Titel: TQRLabel\n"
        "    end\n"
        "  end\n"
        "end\n"
        "object Zwei: TQRBand\n"
        "end\n").arg(QString(300, QChar('x')));
    EXPECT_EQ(text.toStdString(), expected.toStdString());
}
