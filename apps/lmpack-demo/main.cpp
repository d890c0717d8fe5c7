// lmpack-demo: the pharmacy goods screen over the demo database; with --tour, the scripted tour
// of every feature offscreen.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QApplication>
#include <QFont>

#include "app/globals.h"
#include "app/hooks.h"
#include "app/ui/packagedialogs.h"
#include "democonnection.h"
#include "demosettings.h"
#include "mainwindow.h"
#include "tour.h"
#include "util/cp1251.h"

using namespace lm::literals;

namespace {

constexpr const char* kUsage =
    "usage: lmpack-demo [--db DATABASE] [--rows N] [--tour [--out DIR]]\n"
    "  --db DATABASE  a database file, or host:path on a Firebird server\n"
    "                 (default: lmpack-demo/demo.fdb in the user's data folder, made on first start)\n"
    "  --rows N       goods in a database made on first start (default 20000)\n"
    "  --tour         run the scripted tour offscreen instead of opening the window\n"
    "  --out DIR      where the tour writes its files (default demo-out)\n";

struct Options {
    std::string db;
    std::string out = "demo-out";
    int rows = 20000;
    bool tour = false;
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--db" && value)
            o.db = argv[++i];
        else if (a == "--out" && value)
            o.out = argv[++i];
        else if (a == "--rows" && value) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end || n < 1 || n > 10000000)
                return false;
            o.rows = static_cast<int>(n);
        } else if (a == "--tour")
            o.tour = true;
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.tour && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("lmpack-demo");
    if (options.tour) {
        // the same look on every machine: the screenshots are compared by people
        QApplication::setFont(QFont("DejaVu Sans", 9));
        QApplication::setCursorFlashTime(0);
    }
    lm::TGlobalVars globals;
    lm::glVars->RegRoot = lm::kDemoRegRoot;
    lm::InstallPackageDialogs();

    lm::TDemoConnection connection;
    try {
        const std::string db = options.db.empty() ? lm::TDemoConnection::DefaultDatabaseName() : options.db;
        connection.Open(db, options.rows);
        if (connection.Created())
            std::printf("Created the demo database %s (%d goods)\n", db.c_str(), options.rows);
        lm::TfrmGoods window(connection);
        if (options.tour)
            return lm::RunTour(window, connection, options.out);
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        const std::string text = lm::cp1251ToUtf8(e.what());
        std::fprintf(stderr, "lmpack-demo: %s\n", text.c_str());
        if (!options.tour)
            lm::ShowMessageBox(e.what(), "LMPack Аптека"_w, lm::MB_OK | lm::MB_ICONERROR);
        return 1;
    }
}
