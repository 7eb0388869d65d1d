#pragma once
// The data log table: hours of sentences at the full line rate, kept compactly.
//
// Rows are append-only. Their cell texts live in large memory blocks: the text of
// each row is packed from the front of a block (every cell a length and its bytes)
// and the row's offset is stored from the back of the same block, so a row costs
// its text plus a few bytes, and a stored row never moves while later rows arrive.
//
// Appended rows are announced to the views in batches (see setPublishDelay): a
// QTreeView lays out all its rows on every insertion, so announcing each row of a
// long log separately would keep the window busy.
#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <span>
#include <vector>

#include "datalogfields.h"

class DataLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataLogModel(QObject* parent = nullptr);
    ~DataLogModel() override;

    // The columns: a heading and what each one records. Removes all rows.
    void setColumns(const QStringList& headings, const QList<DataLogFields::Column>& columns);
    const QList<DataLogFields::Column>& columns() const { return mColumns; }
    const QStringList& headings() const { return mHeadings; }

    // Removes all rows; the columns stay.
    void clearRows();

    // Appends one row, one text per column (missing texts are empty, extra ones are
    // ignored). Returns false, storing nothing of the row, when the memory budget
    // would be exceeded or memory could not be had; the rows stored so far stay.
    bool appendRow(std::span<const QByteArrayView> cells);

    // Every row stored, announced to the views or not yet.
    qsizetype storedRowCount() const { return mStoredRows; }
    // The text of a stored row's cell, valid until the rows are removed.
    QByteArrayView cell(qsizetype row, int column) const;

    // Announces every stored row to the views now.
    void publish();
    // Rows appended are announced at most this often (0: on the next turn of the
    // event loop).
    void setPublishDelay(int milliseconds);
    int publishDelay() const { return mPublishDelay; }

    // The memory the rows may take, in bytes. The default is a quarter of the
    // machine's physical memory.
    void setMemoryBudget(qint64 bytes) { mBudget = bytes; }
    qint64 memoryBudget() const { return mBudget; }
    static qint64 defaultMemoryBudget();
    // Bytes taken from the system for the rows, and bytes of it filled.
    qint64 memoryAllocated() const { return mAllocated; }
    qint64 memoryUsed() const;

    // Changes whenever the rows are removed, so that a long reader can tell that the
    // rows it was reading are gone.
    quint64 generation() const { return mGeneration; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Block {
        char* data = nullptr;
        quint32 size = 0;      // bytes of the block
        quint32 textEnd = 0;   // end of the packed row texts
        quint32 rows = 0;      // row offsets stored at the back
        qsizetype firstRow = 0;
    };
    void freeBlocks();
    const Block* blockOf(qsizetype row) const;
    Block* blockFor(qsizetype bytes);

    QStringList mHeadings;
    QList<DataLogFields::Column> mColumns;
    std::vector<Block> mBlocks;
    qsizetype mStoredRows = 0;
    int mPublishedRows = 0;
    qint64 mAllocated = 0;
    qint64 mBudget = 0;
    quint64 mGeneration = 0;
    int mPublishDelay = 0;
    QTimer mPublishTimer;
    mutable size_t mLastBlock = 0;  // the block of the last lookup: views read nearby rows
};
