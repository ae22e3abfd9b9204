#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace ini {
class IniFile;
}
namespace report {
class PageBuilder;
class PreviewWidget;
} // namespace report

// The print preview of the sheet, report and label engines: pages, zoom,
// saving as PDF or as a page file of ours, and its place, size, state and
// zoom kept in the settings section "Vorschau". It does not print: a
// previewed report is printed by its own print command.
//
// An engine lays out its report with a preview PageBuilder and calls
// zeigen(). The window starts the build; the pages are built in slices on
// this thread, so the window opens at once with page one while later pages
// are still coming. The engine's restore belongs in the report's
// events.afterPreview: when the window closes it closes the builder, which
// stops the build between two bands and then runs afterPreview exactly once,
// before zeigen() returns. No other thread ever touches the tables.
class TVorschau : public QDialog {
    Q_OBJECT
public:
    // Shows the preview modally under owner with the caller's caption
    // ("Vorschau - Report", ...). The builder must be a preview builder
    // that outlives the call.
    static void zeigen(QWidget* owner, const QString& caption, report::PageBuilder& builder,
                       ini::IniFile& iniDatei);

    // Takes its geometry and state from the settings and starts the build;
    // show() or exec() it. zeigen() is the way the engines open it.
    TVorschau(QWidget* owner, report::PageBuilder& builder, ini::IniFile& iniDatei);
    // Closes the builder if the window never closed, so the restore runs.
    ~TVorschau() override;

    // Every way of closing ends here: the settings are written (a failure is
    // reported and never keeps the window open) and the builder is closed.
    void done(int result) override;

    QToolBar* ToolBar1;
    QToolButton* ToolButton3; // "Erste Seite"
    QToolButton* ToolButton4; // "Vorherige Seite"
    QToolButton* ToolButton5; // "Nächste Seite"
    QToolButton* ToolButton6; // "Letzte Seite"
    QToolButton* ToolButton2; // save
    QComboBox* ComboBox1;     // zoom in percent: item i is (i + 1) * 10
    QPushButton* Button1;     // "Schließen"
    report::PreviewWidget* QRPreview1;
    QStatusBar* StatusBar1;
    QLabel* Panel0; // "Seite n von m"
    QLabel* Panel1; // stays empty
    QFileDialog* SaveDialog1 = nullptr; // made at the first save

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void ComboBox1Click(int index);
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton2Click();
    void aufbauBeendet();
    void aufbauFehlgeschlagen(const QString& meldung);
    QString aufbaufehler(const QString& meldung) const;

    void seitenTextSetzen();
    void speichern(const QString& fileName, bool alsSeitendatei);
    bool seitenVollstaendig();
    QString builderSchliessen();

    QPointer<report::PageBuilder> m_builder;
    ini::IniFile& m_iniDatei;
};
