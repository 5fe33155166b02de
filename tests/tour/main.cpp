// orvale-screen-tour OUTDIR SCALE: one PNG per screen and state, named STATE-SCALE.png, taken from
// the real screens on the offscreen platform, each run against a scripted engine instead of a
// server so that every state can be held still. The caller sets QT_SCALE_FACTOR to match SCALE.
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

#include "app/ClientApp.h"
#include "app/LicenceText.h"
#include "app/RunLog.h"
#include "engine/SessionEvents.h"
#include "platform/DevicePaths.h"
#include "platform/pim/StoreChoice.h"
#include "stores/KindRegistry.h"
#include "support/RecordingScheduler.h"
#include "support/RunDoubles.h"
#include "support/ScreenKit.h"
#include "support/TempDeviceRoot.h"
#include "ui/AboutScreen.h"
#include "ui/LogViewer.h"
#include "ui/MainScreen.h"
#include "ui/ServerTestScreen.h"
#include "ui/SettingsScreen.h"
#include "ui/SetupPages.h"
#include "ui/SoftKeyBar.h"
#include "ui/Theme.h"
#include "ui/controls/CStaticEx.h"
#include "ui/controls/DrawCallback.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/UnitPicker.h"

namespace {

using namespace orvale;
using namespace orvale::test;

class Tour {
  public:
    Tour(QString folder, QString scale) : folder_(std::move(folder)), scale_(std::move(scale)) {
        for (int code : {kKindContacts, kKindCalendar, kKindTasks}) registerKind(code, {});
        registerKind(kKindContacts, [] { return new StubKind("WinMobileContacts"); });
        context_.runs = scriptedEnvironment(script_);
        context_.scheduler = &scheduler_;
        auto store = [](const char* ref, const char* type) {
            RemoteDataStore s;
            s.sourceRef = ref;
            s.rxPref = ContentType(type);
            return s;
        };
        script_.deviceInfo.dataStores = {store("card", "text/x-vcard"), store("calendar", "text/x-vcalendar"),
                                         store("tasks", "text/x-vcalendar")};
    }

    void run() {
        {
            ui::RunLogViewer none;  // before any run
            none.show();
            snap(&none, "runlog-none");
        }
        setup();
        mainScreen();
        settings();
        others();
    }
    int failures() const { return failures_; }

  private:
    void snap(QWidget* screen, const char* state, QWidget* overlay = nullptr) {
        QApplication::processEvents();
        if (!savePicture(picture(screen, overlay), folder_, QString::fromLatin1(state) + '-' + scale_)) ++failures_;
    }
    // Presses `key` and pictures the message box it raises over `screen`.
    void snapMessage(ui::ScreenDialog* screen, QWidget* key, const char* state) {
        ModalScript box;
        box.then("message", [this, screen, state](QWidget* m) {
               snap(screen, state, m);
               static_cast<QDialog*>(m)->accept();
           })
            .start();
        click(key);
    }
    void waitUntil(const std::function<bool()>& condition) {
        if (!waitFor(condition, 5000)) ++failures_;
    }

    void setup() {
        ConfigRecord record;
        {
            ui::CredentialsPage page(record);
            page.show();
            snap(&page, "setup-1-credentials");
            snapMessage(&page, page.softKeys()->right(), "setup-1-credentials-message");
            typeInto(&page, "url", "https://sync.example.org/rpc");
            typeInto(&page, "username", "alice");
            typeInto(&page, "password", "secret");
            click(page.unit()->face());
            snap(&page, "setup-1-credentials-unit-open");
            click(page.unit()->face());
            click(page.softKeys()->right());
        }
        {
            Gate gate;
            script_.during = [&gate](const SessionParts&) { gate.wait(); };
            ui::ServerTestScreen page(record, context_);
            page.show();
            waitUntil([&] { return page.testing(); });
            snap(&page, "setup-2-servertest-running");
            gate.open();
            waitUntil([&] { return !page.testing(); });
            snap(&page, "setup-2-servertest-done");
            script_.during = nullptr;
        }
        {
            ConfigRecord empty;
            ui::FolderUrisPage page(empty);
            page.show();
            snapMessage(&page, page.softKeys()->right(), "setup-3-folderuris-message");
        }
        {
            ui::FolderUrisPage page(record);
            page.show();
            snap(&page, "setup-3-folderuris");
        }
        {
            ui::FoldersPage page(record);
            page.show();
            snap(&page, "setup-4-folders");  // the folders the server test found start ticked
        }
        {
            ConfigRecord empty;
            ui::FoldersPage page(empty);
            page.show();
            snapMessage(&page, page.softKeys()->right(), "setup-4-folders-message");
        }
        record.setFlag(ConfigFlag::ContactsEnabled, true);
        record.setFlag(ConfigFlag::CalendarEnabled, true);
        record.setFlag(ConfigFlag::SetupDone, true);
        record.setText(ConfigText::LastSyncText, u"08/12/26 07:15 PM");
        record.save();
    }

