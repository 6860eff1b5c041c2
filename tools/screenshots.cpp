// Takes the README's pictures of the real windows on a demo database: the
// main window and the query dialog, driven through their own controls and
// keys. tools/screenshots.sh runs it under Xvfb beside a fresh demo database.
//
// Usage: screenshots <folder for the PNG files>
//
// A new picture is a few lines in main(): bring the window to the state to
// show, then Shot(window, "name").

#include "DBGrid.h"
#include "FrmMassAmend.h"
#include "Getdata.h"
#include "SelectGrid.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TRadioGroup.h"
#include "TRecordingMessages.h"
#include "TSpeedButton.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace
{

QString OutputDir;
QStringList Saved;
bool Failed = false;

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void Shot(QWidget* window, const QString& name)
{
    Settle();
    const QString path = OutputDir + u'/' + name + QStringLiteral(".png");
    if (!window->grab().save(path, "PNG", 9)) {
        std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
        Failed = true;
        return;
    }
    Saved << path;
}

// A key as the operator presses it, through the widget's own handling.
void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

// In the open query dialog: one condition (product name containing a word),
// the search, three rows marked with Space, the picture, then 確定.
void PickProducts(TFrmgetdata& dialog)
{
    dialog.ComboBox1->SetItemIndex(dialog.ComboBox2->findText(QStringLiteral("PROD_NAME")));
    dialog.RadioGroup1->SetItemIndex(2);
    dialog.Edit1->setText(QStringLiteral("綠茶"));
    dialog.SpeedButton3->click();
    dialog.SpeedButton1->click();
    Settle();
    // The product names in view; the code, second code and barcode come first.
    dialog.DBGrid1->SetSelectedIndex(3);
    dialog.DBGrid1->setFocus();
    for (const int step : {1, 2, 2}) {
        for (int i = 0; i < step; ++i)
            Press(dialog.DBGrid1, Qt::Key_Down);
        Press(dialog.DBGrid1, Qt::Key_Space);
    }
    Shot(&dialog, QStringLiteral("query-dialog"));
    dialog.BTCMDOK->click();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <folder for the PNG files>\n");
        return 2;
    }
    OutputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    TApplication application;
    // A box would wait for a click that never comes: every one is recorded
    // and reported instead.
    TRecordingMessages boxes;
    int result = 0;
    try {
        TFormMassAmend form;
        FormMassAmend = &form;
        form.show();
        Settle();

        // 商品選擇: the dialog runs modally, so it is driven from inside its loop.
        QTimer::singleShot(0, [] {
            if (Frmgetdata && Frmgetdata->isVisible()) PickProducts(*Frmgetdata);
        });
        form.SpeedButton1->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.DBGrid1->setFocus();
        Shot(&form, QStringLiteral("main-products"));

        // 替換欄位 門市售價 = 39, then 更動: the value in every listed product.
        const QString column = QStringLiteral("PSALE_PRICE");
        form.ComboBox1->SetItemIndex(form.ComboBox2->findText(column));
        form.Edit1->setText(QStringLiteral("39"));
        form.Button1->click();
        form.DBGrid1->SetSelectedIndex(form.CDS_PRODUCT->FieldByName(column)->Index());
        Shot(&form, QStringLiteral("main-changed"));
    } catch (...) {
        application.HandleException(std::current_exception());
        result = 1;
    }
    for (const TRecordingMessages::Box& box : std::as_const(boxes.Boxes)) {
        std::fprintf(stderr, "screenshots: the program showed \"%s\"\n", qPrintable(box.Text));
        result = 1;
    }
    for (const QString& path : std::as_const(Saved))
        std::printf("%s\n", qPrintable(path));
    return Failed ? 1 : result;
}
