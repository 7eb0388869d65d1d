#pragma once
// A main window for data logger and export tests: one scripted port opened at
// start-up, a scripted prompter, a fixed tick count, a scratch preferences folder.
// The tests set the link's flags themselves; the conversation that normally sets
// them is exercised by the scenarios.
#include <QFile>
#include <QHeaderView>
#include <QItemSelection>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <memory>

#include "fixedclock.h"
#include "link/portlist.h"
#include "readings/datalogmodel.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

struct LoggerWindow {
    QTemporaryDir folder;
    PortList ports;
    ScriptedPort* port = nullptr;
    ScriptedPrompter prompter;
    FixedClock clock;
    std::unique_ptr<WdwMain> w;

    LoggerWindow()
    {
        port = static_cast<ScriptedPort*>(ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyTEST"))));
        QFile prefs(folder.filePath(QStringLiteral("DravikStudio.pref")));
        if (prefs.open(QIODevice::WriteOnly))
            prefs.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
        prefs.close();
        clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)));
        clock.fixTicks(100);
        WdwMainEnvironment env;
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = folder.path();
        w = std::make_unique<WdwMain>(env);
        // Connected, configuration read done, nothing written yet.
        w->mConnected = true;
        w->mReadConfiguration = false;
        port->takeWritten();
    }
    ~LoggerWindow()
    {
        w->allowClose();
        w.reset();
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
