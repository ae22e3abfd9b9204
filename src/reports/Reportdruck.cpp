#include "reports/Reportdruck.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "widgets/ScreenCentre.h"

TReportdruck::TReportdruck(QWidget* parent, const QString& layoutDatei)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
    , m_ziel(layoutDatei.isEmpty() ? QStringLiteral("Report") : QFileInfo(layoutDatei).completeBaseName())
{
    setObjectName(QStringLiteral("Reportdruck"));
    setWindowTitle(QStringLiteral("Reportdruck"));
    setFixedSize(391, 128);

    Label1 = new QLabel(frage(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(15, 8, 361, 73);

    const auto knopf = [this](const char* name, const QString& text, int left, int width) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(left, 88, width, 28);
        return button;
    };
    Button1 = knopf("Button1", QStringLiteral("&Ja"), 15, 90);
    Button1->setDefault(true);
    Button2 = knopf("Button2", QStringLiteral("&Nein"), 113, 90);
    Button3 = knopf("Button3", QStringLiteral("&Druckerinstallation"), 226, 150);

    connect(Button1, &QPushButton::clicked, this, &TReportdruck::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TReportdruck::Button3Click);
}

QString TReportdruck::frage() const
{
    return m_ziel.frage(QStringLiteral("der akteulle Report"));
}

void TReportdruck::Button1Click()
{
    if (m_ziel.bestaetigen(this))
        accept();
}

void TReportdruck::Button3Click()
{
    m_ziel.einrichten(this);
    Label1->setText(frage());
}

void TReportdruck::showEvent(QShowEvent* event)
{
    widgets::moveToScreenCentre(this);
    QDialog::showEvent(event);
}
