#pragma once

#include <QDialog>
#include <QImage>
#include <QSize>
#include <QString>

class QFileDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace report {
struct Page;
}

// "Exportieren des aktuellen Etiketts": the label of the storage table's
// current stock item saved as a picture for other programs, as a Windows
// metafile, a Windows bitmap or a GIF image by the main window's
// ExportFormat (0, 1, 2). The label is drawn by the label engine from the
// chosen label file; the file name is asked for once the label is drawn, so
// a label that cannot be drawn is told before the user names a file.
// Made to live while shown: create, exec, destroy.
class TEtikettExport : public QDialog {
    Q_OBJECT
public:
    explicit TEtikettExport(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;                 // the label file ("*.ETI")
    QPushButton* Button3;             // "&Durchsuchen"
    QPushButton* Button1;             // "&Exportieren"
    QPushButton* Button2;             // "&Abbruch"
    // The file dialogs; not native, so that tests can answer them.
    QFileDialog* OpenDialog1;         // the label file
    QFileDialog* SavePictureDialog1;  // WMF and BMP
    QFileDialog* SaveDialog1;         // GIF

    // Draws the label and, once the user has named the file, writes it.
    // The dialog closes when the file was written or the file dialog was
    // cancelled; a label that cannot be drawn or a file that cannot be
    // written is a German message and the dialog stays open.
    void Button1Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
};

// The label page's pixels at 96 dpi on white, drawn without smoothing, so
// every pixel has one of the label's own colours (few enough for a GIF
// palette). A null image when the memory for it cannot be had.
QImage EtikettBitmap(const report::Page& seite, QSize pixel);

// Writes the drawn label (`pixel` its size at 96 dpi) as `datei` in the
// export format `format` (0 metafile, 1 bitmap, 2 GIF). An existing file is
// replaced only by a complete new one. Returns the German message of a
// failure (the file untouched), empty on success.
QString EtikettBildSchreiben(int format, const QString& datei, const report::Page& seite, QSize pixel);
