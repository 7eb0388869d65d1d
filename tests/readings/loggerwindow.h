#pragma once
// A connected main window for data logger and export tests (see WindowFixture), with
// a fixed tick count and helpers to choose the output words and read the table.
// The conversation that sets the link's flags is exercised by the scenarios.
#include <QHeaderView>
#include <QItemSelection>
#include <QTreeView>
#include <QTreeWidget>

#include "readings/datalogmodel.h"
#include "windowfixture.h"

struct LoggerWindow : WindowFixture {
    WdwMain* w = nullptr;

    LoggerWindow()
    {
        w = window.get();
        clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)));
        clock.fixTicks(100);
        connect();
    }

    DataLogModel* model() const { return w->dataLogModel(); }

    // The selection of ListData becomes exactly these rows, as one change.
    void selectWords(const QList<int>& rows)
    {
        QItemSelection selection;
        auto* m = w->ListData->model();
        for (int r : rows) selection.select(m->index(r, 0), m->index(r, 0));
        w->ListData->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    // Sets controls from code with their handlers kept silent, as the configuration
    // read does.
    template <typename F>
    void quietly(F&& set)
    {
        const bool reading = w->mReadConfiguration;
        w->mReadConfiguration = true;
        set();
        w->mReadConfiguration = reading;
    }

    QStringList headings() const
    {
        QStringList h;
        for (int c = 0; c < model()->columnCount(); ++c) h << model()->headerData(c, Qt::Horizontal).toString();
        return h;
    }
    // Every row stored, as texts.
    QList<QStringList> rows() const
    {
        QList<QStringList> all;
        for (qsizetype r = 0; r < model()->storedRowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < model()->columnCount(); ++c) row << QString::fromLatin1(model()->cell(r, c));
            all << row;
        }
        return all;
    }
    // Event texts of every system log entry.
    QStringList events() const
    {
        QStringList e;
        for (int i = 0; i < w->ListSystemLog->topLevelItemCount(); ++i) e << w->ListSystemLog->topLevelItem(i)->text(1);
        return e;
    }
    void log(const QByteArray& sentence, qint64 ticks)
    {
        clock.fixTicks(ticks);
        w->UpdateDataLog(sentence);
    }
};
