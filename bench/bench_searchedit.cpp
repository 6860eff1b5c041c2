// Typing-to-find over 100,000 rows: what one keystroke in the search edit
// costs (the key, the text change, the search, the row move and the edit's
// own update), next to a bare Locate of the same text on the same dataset.
// Only the last row matches, so every search reads the whole table.

#include "DBSearch.h"
#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TField.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <cstdio>

namespace
{
constexpr int RowCount = 100000;
constexpr int Rounds = 200; // two keystrokes each
const QString Target = QStringLiteral("zzq-target");

void Fill(TClientDataSet& ds)
{
    ds.FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 30);
    ds.FieldDefs().Add(QStringLiteral("QTY"), TFieldType::ftInteger);
    ds.CreateDataSet();
    QRandomGenerator random(20240601);
    TField* name = ds.FieldByName(QStringLiteral("NAME"));
    TField* qty = ds.FieldByName(QStringLiteral("QTY"));
    for (int i = 0; i < RowCount; ++i) {
        QString text;
        if (i == RowCount - 1) {
            text = Target;
        } else {
            for (int c = 0; c < 10; ++c)
                text += QChar(u'a' + random.bounded(25)); // never a 'z'
        }
        ds.Append();
        name->SetAsString(text);
        qty->SetAsInteger(i);
        ds.Post();
    }
}

bool OnTarget(TClientDataSet& ds)
{
    return ds.FieldByName(QStringLiteral("NAME"))->AsString() == Target;
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TClientDataSet ds;
    Fill(ds);
    TDataSource source;
    source.SetDataSet(&ds);
    const TLocateOptions options{TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey};

    // Baseline: the bare search, from the first row each time.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Rounds; ++i)
        for (const QString& text : {QStringLiteral("zzq"), QStringLiteral("zz")}) {
            ds.First();
            if (!ds.Locate(QStringLiteral("NAME"), text, options) || !OnTarget(ds))
                return std::fprintf(stderr, "bare Locate missed the row\n"), 1;
        }
    const double locateMs = clock.nsecsElapsed() / 1e6 / (2 * Rounds);

    QWidget window;
    auto* edit = new TSearchEdit(&window);
    edit->SetDataSource(&source);
    edit->SetDataField(QStringLiteral("NAME"));
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    edit->setText(QStringLiteral("zz"));
    if (!edit->hasFocus()) return std::fprintf(stderr, "the search edit has no focus\n"), 1;

    // The same searches, one keystroke each: "zz" + q, then Backspace.
    clock.restart();
    for (int i = 0; i < Rounds; ++i)
        for (Qt::Key key : {Qt::Key_Q, Qt::Key_Backspace}) {
            ds.First();
            QTest::keyClick(edit, key);
            if (!OnTarget(ds)) return std::fprintf(stderr, "a keystroke missed the row\n"), 1;
        }
    const double keystrokeMs = clock.nsecsElapsed() / 1e6 / (2 * Rounds);

    std::printf("search edit over %d rows, partial and case-insensitive, %d keystrokes\n", RowCount,
                2 * Rounds);
    std::printf("  bare Locate        %8.3f ms per search\n", locateMs);
    std::printf("  search edit key    %8.3f ms per keystroke (goal under 5 ms)\n", keystrokeMs);
    std::printf("  ratio              %8.2f\n", keystrokeMs / locateMs);
    return keystrokeMs < 5.0 ? 0 : 2;
}
