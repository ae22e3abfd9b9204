#include "app/Ueber.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Shell.h"
#include "widgets/ScreenCentre.h"

const QString TUeber::Herstelleradresse = QStringLiteral("https://www.marlex99.example/");

TUeber::TUeber(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ueber"));
    setWindowTitle(QStringLiteral("Über..."));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setFixedSize(305, 329);

    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Marlex99"));
    QFont gross = Label1->font();
    gross.setPointSize(24);
    gross.setBold(true);
    Label1->setFont(gross);
    Label2 = label("Label2", QStringLiteral("für Windows 95 / 98 / NT"));
    Label5 = label("Label5", {});
    Label6 = label("Label6", {});
    Label7 = label("Label7", Herstelleradresse);
    Label7->setCursor(Qt::PointingHandCursor);
    QFont verweis = Label7->font();
    verweis.setUnderline(true);
    Label7->setFont(verweis);
    Label7->setStyleSheet(QStringLiteral("color: palette(link);"));
    Label7->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setToolTip(QStringLiteral("Drücken Sie hier, um das Fenster zu verlassen"));

    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    for (QLabel* l : {Label1, Label2, Label5, Label6})
        layout->addWidget(l);
    layout->addStretch();
    layout->addWidget(Label7);
    layout->addStretch();
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();

    widgets::centreOnScreen(this);
}

void TUeber::FormCreate()
{
    Label5->setText(QStringLiteral("Version 1.01"));
    Label6->setText(QStringLiteral("Build 990523"));
}

bool TUeber::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label7 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label7Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TUeber::Label7Click()
{
    Shell::oeffnenOderMelden(this, QUrl(Herstelleradresse));
}
