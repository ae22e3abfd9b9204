#include "app/Einstufung.h"

#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "app/Shell.h"
#include "files/Paths.h"

TEinstufung* Einstufung = nullptr;

TEinstufung::TEinstufung(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Einstufung"));
    setWindowTitle(QStringLiteral("Marlex99 - Ergänzung zur Einstufung"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(385, 316);

    HTML1 = new QTextBrowser(this);
    HTML1->setObjectName(QStringLiteral("HTML1"));
    // Links within the help pages are followed here; web addresses go to
    // the desktop's browser.
    HTML1->setOpenLinks(false);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(HTML1, 1);
    layout->addWidget(StatusBar1);

    connect(HTML1, &QTextBrowser::anchorClicked, this, &TEinstufung::verweisOeffnen);
    FormCreate();
}

void TEinstufung::FormCreate()
{
    // The record page offers the window only when the page is there.
    if (const auto seite = files::find(Programmverzeichnis + QStringLiteral("Hilfe\\hinweis1.htm")))
        HTML1->setSource(QUrl::fromLocalFile(*seite));
}

void TEinstufung::verweisOeffnen(const QUrl& adresse)
{
    if (adresse.isLocalFile() || adresse.isRelative()) {
        HTML1->setSource(adresse);
        return;
    }
    Shell::oeffnenOderMelden(this, adresse);
}
