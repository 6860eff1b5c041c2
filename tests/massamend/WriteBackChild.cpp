// The main window's write-back in a process of its own, for the tests that
// signal or kill a program in the middle of one (tst_writebackinterrupted):
// the window is built as at start-up, its list loaded as the selection button
// loads it, and 回存 pressed from the message loop, with the program's own
// termination signal handling.
//
//   writebackchild CODES-FILE COLUMN VALUE JOURNAL-FILE [GO-FILE]
//
// The per-user settings (XDG_CONFIG_HOME) name the database. It prints
// "ready" once its list is loaded and, given a GO-FILE, waits for that file
// before it presses 回存, so that several start at one moment. Then "start
// N" when the run begins, "step K" after each row, "waiting" once a statement
// waits, every box as "box: TEXT", "retries N" for the statements run again
// after a conflict, and at its end "cpu MS", the processor time it used.

#include "FrmMassAmend.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TMessageService.h"
#include "TProductSelection.h"
#include "TProgressSink.h"
#include "TRecordingMessages.h"
#include "TTerminationSignals.h"
#include "TWriteBack.h"
#include "TWriteBackJournal.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>

namespace
{

void Say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class TellingProgress : public TProgressSink
{
public:
    void Start(int total) override { Say("start " + QByteArray::number(total)); }
    bool Step(int done) override
    {
        Say("step " + QByteArray::number(done));
        return true;
    }
    bool Update(int done, bool waiting) override
    {
        if (waiting && !FToldWaiting.exchange(true)) Say("waiting");
        return true;
    }
    void Finish() override {}

private:
    std::atomic<bool> FToldWaiting{false};
};

qint64 CpuMilliseconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

} // namespace

int main(int argc, char* argv[])
{
    TTerminationSignals::Install();
    QApplication qtApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5 && args.size() != 6) {
        Say("usage: writebackchild CODES-FILE COLUMN VALUE JOURNAL-FILE [GO-FILE]");
        return 2;
    }
    TApplication application;
    TRecordingMessages boxes;
    SetMessageService(&boxes);
    const TTerminationSignals terminationSignals;
    int result = 0;
    try {
        QFile codesFile(args.at(1));
        if (!codesFile.open(QIODevice::ReadOnly)) throw std::runtime_error("no codes file");
        const QStringList codes =
            QString::fromUtf8(codesFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        TFormMassAmend form;
        form.Journal().SetFileName(args.at(4));
        form.SetProgress(std::make_unique<TellingProgress>());
        const TSelectCommand command = TProductSelection::SelectCommand(codes);
        form.CDS_PRODUCT->SetPacketRecords(-1);
        form.CDS_PRODUCT->Close();
        form.CDS_PRODUCT->SetCommandText(command.Text);
        form.CDS_PRODUCT->SetParamBatches(command.ParamBatches);
        form.CDS_PRODUCT->Open();
        form.ComboBox1->SetItemIndex(form.ComboBox2->findText(args.at(2)));
        form.Edit1->setText(args.at(3));
        Say("ready");
        if (args.size() == 6)
            while (!QFile::exists(args.at(5)))
                QThread::msleep(2);
        QTimer::singleShot(0, &form, [&form] {
            form.Button2Click(form.Button2);
            QCoreApplication::quit();
        });
        result = QCoreApplication::exec();
        Say("retries " + QByteArray::number(form.LastOutcome().Retries));
    } catch (...) {
        Say("error: " + TApplication::ExceptionMessage(std::current_exception()).toUtf8());
        result = 1;
    }
    for (const QString& text : boxes.Texts())
        Say("box: " + text.toUtf8());
    Say("cpu " + QByteArray::number(CpuMilliseconds()));
    return result;
}