    void mainScreen() {
        ui::MainScreen main(context_);
        main.openScreen();
        main.show();
        snap(&main, "main-idle");
        click(main.softKeys()->right());
        snap(&main, "main-menu", main.menu());
        main.menu()->hide();

        Gate gate;
        script_.during = [&gate](const SessionParts& p) {
            p.observer.event(kEventPasswordInClear);
            p.observer.syncStart(SyncSide::Client, "Contacts", 48);
            for (int i = 0; i < 48; ++i) p.observer.itemResult(SyncSide::Client, "Contacts", kObservedAdd, false);
            for (int i = 0; i < 3; ++i) p.observer.itemResult(SyncSide::Server, "Contacts", kObservedAdd, false);
            p.observer.itemResult(SyncSide::Server, "Calendar", kObservedReplace, false);
            gate.wait();
        };
        click(main.softKeys()->left());
        waitUntil([&] { return main.counts()->accessibleDescription().contains(QLatin1String("48")); });
        snap(&main, "main-syncing");
        waitUntil([&] { return main.findChild<QMessageBox*>(QStringLiteral("notice")) != nullptr; });
        if (auto* notice = main.findChild<QMessageBox*>(QStringLiteral("notice"))) {
            snap(&main, "main-password-notice", notice);
            notice->close();
        }
        gate.open();
        waitUntil([&] { return !main.workerBusy(); });
        snap(&main, "main-done");

        Gate held;
        script_.during = [&held](const SessionParts&) { held.wait(); };
        click(main.softKeys()->left());
        snapMessage(&main, main.softKeys()->left(), "main-cancel-message");
        snap(&main, "main-cancelled");
        held.open();
        waitUntil([&] { return !main.workerBusy(); });

        script_.during = nullptr;
        script_.result = SyncResult::SyncFailed;
        click(main.softKeys()->left());
        waitUntil([&] { return !main.workerBusy(); });
        snap(&main, "main-failed");

        // Each cause as the screen tells it under the result.
        struct Failure {
            const char* state;
            SyncResult result;
            TransportFailure transport;
            int headerStatus;
        };
        const Failure failures[] = {
            {"main-failed-password", SyncResult::InitFailed, {}, 401},
            {"main-failed-refused", SyncResult::NotReached, {TransportFailureKind::Refused, "127.0.0.1:1", 0, {}}, 0},
            {"main-failed-host", SyncResult::NotReached, {TransportFailureKind::HostNotFound, "sync.example.invalid:443", 0, {}}, 0},
            {"main-failed-http501", SyncResult::NotReached, {TransportFailureKind::HttpStatus, "www.example.org:80", 501, {}}, 0},
            {"main-failed-untrusted", SyncResult::NotReached,
             {TransportFailureKind::Untrusted, "sync.example.org:443", 0, "SSL certificate problem: self-signed certificate"}, 0},
            {"main-failed-url", SyncResult::NotReached, {TransportFailureKind::BadUrl, {}, 0, {}}, 0},
        };
        for (const Failure& f : failures) {
            script_.result = f.result;
            script_.errorFlagAfter = f.transport.kind == TransportFailureKind::None ? 0 : 1;
            script_.failureAfter = f.transport;
            const int status = f.headerStatus;
            script_.during = [status](const SessionParts& p) {
                if (status != 0) p.observer.commandRefused("SyncHdr", "", status);
            };
            click(main.softKeys()->left());
            waitUntil([&] { return !main.workerBusy(); });
            snap(&main, f.state);
        }
        script_.during = nullptr;
        script_.errorFlagAfter = 0;
        script_.failureAfter = {};
        script_.result = SyncResult::Done;
    }

    // The line that says which store the folders are synced with, with the desktop's chosen.
    void storeLine(ConfigRecord& record) {
        platform::pim::StoreChoice eds;
        eds.kind = platform::pim::StoreChoice::Kind::Eds;
        eds.save();
        {
            ui::SettingsScreen page(record, context_);
            page.show();
            QApplication::processEvents();
            QWidget* line = page.findChild<QWidget*>(QStringLiteral("storeState"));
            page.scrollArea()->verticalScrollBar()->setValue(line->y() - page.scrollArea()->viewport()->height() / 2);
            snap(&page, "settings-store-eds");
        }
        std::filesystem::remove(platform::hostPath(platform::pim::kStoreChoicePath));
    }

