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
    bool completed = false;
    int completions = 0;
    std::optional<AppStoreRelease> release;
};

Lookup lookUp(QtUpdateSource& source) {
    Lookup result;
    source.latestRelease([&](std::optional<AppStoreRelease> release) {
        result.completed = true;
        ++result.completions;
        result.release = std::move(release);
    });
    EXPECT_TRUE(runUntil([&] { return result.completed; }, 10s));
    runUntil([] { return false; }, 20ms);  // a second completion would show up here
    return result;
}

TEST(QtUpdateSource, AsksTheLookupServiceAndGivesTheFirstRelease) {
    CannedHttpServer server(CannedHttpServer::response(
        200, "OK",
        R"({"resultCount":1,"results":[{"version":"9.1","trackViewUrl":"https://example.com/app"}]})"));
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
    std::optional<std::string> response;
    const char* logLine;
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
         CannedHttpServer::response(200, "OK", R"({"resultCount":0,"results":[]})"), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CannedHttpServer server(c.response);
        QtUpdateSource source({.host = server.host(), .storeId = "1"});
        ScopedLogCapture log;
        const Lookup result = lookUp(source);
        EXPECT_EQ(result.completions, 1);
        EXPECT_EQ(result.release, std::nullopt);
        if (c.logLine == nullptr) {
            EXPECT_TRUE(log->lines().empty());
        } else {
            ASSERT_EQ(log->lines().size(), 1u);
            EXPECT_EQ(log->lines()[0].level, LogLevel::info);
            EXPECT_EQ(log->lines()[0].message, c.logLine);
        }
    }
}

TEST(QtUpdateSource, ANetworkFailureIsLoggedWithItsReason) {
    std::string host;
    {
        CannedHttpServer closed(std::nullopt);
        host = closed.host();
    }
    QtUpdateSource source({.host = host, .storeId = "1"});
    ScopedLogCapture log;
    const Lookup result = lookUp(source);
    EXPECT_EQ(result.release, std::nullopt);
    ASSERT_EQ(log->lines().size(), 1u);
    EXPECT_EQ(log->lines()[0].message, "Update check failed: Connection refused");
}

TEST(QtUpdateSource, ASilentServerTimesOut) {
    CannedHttpServer silent(std::nullopt);
    QtUpdateSource source({.host = silent.host(), .storeId = "1", .timeout = 300ms});
    ScopedLogCapture log;
    const auto start = std::chrono::steady_clock::now();
    const Lookup result = lookUp(source);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(result.release, std::nullopt);
    ASSERT_EQ(log->lines().size(), 1u);
    EXPECT_EQ(log->lines()[0].message, "Update check failed: The request timed out.");
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
    runUntil([] { return false; }, 20ms);
    EXPECT_EQ(source, nullptr);
}

TEST(QtUpdateSource, LooksUpOnlyWhenTheBuildNamesAHostAndAStoreId) {
    EXPECT_EQ(UpdateLookup::fromBuildSettings().timeout, 15s);
    struct Case {
        const char* host;
        const char* storeId;
        bool configured;
    };
    constexpr Case kCases[] = {
        {"https://releases.example.org", "42", true},
        {"", "42", false},
        {"https://releases.example.org", "", false},
        {"", "", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.host) + " " + c.storeId);
        const UpdateLookup lookup{.host = c.host, .storeId = c.storeId};
        EXPECT_EQ(lookup.isConfigured(), c.configured);
        if (c.configured) {
            EXPECT_EQ(QtUpdateSource(lookup).lookupUrl(),
                      "https://releases.example.org/lookup?id=42&country=us");
        }
    }
}

TEST(QtUpdateSource, DestroyingTheSourceAbandonsTheLookup) {
    CannedHttpServer silent(std::nullopt);
    int completions = 0;
    {
        QtUpdateSource source({.host = silent.host(), .storeId = "1"});
        source.latestRelease([&](std::optional<AppStoreRelease>) { ++completions; });
        runUntil([&] { return !silent.requestLines.empty(); });
    }
    runUntil([] { return false; }, 50ms);
    EXPECT_EQ(completions, 0);
}

}  // namespace
}  // namespace joywright::e2e
