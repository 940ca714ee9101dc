// loyalty-server: the loyalty and catalogue services of the demo merchant
// group, each on its own port of 127.0.0.1.
#include "Http.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

namespace {

void usage(std::ostream &out)
{
    out << "usage: loyalty-server [options]\n"
           "  --data-dir DIR        folder of the service database (created and seeded\n"
           "                        from the demo data on first start; default ./loyalty-data)\n"
           "  --demo-dir DIR        folder of the demo seed files and pictures\n"
           "                        (default " LOYALTY_DEMO_DIR ")\n"
           "  --loyalty-port N      port of the loyalty service (default 18080, 0 = any free port)\n"
           "  --catalogue-port N    port of the catalogue service (default 18081, 0 = any free port)\n"
           "  --help                this text\n"
           "Prints \"listening loyalty=PORT catalogue=PORT\" once both ports are open.\n";
}

bool parsePort(const char *text, int &port)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

int bindPort(httplib::Server &server, int port)
{
    if (port == 0)
        return server.bind_to_any_port("127.0.0.1");
    return server.bind_to_port("127.0.0.1", port) ? port : -1;
}

} // namespace

int main(int argc, char **argv)
{
    std::string dataDir = "loyalty-data";
    std::string demoDir = LOYALTY_DEMO_DIR;
    int loyaltyPort = 18080;
    int cataloguePort = 18081;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        } else if (arg == "--data-dir" && hasValue) {
            dataDir = argv[++i];
        } else if (arg == "--demo-dir" && hasValue) {
            demoDir = argv[++i];
        } else if (arg == "--loyalty-port" && hasValue) {
            if (!parsePort(argv[++i], loyaltyPort)) {
                std::cerr << "bad port " << argv[i] << '\n';
                return 2;
            }
        } else if (arg == "--catalogue-port" && hasValue) {
            if (!parsePort(argv[++i], cataloguePort)) {
                std::cerr << "bad port " << argv[i] << '\n';
                return 2;
            }
        } else {
            std::cerr << "unknown option " << arg << '\n';
            usage(std::cerr);
            return 2;
        }
    }

    // The signals are taken by sigwait below, so block them before any
    // server thread exists (threads inherit the mask).
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    if (ec) {
        std::cerr << "cannot create " << dataDir << ": " << ec.message() << '\n';
        return 1;
    }

    ServiceContext context;
    context.demoDir = demoDir;
    std::string error;
    if (!context.db.open(dataDir + "/loyalty-server.db", error) || !context.db.createSchema()) {
        std::cerr << "cannot open the database in " << dataDir << ": "
                  << (error.empty() ? context.db.lastError() : error) << '\n';
        return 1;
    }
    if (context.db.isEmpty() && !seedDemoData(context, error)) {
        std::cerr << error << '\n';
        return 1;
    }
    {
        std::vector<Database::Row> rows;
        auto guard = context.db.lock();
        context.db.exec("SELECT companyKey, skey FROM group_info LIMIT 1", {}, &rows);
        if (rows.empty()) {
            std::cerr << "the database holds no merchant group\n";
            return 1;
        }
        context.companyKey = Values::textOf(rows[0][0]);
        context.skey = Values::textOf(rows[0][1]);
    }

    httplib::Server loyalty;
    httplib::Server catalogue;
    Http::installLogger(loyalty, "loyalty");
    Http::installLogger(catalogue, "catalogue");
    installLoyaltyService(loyalty, context);
    installCatalogueService(catalogue, context);

    const int boundLoyalty = bindPort(loyalty, loyaltyPort);
    const int boundCatalogue = bindPort(catalogue, cataloguePort);
    if (boundLoyalty < 0 || boundCatalogue < 0) {
        std::cerr << "cannot listen on 127.0.0.1 port " << (boundLoyalty < 0 ? loyaltyPort : cataloguePort) << '\n';
        return 1;
    }

    std::thread loyaltyThread([&] { loyalty.listen_after_bind(); });
    std::thread catalogueThread([&] { catalogue.listen_after_bind(); });
    std::printf("listening loyalty=%d catalogue=%d\n", boundLoyalty, boundCatalogue);
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cerr << "stopping on signal " << signal << '\n';
    loyalty.stop();
    catalogue.stop();
    loyaltyThread.join();
    catalogueThread.join();
    return 0;
}
