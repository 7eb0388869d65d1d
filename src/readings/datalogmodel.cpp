#include "datalogmodel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {
// Large enough that a log of hours takes few blocks, small enough that the last,
// partly filled block wastes little.
constexpr qsizetype kBlockSize = 4 * 1024 * 1024;
// A row may not be larger than this (its offset is a 32-bit number inside its block).
constexpr qsizetype kMaxRowSize = qsizetype(1) << 30;

int lengthSize(quint64 length)
{
    int bytes = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++bytes;
    }
    return bytes;
}

char* putLength(char* at, quint64 length)
{
    while (length >= 0x80) {
        *at++ = char(0x80 | (length & 0x7f));
        length >>= 7;
    }
    *at++ = char(length);
    return at;
}

const char* getLength(const char* at, quint64& length)
{
    length = 0;
    int shift = 0;
    for (;;) {
        const auto byte = quint8(*at++);
        length |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80)) return at;
        shift += 7;
    }
}
}  // namespace

DataLogModel::DataLogModel(QObject* parent)
    : QAbstractTableModel(parent), mBudget(defaultMemoryBudget())
{
    // The layout's two columns, without headings, until the first rebuild.
    mHeadings = {QString(), QString()};
    mColumns = {DataLogFields::Column::Ticks, DataLogFields::Column::Blank};
    mPublishTimer.setSingleShot(true);
    connect(&mPublishTimer, &QTimer::timeout, this, &DataLogModel::publish);
}

DataLogModel::~DataLogModel()
{
    freeBlocks();
}

qint64 DataLogModel::defaultMemoryBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return qint64(1) << 30;
    return qint64(pages) * qint64(pageSize) / 4;
}

void DataLogModel::freeBlocks()
{
    for (Block& b : mBlocks) std::free(b.data);
    mBlocks.clear();
    mBlocks.shrink_to_fit();
    mAllocated = 0;
    mStoredRows = 0;
    mPublishedRows = 0;
    mLastBlock = 0;
    ++mGeneration;
    mPublishTimer.stop();
}

void DataLogModel::setColumns(const QStringList& headings, const QList<DataLogFields::Column>& columns)
{
    beginResetModel();
    freeBlocks();
    mHeadings = headings;
    mColumns = columns;
    while (mColumns.size() < mHeadings.size()) mColumns << DataLogFields::Column::Blank;
    while (mHeadings.size() < mColumns.size()) mHeadings << QString();
    endResetModel();
}

void DataLogModel::clearRows()
{
    beginResetModel();
    freeBlocks();
    endResetModel();
}

qint64 DataLogModel::memoryUsed() const
{
    qint64 used = 0;
    for (const Block& b : mBlocks) used += qint64(b.textEnd) + qint64(b.rows) * 4;
    return used;
}

DataLogModel::Block* DataLogModel::blockFor(qsizetype bytes)
{
    if (!mBlocks.empty()) {
        Block& last = mBlocks.back();
        if (qsizetype(last.size) - qsizetype(last.textEnd) - qsizetype(last.rows) * 4 >= bytes)
            return &last;
    }
    qint64 size = std::max<qint64>(kBlockSize, bytes);
    const qint64 left = mBudget - mAllocated;
    if (size > left) size = left;  // a last, smaller block up to the budget
    if (size < bytes) return nullptr;
    try {
        if (mBlocks.size() == mBlocks.capacity()) mBlocks.reserve(mBlocks.size() * 2 + 8);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* data = static_cast<char*>(std::malloc(size_t(size)));
    if (!data) return nullptr;
    Block b;
    b.data = data;
    b.size = quint32(size);
    b.firstRow = mStoredRows;
    mBlocks.push_back(b);  // capacity reserved above: cannot throw
    mAllocated += size;
    return &mBlocks.back();
}

bool DataLogModel::appendRow(std::span<const QByteArrayView> cells)
{
    if (mStoredRows >= INT_MAX) return false;  // views count rows in an int
    const int columns = int(mColumns.size());
    qsizetype bytes = 4;  // the row's offset
    for (int c = 0; c < columns; ++c) {
        const qsizetype length = c < qsizetype(cells.size()) ? cells[size_t(c)].size() : 0;
        bytes += lengthSize(quint64(length)) + length;
        if (bytes > kMaxRowSize) return false;
    }
    Block* block = blockFor(bytes);
    if (!block) return false;

    char* at = block->data + block->textEnd;
    const quint32 offset = block->textEnd;
    for (int c = 0; c < columns; ++c) {
        const QByteArrayView text = c < qsizetype(cells.size()) ? cells[size_t(c)] : QByteArrayView();
        at = putLength(at, quint64(text.size()));
        if (!text.isEmpty()) std::memcpy(at, text.data(), size_t(text.size()));
        at += text.size();
    }
    block->textEnd = quint32(at - block->data);
    ++block->rows;
    std::memcpy(block->data + block->size - 4 * block->rows, &offset, 4);
    ++mStoredRows;

    if (!mPublishTimer.isActive()) mPublishTimer.start(mPublishDelay);
    return true;
}

const DataLogModel::Block* DataLogModel::blockOf(qsizetype row) const
{
    if (row < 0 || row >= mStoredRows || mBlocks.empty()) return nullptr;
    if (mLastBlock < mBlocks.size()) {
        const Block& b = mBlocks[mLastBlock];
        if (row >= b.firstRow && row < b.firstRow + qsizetype(b.rows)) return &b;
    }
    auto it = std::upper_bound(mBlocks.begin(), mBlocks.end(), row,
                               [](qsizetype r, const Block& b) { return r < b.firstRow; });
    mLastBlock = size_t(it - mBlocks.begin()) - 1;
    return &mBlocks[mLastBlock];
}

QByteArrayView DataLogModel::cell(qsizetype row, int column) const
{
    const Block* b = blockOf(row);
    if (!b || column < 0 || column >= mColumns.size()) return {};
    quint32 offset;
    std::memcpy(&offset, b->data + b->size - 4 * (row - b->firstRow + 1), 4);
    const char* at = b->data + offset;
    quint64 length = 0;
    for (int c = 0;; ++c) {
        at = getLength(at, length);
        if (c == column) return QByteArrayView(at, qsizetype(length));
        at += length;
    }
}

void DataLogModel::publish()
{
    mPublishTimer.stop();
    if (mPublishedRows >= mStoredRows) return;
    beginInsertRows(QModelIndex(), mPublishedRows, int(mStoredRows - 1));
    mPublishedRows = int(mStoredRows);
    endInsertRows();
}

void DataLogModel::setPublishDelay(int milliseconds)
{
    mPublishDelay = std::max(0, milliseconds);
}

int DataLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mPublishedRows;
}

int DataLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mColumns.size());
}

QVariant DataLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= mPublishedRows) return {};
    return QString::fromLatin1(cell(index.row(), index.column()));
}

QVariant DataLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section < 0 || section >= mHeadings.size()) return {};
    return mHeadings[section];
}

Qt::ItemFlags DataLogModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
