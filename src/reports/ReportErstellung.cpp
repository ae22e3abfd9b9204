// The dialog of the report generator: the drive, directory and file lists
// that choose the report layout, the output and the two buttons. The runs
// themselves are in ReportLauf.cpp.

#include "reports/ReportErstellung.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/Marlex.h"

namespace {

const QString kNachOben = QStringLiteral("[..]");

// Report layouts carry the extension in capitals on the machines they come
// from, in small letters after some copies.
bool istReportdatei(const QFileInfo& datei)
{
    return datei.suffix().compare(QLatin1String("REP"), Qt::CaseInsensitive) == 0;
}

bool hatReportdateien(const QDir& verzeichnis)
{
    const QFileInfoList dateien = verzeichnis.entryInfoList(QDir::Files);
    return std::any_of(dateien.begin(), dateien.end(), istReportdatei);
}

} // namespace

TReportErstellung::TReportErstellung(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ReportErstellung"));
    setWindowTitle(QStringLiteral("Report erstellen"));
    resize(520, 380);

    GroupBox1 = new QGroupBox(QStringLiteral("Reportdatei"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral("Wählen Sie hier die gewünschte Reportdatei aus"));
    DriveComboBox1 = new QComboBox(GroupBox1);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    for (const QFileInfo& laufwerk : QDir::drives())
        DriveComboBox1->addItem(QDir::toNativeSeparators(laufwerk.absolutePath()), laufwerk.absolutePath());
    DirLabel = new QLabel(GroupBox1);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));
    DirLabel->setWordWrap(true);
    DirectoryListBox1 = new QListWidget(GroupBox1);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    FileListBox1 = new QListWidget(GroupBox1);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    auto* listen = new QHBoxLayout;
    listen->addWidget(DirectoryListBox1, 1);
    listen->addWidget(FileListBox1, 1);
    auto* dateiSpalte = new QVBoxLayout(GroupBox1);
    dateiSpalte->addWidget(DriveComboBox1);
    dateiSpalte->addWidget(DirLabel);
    dateiSpalte->addLayout(listen, 1);

    RadioGroup1 = new QGroupBox(QStringLiteral("Ausgabe"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setToolTip(QStringLiteral("Wählen Sie hier die Reportausgabe aus"));
    Bildschirm = new QRadioButton(QStringLiteral("Bildschirm"), RadioGroup1);
    Bildschirm->setObjectName(QStringLiteral("Bildschirm"));
    Drucker = new QRadioButton(QStringLiteral("Drucker"), RadioGroup1);
    Drucker->setObjectName(QStringLiteral("Drucker"));
    m_ausgabe = new QButtonGroup(this);
    m_ausgabe->addButton(Bildschirm, AusgabeBildschirm);
    m_ausgabe->addButton(Drucker, AusgabeDrucker);
    Bildschirm->setChecked(true);
    auto* ausgabeSpalte = new QVBoxLayout(RadioGroup1);
    ausgabeSpalte->addWidget(Bildschirm);
    ausgabeSpalte->addWidget(Drucker);
    ausgabeSpalte->addStretch(1);

    Button1 = new QPushButton(QStringLiteral("&Erstellen"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("Drücken Sie hier, um den Report zu erstellen"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Schließen"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(QStringLiteral("Drücken Sie hier, um die Reporterstellung abzubrechen"));
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->hide();

    auto* rechts = new QVBoxLayout;
    rechts->addWidget(RadioGroup1);
    rechts->addStretch(1);
    rechts->addWidget(Button1);
    rechts->addWidget(Button2);
    auto* haupt = new QHBoxLayout(this);
    haupt->addWidget(GroupBox1, 1);
    haupt->addLayout(rechts);

    connect(FileListBox1, &QListWidget::itemClicked, this, &TReportErstellung::FileListBox1Click);
    connect(FileListBox1, &QListWidget::currentRowChanged, this, [this](int zeile) {
        if (zeile >= 0)
            FileListBox1Click();
    });
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TReportErstellung::DirectoryListBox1DblClick);
    connect(DriveComboBox1, &QComboBox::activated, this, &TReportErstellung::DriveComboBox1Change);
    connect(Button1, &QPushButton::clicked, this, &TReportErstellung::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // The lists start in the current directory, the register's; the layouts
    // of a fresh installation lie beside the program, so the lists start
    // there when the register's directory holds none.
    QDir start = QDir::current();
    if (!hatReportdateien(start) && !Programmverzeichnis.isEmpty() && hatReportdateien(QDir(Programmverzeichnis)))
        start = QDir(Programmverzeichnis);
    m_verzeichnis = QDir(start.absolutePath());
    verzeichnisZeigen();
    RadioGroup1->setEnabled(false);
    Button1->setEnabled(false);
}

TReportErstellung::~TReportErstellung() = default;

void TReportErstellung::VerzeichnisSetzen(const QString& pfad)
{
    m_verzeichnis = QDir(QDir::cleanPath(QDir(pfad).absolutePath()));
    verzeichnisZeigen();
    DirectoryListBox1Change();
}

void TReportErstellung::verzeichnisZeigen()
{
    DirLabel->setText(QDir::toNativeSeparators(m_verzeichnis.absolutePath()));
    const int laufwerk = DriveComboBox1->findData(QDir(m_verzeichnis.absolutePath()).rootPath());
    if (laufwerk >= 0)
        DriveComboBox1->setCurrentIndex(laufwerk);

    DirectoryListBox1->clear();
    if (!m_verzeichnis.isRoot())
        DirectoryListBox1->addItem(kNachOben);
    DirectoryListBox1->addItems(m_verzeichnis.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));

    FileListBox1->clear();
    for (const QFileInfo& datei : m_verzeichnis.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (istReportdatei(datei))
            FileListBox1->addItem(datei.fileName());
}

QString TReportErstellung::GewaehlteDatei() const
{
    const QListWidgetItem* eintrag = FileListBox1->currentItem();
    return eintrag && eintrag->isSelected() ? m_verzeichnis.absoluteFilePath(eintrag->text()) : QString();
}

int TReportErstellung::RadioGroup1ItemIndex() const
{
    return m_ausgabe->checkedId();
}

void TReportErstellung::FileListBox1Click()
{
    RadioGroup1->setEnabled(true);
    Button1->setEnabled(true);
}

void TReportErstellung::DirectoryListBox1Change()
{
    RadioGroup1->setEnabled(false);
    Button1->setEnabled(false);
    // A file of the same name in the directory chosen again is read again.
    m_geladeneDatei.clear();
}

void TReportErstellung::DirectoryListBox1DblClick(QListWidgetItem* item)
{
    if (!item)
        return;
    VerzeichnisSetzen(item->text() == kNachOben ? m_verzeichnis.absoluteFilePath(QStringLiteral(".."))
                                                : m_verzeichnis.absoluteFilePath(item->text()));
}

void TReportErstellung::DriveComboBox1Change(int index)
{
    VerzeichnisSetzen(DriveComboBox1->itemData(index).toString());
}

void TReportErstellung::Button1Click()
{
    Erstellen(GewaehlteDatei(), RadioGroup1ItemIndex() == AusgabeDrucker ? AusgabeDrucker : AusgabeBildschirm);
}
