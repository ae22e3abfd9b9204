#include "reports/StoffinfoDialoge.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "reports/StoffInfo.h"
#include "stream/StreamError.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

QPushButton* knopf(QWidget* parent, const char* name, const QString& text, const QString& hinweis)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hinweis);
    return button;
}

// The substance whose sheet a print would make: the name table's current row.
QString aktuellerStoff()
{
    if (!Datas || !Datas->Table1->active() || Datas->Table1->isEmpty())
        return QStringLiteral("Stoffinfo");
    return Datas->Table1->fieldByName("NAME1").asString().trimmed();
}

} // namespace

TStoffinfoDateiDialog::TStoffinfoDateiDialog(QWidget* parent, const QString& caption, QSize client, Knopf ok,
                                             Knopf abbruch, const char* durchsuchenName)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(caption);
    setFixedSize(client);

    GroupBox1 = new QGroupBox(QStringLiteral("Dateiname"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    m_durchsuchen = knopf(GroupBox1, durchsuchenName, QStringLiteral("&Durchsuchen"),
                          QStringLiteral("Wählen Sie hier den Dateinamen des Stoffinfos aus"));
    auto* zeile = new QHBoxLayout(GroupBox1);
    zeile->addWidget(Edit1, 1);
    zeile->addWidget(m_durchsuchen);

    Button1 = knopf(this, "Button1", ok.text, ok.hinweis);
    Button1->setDefault(true);
    Button1->setEnabled(false);
    Button2 = knopf(this, "Button2", abbruch.text, abbruch.hinweis);

    OpenDialog1 = new QFileDialog(this, QStringLiteral("Öffnen"));
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setDefaultSuffix(QStringLiteral("STO"));
    OpenDialog1->setNameFilter(QStringLiteral("Stoffinfo (*.STO *.sto);;Alle Dateien (*)"));

    connect(m_durchsuchen, &QPushButton::clicked, this, &TStoffinfoDateiDialog::Durchsuchen);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TStoffinfoDateiDialog::FormCreate()
{
    if (!OptStandardStoffinfo.isEmpty()) {
        Edit1->setText(OptStandardStoffinfo);
        Button1->setEnabled(true);
    }
}

void TStoffinfoDateiDialog::showEvent(QShowEvent* event)
{
    widgets::moveToScreenCentre(this);
    QDialog::showEvent(event);
}

void TStoffinfoDateiDialog::Durchsuchen()
{
    if (!Edit1->text().isEmpty())
        OpenDialog1->selectFile(Edit1->text());
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    Edit1->setText(OpenDialog1->selectedFiles().constFirst());
    Button1->setEnabled(true);
}

bool TStoffinfoDateiDialog::LoadStoffinfo()
{
    const QString datei = Edit1->text();
    if (datei.trimmed().isEmpty()) {
        widgets::MessageBox::error(this, QStringLiteral("Bitte geben Sie den Dateinamen des Stoffinfos an."));
        return false;
    }
    try {
        StoffInfo->LoadStoffinfo(datei);
        return true;
    } catch (const stream::StreamError& e) {
        widgets::MessageBox::error(this, QStringLiteral("Das Stoffinfo-Layout wurde nicht geladen.\n") +
                                             widgets::errorText(e));
        return false;
    }
}

TStoffinfoDruck::TStoffinfoDruck(QWidget* parent)
    : TStoffinfoDateiDialog(parent, QStringLiteral("Stoffinfo Druck"), QSize(391, 203),
                            {QStringLiteral("&Ja"), QStringLiteral("Drücken Sie hier, um das Stoffinfo zu drucken")},
                            {QStringLiteral("&Nein"),
                             QStringLiteral("Drücken Sie hier, um den Stoffinfodruck zu verlassen")},
                            "Button4")
    , m_ziel(aktuellerStoff())
{
    setObjectName(QStringLiteral("StoffinfoDruck"));
    Label1 = new QLabel(frage(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(15, 8, 361, 73);
    GroupBox1->setGeometry(15, 84, 361, 65);
    Button1->setGeometry(15, 162, 90, 28);
    Button2->setGeometry(113, 162, 90, 28);
    Button3 = knopf(this, "Button3", QStringLiteral("&Druckerinstallation"),
                    QStringLiteral("Drücken Sie hier, um eine Druckerinstallation vorzunehmen"));
    Button3->setGeometry(226, 162, 150, 28);
    Button4 = durchsuchenKnopf();
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->hide();

    connect(Button1, &QPushButton::clicked, this, &TStoffinfoDruck::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TStoffinfoDruck::Button3Click);
}

QString TStoffinfoDruck::frage() const
{
    return m_ziel.frage(QStringLiteral("das Stoffinfo des aktuellen Datensatzes"));
}

void TStoffinfoDruck::Button1Click()
{
    if (!LoadStoffinfo() || !m_ziel.bestaetigen(this))
        return;
    StoffInfo->DruckModus = 1;
    if (StoffInfo->Erstellen())
        accept();
}

void TStoffinfoDruck::Button3Click()
{
    m_ziel.einrichten(this);
    Label1->setText(frage());
}

TStoffinfoLayout::TStoffinfoLayout(QWidget* parent)
    : TStoffinfoDateiDialog(parent, QStringLiteral("Stoffinfo Layout"), QSize(396, 135),
                            {QStringLiteral("&Ok"), QStringLiteral("Drücken Sie hier, um das Stoffinfo anzuzeigen")},
                            {QStringLiteral("&Abbruch"),
                             QStringLiteral("Drücken Sie hier, um das StoffinfoLayout zu verlassen")},
                            "Button3")
{
    setObjectName(QStringLiteral("StoffinfoLayout"));
    GroupBox1->setGeometry(15, 10, 366, 65);
    Button1->setGeometry(15, 92, 90, 28);
    Button2->setGeometry(113, 92, 90, 28);
    Button3 = durchsuchenKnopf();

    connect(Button1, &QPushButton::clicked, this, &TStoffinfoLayout::Button1Click);
}

void TStoffinfoLayout::Button1Click()
{
    if (LoadStoffinfo())
        accept();
}
