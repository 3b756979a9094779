// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Splash.h"
#include "common/FileResult.h"
#include "common/ProgramExit.h"

#include <QLockFile>
#include <QObject>
#include <QPointer>

#include <memory>

class HandOver;
class mainScr;

/**
 * The start procedure and the program's life: the data folder, one running
 * copy per application folder (a later start brings it forward), the splash
 * window and the hand-over to the main window, and the About box.
 */
class Startup : public QObject
{
    Q_OBJECT

public:
    Startup();
    ~Startup() override;

    /**
     * Runs the start procedure. false when the program must end at once, with
     * endStatus(): another copy runs on the same folder and has come forward,
     * or could not be reached (the user has been told).
     */
    bool run();
    ExitStatus endStatus() const { return m_endStatus; }

    /**
     * Brings the window the user works in forward: the one that waits for an
     * answer (the owner password, a message), else the main window once it is
     * loaded, else the splash. A window not yet shown stays hidden.
     */
    void bringForward(const QByteArray &activationToken = {});

    /** Creates the data folder (mode 0700) when missing and marks it hidden. Failures are passed over. */
    static void CreateDataFolder();

    Splash *splash() const { return m_splash; }
    mainScr *mainWindow() const { return m_main.get(); }

private:
    bool takeInstanceLock();
    /** Tells the user, and standard error, when the records' folder cannot be used, and why. */
    void reportUnusableFolder(const FileResult &problem);
    void showMainWindow();
    void showAbout();

    std::unique_ptr<QLockFile> m_lock;
    HandOver *m_handOver = nullptr;
    ExitStatus m_endStatus = ExitStatus::Normal;
    QPointer<Splash> m_splash;
    std::unique_ptr<mainScr> m_main;
    /** The main window's load has run to its end (the owner is in where the level asks for it). */
    bool m_loaded = false;
};
