#pragma once

#include "ExpertLogic.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QString>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QScrollArea;
class TButtonEdit;
class TFontField;
class TFormEnhance;
class TMultiEdit;

// Shows the puzzle expert modally over owner. Returns the full path of the
// puzzle it saved when it closed after a successful save, else empty; the
// main window opens that puzzle.
QString ShowPuzzleExpert(QWidget *owner);

// The puzzle expert "Puzzleexperte": cuts a picture into a grid of square
// parts, shows them on their background with the cut lines, and saves a
// shuffled picture puzzle.
class TFormExpert : public QDialog
{
    Q_OBJECT

public:
    explicit TFormExpert(QWidget *owner);
    ~TFormExpert() override;

    // ---- controls ----
    QLineEdit *EditTitle = nullptr;
    TButtonEdit *EditPath = nullptr;
    QComboBox *EditBack = nullptr;
    TMultiEdit *EditUnit = nullptr;
    TMultiEdit *EditBorder = nullptr;
    TMultiEdit *EditBackSizeOff = nullptr;
    QCheckBox *ChkNummern = nullptr;
    TFontField *EditFont = nullptr;
    QPushButton *BtnStandard = nullptr;
    TMultiEdit *EditPartX = nullptr;
    TMultiEdit *EditPartY = nullptr;
    QCheckBox *ChkAllwaysRandom = nullptr;
    QPushButton *BtnSave = nullptr;
    QPushButton *BtnOpen = nullptr;
    QPushButton *BtnCancel = nullptr;
    QScrollArea *ScrollBox = nullptr;
    QFrame *PnlOuter = nullptr;
    QWidget *Preview = nullptr;
    QLabel *ImgDeco = nullptr;
    TFormEnhance *FormEnhance = nullptr;

    // ---- pictures ----
    QImage Image;    // the source picture
    QImage BackTile; // the background tile of the preview
    // The path the source picture came from (what the picture field shows
    // after a picture was taken); empty for the built-in sample.
    QString PicturePath;
    // The save dialog's file name (set by "Laden..." and by a save).
    QString SaveFileName;
    QString SavedPuzzleFile; // what SaveAs saved (the full path as chosen)
    QString ChosenPuzzle;    // the puzzle the selection dialog chose last
    // The caption colour that goes with the font field's font.

    TExpertGrid Grid;
    bool FPathBusy = false;

    // ---- handlers ----
    void FormResize();
    void EditChange();
    void EditPathChange();
    void EditBackChange(bool repaint = true);
    void EditUnitChange(TGridChange source);
    void EditBorderChange();
    void EditBackSizeOffChange();
    void ChkNummernClick();
    void PreviewPaint(QPainter &painter, const QRect &exposed);
    void BtnOpenClick();
    void BtnSaveClick();
    void LayoutPreview();

    // What follows the picture dialog's OK: takes the picture at path, or
    // rejects it with a message and keeps the previous one. True when taken.
    bool TakePicture(const QString &path);
    // What follows the selection dialog's OK: fills the expert from a
    // puzzle file. A puzzle that cannot be loaded is reported and changes
    // nothing.
    void LoadFromPuzzle(const QString &fileName);
    // What follows the save dialog's OK: saves the puzzle under the name part
    // of fileName, sets SavedPuzzleFile and closes with OK. A failure is
    // reported and the expert stays open.
    void SaveAs(const QString &fileName);

    // The puzzle as the fields describe it.
    TExpertPuzzle CurrentPuzzle() const;
    // The built-in pictures.
    static QImage SamplePicture();
    static QImage BackPicture();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void done(int result) override;

private:
    void CreateControls();
    void FillBackList();
    bool FOpening = true;
    QWidget *FScrollContent = nullptr;
    QWidget *FTopPanel = nullptr;
};
