#include "SheetSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/Marlex.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "demo/DemoData.h"
#include "demo/Generator.h"
#include "demo/LabelLayout.h"
#include "reports/StoffInfo.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace sheets {

namespace {

QString withMessages(const QString& what, const QStringList& messages)
{
    return messages.isEmpty() ? what : what + QLatin1Char('\n') + messages.join(QLatin1Char('\n'));
}

// The register's files copied, writable, and its folders linked into `to`.
void copyRegister(const QString& registerDir, const QDir& to)
{
    const QDir from(registerDir);
    if (!QFileInfo(registerDir).isDir())
        throw SheetError(QStringLiteral("Das Bestandsverzeichnis %1 gibt es nicht.").arg(registerDir));
    if (!QDir().mkpath(to.path()))
        throw SheetError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(to.path()));
    const auto entries = from.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString copy = to.filePath(entry.fileName());
        const bool done = entry.isDir()
            ? QFile::link(entry.absoluteFilePath(), copy)
            : QFile::copy(entry.absoluteFilePath(), copy)
                  && QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ReadOwner | QFile::WriteOwner);
        if (!done)
            throw SheetError(QStringLiteral("%1 aus dem Bestand kann nicht gelesen werden.").arg(entry.absoluteFilePath()));
    }
}

} // namespace

SheetSession::SheetSession(const SheetOptions& options)
{
    if (!m_dir.isValid())
        throw SheetError(QStringLiteral("Kein temporäres Verzeichnis für den Bestand: %1").arg(m_dir.errorString()));
    const QDir root(m_dir.path());
    const QDir registerDir(root.filePath(QStringLiteral("daten")));
    const QDir programDir(root.filePath(QStringLiteral("programm")));
    if (options.registerDir.isEmpty()) {
        demo::generateRegister(demo::DemoData::load(QDir(QStringLiteral(MARLEX_DEMO_DATA_DIR))), registerDir);
        m_registerName = QStringLiteral("des Demo-Bestands");
    } else {
        copyRegister(options.registerDir, registerDir);
        m_registerName = QStringLiteral("des Bestands %1").arg(QDir::toNativeSeparators(options.registerDir));
    }
    demo::generateProgramFiles(programDir);
    if (!options.layout.isEmpty())
        demo::writeSettings(programDir.filePath(QStringLiteral("marlex99.ini")), QFileInfo(options.layout).absoluteFilePath(),
                            programDir.absoluteFilePath(QLatin1String(demo::kLabelLayoutFile)));

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
        loadLayout();
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
    throw SheetError(QStringLiteral("„%1“ steht nicht in der Namensliste %2.").arg(name, m_registerName));
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

// As the sheet dialogs do: the default layout of the settings, with their
// message when it does not load.
void SheetSession::loadLayout()
{
    try {
        StoffInfo->LoadStoffinfo(OptStandardStoffinfo);
    } catch (const std::exception& e) {
        throw SheetError(QStringLiteral("Das Stoffinfo-Layout wurde nicht geladen.\n") + QString::fromUtf8(e.what()));
    }
}

void SheetSession::run(int druckModus, const QString& what)
{
    // The dialogs load the layout before every run.
    loadLayout();
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
