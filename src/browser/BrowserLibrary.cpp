// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserLibrary.h"

#include "browser/BrowserWindow.h"
#include "common/AppFolders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QPluginLoader>

#include <unistd.h>

using namespace Qt::StringLiterals;

QT_BEGIN_NAMESPACE
// Qt's own, as the web engine uses it: the OpenGL context all others share with.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace {
BrowserFactory *provided = nullptr;
BrowserFactory *loaded = nullptr;

void deleteShareContext()
{
    QOpenGLContext *context = QOpenGLContext::globalShareContext();
    qt_gl_set_global_share_context(nullptr);
    delete context;
}

/**
 * The web engine draws in OpenGL contexts that share their textures with the program's windows
 * through Qt's global share context. Qt makes that context as the QApplication starts when
 * Qt::AA_ShareOpenGLContexts is set, which is what the engine asks of a program that links it;
 * but that loads the OpenGL driver at every start (a quarter of a second, and 60 MB). It is made
 * here instead, as Qt would have made it, before the engine is loaded and looks for it.
 */
void shareOpenGLContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
    // Before the window system goes, as the application's own context would.
    qAddPostRoutine(deleteShareContext);
}
} // namespace

namespace BrowserLibrary {

QString path()
{
    return AppFolders::programFolder() + u'/' + QStringLiteral(CORVANE_BROWSER_LIBRARY);
}

BrowserFactory *factory(QString *error)
{
    if (provided)
        return provided;
    if (loaded)
        return loaded;

    const QString file = path();
    // Only this very file: the loader must not go looking for a library of that name elsewhere.
    if (!QFileInfo(file).isFile()) {
        if (error) {
            *error = u"The file %1 is missing. The built-in browser comes in the package corvane-browser: install it "
                     "with \"sudo apt install corvane-browser\"."_s.arg(file);
        }
        return nullptr;
    }
    // Started as root with its sandbox on, the web engine ends the whole program.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")
        && !qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(u"--no-sandbox"_s)) {
        if (error) {
            *error = u"Corvane runs as root, and the web engine of the built-in browser does not start as root "
                     "with its sandbox on. Start Corvane as yourself, or set QTWEBENGINE_DISABLE_SANDBOX=1 to run "
                     "the browser without its sandbox."_s;
        }
        return nullptr;
    }
    shareOpenGLContext();
    QPluginLoader loader(file);
    QObject *instance = loader.instance();
    auto *entry = qobject_cast<BrowserFactory *>(instance);
    if (!entry) {
        if (error) {
            *error = (instance ? u"The file %1 is not Corvane's browser library."_s.arg(file)
                               : u"The file %1 could not be loaded: %2"_s.arg(file, loader.errorString()))
                + u" Installing the package corvane-browser again mends it: "
                  "\"sudo apt install --reinstall corvane-browser\"."_s;
        }
        // A library that is not ours goes again; one that failed to load is not in memory.
        if (instance)
            loader.unload();
        return nullptr;
    }
    loaded = entry;
    return loaded;
}

void provide(BrowserFactory *factory)
{
    provided = factory;
}

} // namespace BrowserLibrary
