#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TButtonEdit;
class TFontField;
class TFormEnhance;
class TMultiEdit;
class TZarvoPad;

// The properties dialog "Eigenschaften": the look of the puzzle in the
// active puzzle window (unit size, bevel width, caption font, background and
// piece pictures). Applying writes the look into the puzzle file and opens
// the puzzle window again from the game state "Temp", so the game goes on
// with the new look.
class TFormProperties : public QDialog
{
    Q_OBJECT

public:
    // Closes the puzzle window of the current board (the game state "Temp"
    // has just been written) and opens it again from "Temp" at the same
    // place. Returns the new window's board, or nullptr when it could not be
    // opened (the window reports why).
    using TReopen = std::function<TZarvoPad *()>;

    TFormProperties(QWidget *owner, TZarvoPad *board, TReopen reopen);
    ~TFormProperties() override;

    // ---- controls ----
    QTabWidget *PageControl = nullptr;
    TMultiEdit *EditUnit = nullptr;
    TMultiEdit *EditBorder = nullptr;
    TFontField *EditFont = nullptr;
    QPushButton *BtnStandard = nullptr;
    QComboBox *EditBack = nullptr;
    QComboBox *EditZarvos = nullptr;
    QLabel *ImgBack = nullptr;
    QLabel *ImgZarvos = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnCancel = nullptr;
    QPushButton *BtnTake = nullptr;
    TFormEnhance *FormEnhance = nullptr;

    // ---- state ----
    TZarvoPad *FBoard = nullptr;
    QString FBackName;
    QString FZarvosName;
    // The pictures the two previews show (empty when none).
    QImage BackPreview;
    QImage ZarvosPreview;

    // ---- handlers ----
    void EditBackChange();
    void EditZarvosChange();
    void PropertyChange();
    // Applies the changes; false when the puzzle window could not be opened
    // again (the dialog then has nothing left to edit).
    bool BtnTakeClick();
    void BtnOkClick();

protected:
private:
    void CreateControls();
    void ShowBoardFont();
    void ShowPreview(QLabel *label, QImage &store, const QImage &picture);
    TReopen FReopen;
};

// Shows the properties dialog for board modally over owner.
void ShowPuzzleProperties(QWidget *owner, TZarvoPad *board, TFormProperties::TReopen reopen);
