// Export of the data log and of the system log as tab-separated text: a heading
// line, then one line per row in the displayed order, every field followed by a tab.
//
// Files are written through QSaveFile, so a failed export leaves neither a partial
// file nor a damaged earlier one; the user is told which file failed and why.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "../ui/wdwmain.h"
#include "datalogmodel.h"

namespace {
// What an export needs to know of a list.
struct ExportedList {
    QStringList headings;
    qsizetype rows = 0;
    // Appends row's fields, each followed by a tab, without the line end.
    std::function<void(qsizetype row, QByteArray& line)> appendRow;
    // False once the rows being written have gone (the list was cleared meanwhile).
    std::function<bool()> stillThere = [] { return true; };
};

// Written in large pieces: a million rows are a few dozen megabytes.
constexpr qsizetype kChunk = 1 << 20;
// A long export shows its progress and lets the window paint.
constexpr qint64 kShowProgressAfterMs = 500;
constexpr qint64 kRepaintEveryMs = 50;

// Received bytes are single-byte characters (as the table shows them); the file is
// UTF-8 throughout, like the system log's texts.
void appendLatin1(QByteArray& out, QByteArrayView text)
{
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from != end) {
        const char* ascii = from;
        while (ascii != end && quint8(*ascii) < 0x80) ++ascii;
        out.append(from, ascii - from);
        if (ascii == end) break;
        const auto byte = quint8(*ascii);
        out.append(char(0xc0 | (byte >> 6)));
        out.append(char(0x80 | (byte & 0x3f)));
        from = ascii + 1;
    }
}

// Unbuffered writes report a failure where it happens; a short write is retried so
// that the second attempt tells why (a full disk, a file size limit).
bool writeAll(QSaveFile& file, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0) return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

void exportList(QWidget* window, Prompter* prompter, const QString& defaultName,
                const std::function<ExportedList()>& takeList)
{
    const QString path = prompter->saveFileName(defaultName);
    if (path.isEmpty()) return;
    const ExportedList list = takeList();

    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        file.cancelWriting();
        prompter->message(QStringLiteral("The file %1 could not be written: %2")
                              .arg(QDir::toNativeSeparators(path), reason));
    };
    // Unbuffered: a buffered QSaveFile can lose a failed final flush and commit a
    // truncated file. The export buffers in large chunks itself.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(file.errorString());
        return;
    }

    QByteArray chunk;
    chunk.reserve(kChunk + 4096);
    for (const QString& heading : list.headings) {
        chunk += heading.toUtf8();
        chunk += '\t';
    }
    chunk += '\n';

    QElapsedTimer running;
    running.start();
    qint64 lastRepaint = 0;
    std::unique_ptr<QProgressDialog> progress;
    for (qsizetype row = 0; row < list.rows; ++row) {
        list.appendRow(row, chunk);
        chunk += '\n';
        if (chunk.size() >= kChunk) {
            if (!writeAll(file, chunk)) {
                fail(file.errorString());
                return;
            }
            chunk.resize(0);
        }
        if ((row & 0xfff) != 0xfff) continue;
        const qint64 elapsed = running.elapsed();
        if (elapsed < kShowProgressAfterMs || elapsed - lastRepaint < kRepaintEveryMs) continue;
        lastRepaint = elapsed;
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(
                QStringLiteral("Writing %1").arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Cancel"), 0, 1000, window);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            progress->show();
        }
        progress->setValue(int(row * 1000 / list.rows));
        QApplication::processEvents();
        if (progress->wasCanceled()) {
            file.cancelWriting();  // the user chose to stop: nothing is written
            return;
        }
        if (!list.stillThere()) {
            fail(QStringLiteral("the list was cleared while it was being written."));
            return;
        }
    }
    // Flushed by hand: commit() does not check its own last flush (QTBUG-75077), so a
    // full disk would otherwise replace the old file by a cut-off one.
    if (!writeAll(file, chunk) || !file.flush() || !file.commit()) {
        fail(file.errorString());
        return;
    }
}
}  // namespace

void WdwMain::PushDataLogExport_Action()
{
    DataLogModel* model = mDataLogModel;
    exportList(this, mEnv.prompter, QStringLiteral("ZunoStudioLog"), [model] {
        model->publish();  // the file holds what the table shows
        ExportedList list;
        list.headings = model->headings();
        list.rows = model->storedRowCount();
        const int columns = int(model->columns().size());
        list.appendRow = [model, columns](qsizetype row, QByteArray& line) {
            for (int c = 0; c < columns; ++c) {
                appendLatin1(line, model->cell(row, c));
                line += '\t';
            }
        };
        const quint64 generation = model->generation();
        list.stillThere = [model, generation] { return model->generation() == generation; };
        return list;
    });
}

void WdwMain::PushSystemLogExport_Action()
{
    QTreeWidget* log = ListSystemLog;
    exportList(this, mEnv.prompter, QStringLiteral("ZunoStudioSystemLog"), [log] {
        ExportedList list;
        const int columns = log->columnCount();
        for (int c = 0; c < columns; ++c) list.headings << log->headerItem()->text(c);
        // The rows in the order shown now (a heading click may have sorted them);
        // entries logged while the export runs do not shift this order.
        auto items = std::make_shared<QList<QTreeWidgetItem*>>();
        items->reserve(log->topLevelItemCount());
        for (int i = 0; i < log->topLevelItemCount(); ++i) items->append(log->topLevelItem(i));
        list.rows = items->size();
        list.appendRow = [items, columns](qsizetype row, QByteArray& line) {
            const QTreeWidgetItem* item = items->at(row);
            for (int c = 0; c < columns; ++c) {
                line += item->text(c).toUtf8();
                line += '\t';
            }
        };
        return list;
    });
}
