#include "labels/EtikettenDateiDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/Marlex.h"
#include "data/Optionen.h"
#include "widgets/ScreenCentre.h"

TEtikettenDateiDialog::TEtikettenDateiDialog(QWidget* parent, const QString& caption, const QString& okText,
                                             const QString& okHinweis, const QString& abbruchHinweis)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(caption);

    GroupBox1 = new QGroupBox(QStringLiteral("Etikettendatei"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Edit5 = new QLineEdit(GroupBox1);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    Edit5->setMinimumWidth(260);
    Button3 = new QPushButton(QStringLiteral("&Durchsuchen"), GroupBox1);
    Button3->setObjectName(QStringLiteral("Button3"));
    auto* zeile = new QHBoxLayout(GroupBox1);
    zeile->addWidget(Edit5, 1);
    zeile->addWidget(Button3);

    Button1 = new QPushButton(okText, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(okHinweis);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Abbruch"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(abbruchHinweis);

    OpenDialog1 = new QFileDialog(this, QStringLiteral("Öffnen"));
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setDefaultSuffix(QStringLiteral("ETI"));
    OpenDialog1->setNameFilters({QStringLiteral("Etiketten-Dateien (*.ETI *.eti)"), QStringLiteral("Alle Dateien (*)")});

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &TEtikettenDateiDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TEtikettenDateiDialog::Button3Click);
    FormCreate();
}

void TEtikettenDateiDialog::FormCreate()
{
    Edit5->setText(OptStandardEtikett);
    // Only OK in this showing confirms; an earlier job's answer does not
    // count.
    if (Marlex)
        Marlex->EtikettDialogOk = 0;
}

void TEtikettenDateiDialog::showEvent(QShowEvent* event)
{
    setFixedSize(sizeHint());
    widgets::moveToScreenCentre(this);
    QDialog::showEvent(event);
}

void TEtikettenDateiDialog::Button1Click()
{
    if (Marlex) {
        // A blank typed before or after the name is no part of it.
        Marlex->EtikettDatei = Edit5->text().trimmed();
        Marlex->EtikettDialogOk = 1;
    }
    accept();
}

void TEtikettenDateiDialog::Button2Click()
{
    if (Marlex)
        Marlex->EtikettDialogOk = 0;
    reject();
}

void TEtikettenDateiDialog::Button3Click()
{
    if (!Edit5->text().isEmpty())
        OpenDialog1->selectFile(Edit5->text());
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    Edit5->setText(QFileInfo(OpenDialog1->selectedFiles().constFirst()).absoluteFilePath());
}
