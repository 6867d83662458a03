#include "platform/qt/QtUpdateSource.hpp"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <optional>
#include <string>
#include <vector>

#include "E2eFixtures.hpp"
#include "support/Log.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;

// A local HTTP server that answers every request with one canned response (or never answers),
// and remembers the request lines it saw.
class CannedHttpServer {
public:
    explicit CannedHttpServer(std::optional<std::string> response)
        : response_(std::move(response)) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    buffers_[socket] += socket->readAll();
                    const QByteArray& request = buffers_[socket];
                    if (!request.contains("\r\n\r\n")) return;
                    requestLines.push_back(request.left(request.indexOf("\r\n")).toStdString());
                    if (!response_) return;  // keeps the client waiting
                    socket->write(QByteArray::fromStdString(*response_));
                    socket->disconnectFromHost();
                });
            }
        });
    }

    std::string host() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }

    static std::string response(int status, const std::string& reason, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " " + reason +
               "\r\nContent-Type: application/json\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    std::vector<std::string> requestLines;

private:
    QTcpServer server_;
    std::optional<std::string> response_;
    std::map<QTcpSocket*, QByteArray> buffers_;
};

// The outcome of one lookup.
struct Lookup {
    int completions = 0;
    std::optional<AppStoreRelease> release;
};

Lookup lookUp(QtUpdateSource& source) {
    Lookup result;
    source.latestRelease([&](std::optional<AppStoreRelease> release) {
        ++result.completions;
        result.release = std::move(release);
    });
    EXPECT_TRUE(runUntil([&] { return result.completions > 0; }, 10s));
    runFor(20ms);  // a second completion would show up here
    return result;
}

TEST(QtUpdateSource, AsksTheLookupServiceAndGivesTheFirstRelease) {
    CannedHttpServer server(CannedHttpServer::response(
        200, "OK",
        R"({"resultCount":2,"results":[{"version":"9.1","trackViewUrl":"https://example.com/app"},)"
        R"({"version":"8.0","trackViewUrl":"https://example.com/old"}]})"));
    QtUpdateSource source({.host = server.host() + "/", .storeId = "123456"});
    ScopedLogCapture log;
    const Lookup result = lookUp(source);
    EXPECT_EQ(result.completions, 1);
    EXPECT_EQ(result.release, (AppStoreRelease{"9.1", "https://example.com/app"}));
    EXPECT_EQ(server.requestLines,
              (std::vector<std::string>{"GET /lookup?id=123456&country=us HTTP/1.1"}));
    EXPECT_TRUE(log->lines().empty());
}

struct FailureCase {
    const char* what;
    std::optional<std::string> response;  // none: the server never answers
    const char* logLine;
    bool closed = false;  // nothing listens on the port at all
    std::chrono::milliseconds timeout{15000};
};

TEST(QtUpdateSource, EachFailureIsLoggedOnceAndGivesNone) {
    const FailureCase cases[] = {
        {"not found", CannedHttpServer::response(404, "Not Found", "{}"),
         "Update check: non-200 response"},
        {"server error", CannedHttpServer::response(500, "Oops", ""),
         "Update check: non-200 response"},
        {"bad json", CannedHttpServer::response(200, "OK", "<html>"),
         "Update check failed: The response is not valid JSON"},
        {"wrong shape", CannedHttpServer::response(200, "OK", R"({"results":[]})"),
         "Update check failed: The response has no \"resultCount\""},
        {"empty results",
         CannedHttpServer::response(200, "OK", R"({"resultCount":0,"results":[]})"),
         "Update check: no release found"},
        {"connection refused", std::nullopt, "Update check failed: Connection refused", true},
        {"silent server", std::nullopt, "Update check failed: The request timed out.", false,
         300ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto server = std::make_unique<CannedHttpServer>(c.response);
        QtUpdateSource source({.host = server->host(), .storeId = "1", .timeout = c.timeout});
        if (c.closed) server.reset();
        ScopedLogCapture log;
        const auto start = std::chrono::steady_clock::now();
        const Lookup result = lookUp(source);
        if (!c.response && !c.closed) {
            EXPECT_GE(std::chrono::steady_clock::now() - start, c.timeout);
        }
        EXPECT_EQ(result.completions, 1);
        EXPECT_EQ(result.release, std::nullopt);
        ASSERT_EQ(log->lines().size(), 1u);
        EXPECT_EQ(log->lines()[0].level, LogLevel::info);
        EXPECT_EQ(log->lines()[0].message, c.logLine);
    }
}

TEST(QtUpdateSource, AnInvalidHostFailsAtOnce) {
    QtUpdateSource source({.host = "not a url", .storeId = "1"});
    ScopedLogCapture log;
    bool calledInside = false;
    source.latestRelease([&](std::optional<AppStoreRelease>) { calledInside = true; });
    EXPECT_FALSE(calledInside);  // completions come from the loop, never from inside the call
    const Lookup result = lookUp(source);
    EXPECT_EQ(result.release, std::nullopt);
    EXPECT_EQ(log->count("Update check failed: the lookup address \"not a url\" is not valid"), 2u);
}

TEST(QtUpdateSource, TheCompletionMayDestroyTheSource) {
    CannedHttpServer server(CannedHttpServer::response(404, "Not Found", ""));
    auto source =
        std::make_unique<QtUpdateSource>(UpdateLookup{.host = server.host(), .storeId = "1"});
    bool completed = false;
    source->latestRelease([&](std::optional<AppStoreRelease>) {
        completed = true;
        source.reset();
    });
    ASSERT_TRUE(runUntil([&] { return completed; }));
    runFor(20ms);
    EXPECT_EQ(source, nullptr);
}

TEST(QtUpdateSource, LooksUpOnlyWhenTheBuildNamesAHostAndAStoreId) {
    EXPECT_EQ(UpdateLookup::fromBuildSettings().timeout, 15s);
    const UpdateLookup configured{.host = "https://releases.example.org", .storeId = "42"};
    EXPECT_TRUE(configured.isConfigured());
    EXPECT_EQ(QtUpdateSource(configured).lookupUrl(),
              "https://releases.example.org/lookup?id=42&country=us");
    EXPECT_FALSE((UpdateLookup{.host = "", .storeId = "42"}.isConfigured()));
    EXPECT_FALSE((UpdateLookup{.host = configured.host, .storeId = ""}.isConfigured()));
}

TEST(QtUpdateSource, DestroyingTheSourceAbandonsTheLookup) {
    CannedHttpServer silent(std::nullopt);
    int completions = 0;
    {
        QtUpdateSource source({.host = silent.host(), .storeId = "1"});
        source.latestRelease([&](std::optional<AppStoreRelease>) { ++completions; });
        runUntil([&] { return !silent.requestLines.empty(); });
    }
    runFor(50ms);
    EXPECT_EQ(completions, 0);
}

}  // namespace
}  // namespace joywright::e2e
