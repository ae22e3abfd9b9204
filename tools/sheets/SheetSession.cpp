#include "SheetSession.h"

#include <QDir>

#include "app/Marlex.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "demo/DemoData.h"
#include "demo/Generator.h"
#include "reports/StoffInfo.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace sheets {

namespace {

QString withMessages(const QString& what, const QStringList& messages)
{
    return messages.isEmpty() ? what : what + QLatin1Char('\n') + messages.join(QLatin1Char('\n'));
}

} // namespace

SheetSession::SheetSession()
{
    if (!m_dir.isValid())
        throw SheetError(QStringLiteral("Kein temporäres Verzeichnis für den Demo-Bestand: %1").arg(m_dir.errorString()));
    const QDir root(m_dir.path());
    const QDir registerDir(root.filePath(QStringLiteral("daten")));
    const QDir programDir(root.filePath(QStringLiteral("programm")));
    demo::generateRegister(demo::DemoData::load(QDir(QStringLiteral(MARLEX_DEMO_DATA_DIR))), registerDir);
    demo::generateProgramFiles(programDir);

    m_answers = std::make_unique<widgets::ScopedAnswerProvider>([this](const widgets::MessageRequest& request) {
        m_messages << request.text;
        for (const widgets::Answer answer : {widgets::Answer::Ok, widgets::Answer::No, widgets::Answer::Cancel})
            if (request.buttons.contains(answer))
                return answer;
        return widgets::Answer::Ok;
    });
    m_previousDir = QDir::currentPath();
    m_previousProgramDir = Programmverzeichnis;
    Programmverzeichnis = programDir.absolutePath() + QLatin1Char('/');
    QDir::setCurrent(registerDir.absolutePath());
    try {
        m_programm = std::make_unique<Programm>();
        if (!m_programm->gestartet())
            throw SheetError(withMessages(QStringLiteral("Das Programm hat den Start abgebrochen."), m_messages));
    } catch (...) {
        m_programm.reset();
        QDir::setCurrent(m_previousDir);
        Programmverzeichnis = m_previousProgramDir;
        throw;
    }
}

SheetSession::~SheetSession()
{
    m_programm.reset();
    QDir::setCurrent(m_previousDir);
    Programmverzeichnis = m_previousProgramDir;
}

void SheetSession::select(const QString& name)
{
    widgets::NameList& liste = *Marlex->ListBox1;
    for (int line = 0; line < liste.count(); ++line) {
        if (liste.text(line) == name) {
            liste.setItemIndex(line);
            Marlex->AktuellenDatensatzZeigen();
            return;
        }
    }
    throw SheetError(QStringLiteral("„%1“ steht nicht in der Namensliste des Demo-Bestands.").arg(name));
}

void SheetSession::printPdf(const QString& path)
{
    Marlex->DruckDatei = path;
    run(1, QStringLiteral("Die Stoffinfo wurde nicht nach %1 gedruckt.").arg(path));
}

void SheetSession::preview()
{
    run(0, QStringLiteral("Die Vorschau der Stoffinfo wurde nicht gezeigt."));
}

void SheetSession::run(int druckModus, const QString& what)
{
    // As the sheet dialogs do: the default layout of the settings, loaded
    // before every run.
    try {
        StoffInfo->LoadStoffinfo(OptStandardStoffinfo);
    } catch (const std::exception& e) {
        throw SheetError(QString::fromUtf8(e.what()));
    }
    StoffInfo->DruckModus = druckModus;
    if (!StoffInfo->Erstellen())
        throw SheetError(withMessages(what, takeMessages()));
}

QStringList SheetSession::takeMessages()
{
    return std::exchange(m_messages, {});
}

QStringList defaultSubstances()
{
    return {QStringLiteral("Benzol"), QStringLiteral("Tetrachlormethan"), QStringLiteral("Phenol")};
}

QString fileNameFor(const QString& substance)
{
    QString name;
    for (const QChar c : substance) {
        if (c.isLetterOrNumber())
            name += c;
        else if (!name.endsWith(QLatin1Char('_')))
            name += QLatin1Char('_');
    }
    while (name.endsWith(QLatin1Char('_')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Stoff") : name;
}

} // namespace sheets
