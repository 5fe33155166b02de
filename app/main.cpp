// orvale: no argument runs the screens, exactly "autosync" one background run.
#include "app/ClientApp.h"
#include "ui/QtAppShell.h"

int main(int argc, char** argv) {
    // The application object comes first: it decides whether this process may run at all.
    orvale::ClientApp app;
    orvale::ui::QtAppShell shell(argc, argv);
    app.initInstance(orvale::ClientApp::commandLineOf(argc, argv), shell);
    return 0;
}
