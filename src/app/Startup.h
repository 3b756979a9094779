// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Splash.h"

#include <QLockFile>
#include <QObject>
#include <QPointer>

#include <memory>

class mainScr;

/**
 * The start procedure and the program's life: the data folder, one running
 * copy per application folder, the splash window and the hand-over to the
 * main window, and the About box.
 */
class Startup : public QObject
{
    Q_OBJECT

public:
    Startup();
    ~Startup() override;

    /**
     * Runs the start procedure. false when the program must end at once
     * (another copy runs on the same folder; the user has been told).
     */
    bool run();

    /** Creates the data folder (mode 0700) when missing and marks it hidden. Failures are passed over. */
    static void CreateDataFolder();

    Splash *splash() const { return m_splash; }
    mainScr *mainWindow() const { return m_main.get(); }

private:
    bool takeInstanceLock();
    void showMainWindow();
    void showAbout();

    std::unique_ptr<QLockFile> m_lock;
    QPointer<Splash> m_splash;
    std::unique_ptr<mainScr> m_main;
    /** The main window's load has run to its end (the owner is in where the level asks for it). */
    bool m_loaded = false;
};