    void settings() {
        ConfigRecord record;
        record.load();
        ui::SettingsScreen page(record, context_);
        page.show();
        snap(&page, "settings-top");
        QScrollBar* bar = page.scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        snap(&page, "settings-middle");
        bar->setValue(bar->maximum());
        snap(&page, "settings-bottom");
        click(page.unit()->face());
        snap(&page, "settings-unit-open");
        click(page.unit()->face());
        nextSync(page);
        storeLine(record);

        // Test Server tries what is typed, and names what it found.
        bar->setValue(0);
        typeInto(&page, "password", "typed-not-saved");
        ModalScript test;
        test.then("servertest",
                  [this](QWidget* s) {
                      waitUntil([s] { return !static_cast<ui::ServerTestScreen*>(s)->testing() && !textOf(s, "databases").isEmpty(); });
                      snap(s, "settings-servertest-found");
                      click(static_cast<ui::ScreenDialog*>(s)->softKeys()->right());
                  })
            .start();
        clickChild(&page, "testServer");
        // Done refuses a URL no server could use, and says why.
        typeInto(&page, "url", "sync.example.org/rpc");
        snapMessage(&page, page.softKeys()->right(), "settings-refused-message");
    }

    // The choice of the next sync, the questions of the ways that delete, and the page with the
    // choice waiting for Done.
    void nextSync(ui::SettingsScreen& page) {
        auto choose = [this](const char* mode, const char* state) {
            return [this, mode, state](QWidget* screen) {
                click(child(screen, mode));
                snap(screen, state);
                click(static_cast<ui::ScreenDialog*>(screen)->softKeys()->right());
            };
        };
        // Pictured over the choice screen that asks.
        auto answer = [this](const char* state, const char* button) {
            return [this, state, button](QWidget* box) {
                snap(box->parentWidget(), state, box);
                clickChild(box, button);
            };
        };
        auto back = [](QWidget* screen) { click(static_cast<ui::ScreenDialog*>(screen)->softKeys()->left()); };
        ModalScript slow;
        slow.then("nextSync", [this](QWidget* screen) { snap(screen, "settings-next-sync"); })
            .then("nextSync", choose("mode.slow", "settings-next-sync-slow"))
            .then("confirm", answer("settings-next-sync-slow-confirm", "yes"))
            .start();
        clickChild(&page, "nextSync");
        bar(page)->setValue(bar(page)->maximum() * 3 / 5);
        snap(&page, "settings-next-sync-chosen");

        ModalScript refresh;
        refresh.then("nextSync", choose("mode.refresh-from-server", "settings-next-sync-refresh-server"))
            .then("confirm", answer("settings-next-sync-refresh-server-confirm", "no"))
            .then("nextSync", choose("mode.refresh-from-device", "settings-next-sync-refresh-device"))
            .then("confirm", answer("settings-next-sync-refresh-device-confirm", "yes"))
            .then("confirm", answer("settings-next-sync-refresh-device-empty", "no"))
            .then("nextSync", back)
            .start();
        clickChild(&page, "nextSync");
    }
    static QScrollBar* bar(ui::SettingsScreen& page) { return page.scrollArea()->verticalScrollBar(); }

    void others() {
        writeRunLog(RunLogSummary{u"08/12/26 07:15 PM", RunLogFolder{u"Contacts", 3, 48}, RunLogFolder{u"Calendar", 1, 0}, {}, {}});
        {
            ui::LogViewer viewer;
            viewer.show();
            snap(&viewer, "log");
        }
        {
            // The last run's own log, from the scripted runs above, and its summary behind it.
            ui::RunLogViewer viewer;
            viewer.show();
            snap(&viewer, "runlog");
        }
        {
            ui::AboutScreen about;
            about.show();
            snap(&about, "about");
        }
        placeLicenceText(ORVALE_SOURCE_DIR "/License.txt");
        {
            ui::LicenceViewer viewer;
            viewer.show();
            snap(&viewer, "licence");
        }
    }

    QString folder_;
    QString scale_;
    SessionScript script_;
    RecordingScheduler scheduler_;
    ui::ScreenContext context_;
    int failures_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvale-screen-tour OUTDIR SCALE\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TempDeviceRoot root;
    QApplication app(argc, argv);
    ui::theme::apply(app);
    Tour tour(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    tour.run();
    if (tour.failures() != 0) std::fprintf(stderr, "orvale-screen-tour: %d pictures failed\n", tour.failures());
    return tour.failures() == 0 ? 0 : 1;
}
