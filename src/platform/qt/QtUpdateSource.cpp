#include "platform/qt/QtUpdateSource.hpp"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include "support/Log.hpp"

namespace joywright {

namespace {

QUrl lookupQUrl(const UpdateLookup& lookup) {
    std::string host = lookup.host;
    while (!host.empty() && host.back() == '/')
        host.pop_back();
    QUrl url(QString::fromStdString(host + "/lookup"), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) return {};
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("id"), QString::fromStdString(lookup.storeId));
    query.addQueryItem(QStringLiteral("country"), QStringLiteral("us"));
    url.setQuery(query);
    return url;
}

}  // namespace

UpdateLookup UpdateLookup::fromBuildSettings() {
    return UpdateLookup{.host = JOYWRIGHT_LOOKUP_HOST, .storeId = JOYWRIGHT_STORE_ID};
}

QtUpdateSource::QtUpdateSource(UpdateLookup lookup)
    : lookup_(std::move(lookup)), requests_(std::make_unique<QObject>()) {}

QtUpdateSource::~QtUpdateSource() {
    *alive_ = false;
    for (QNetworkReply* reply : requests_->findChildren<QNetworkReply*>())
        reply->abort();
    // Later, not now: the source may be going from inside a lookup's own completion.
    requests_.release()->deleteLater();
}

std::string QtUpdateSource::lookupUrl() const {
    return lookupQUrl(lookup_).toString().toStdString();
}

void QtUpdateSource::latestRelease(Completion completion) {
    const QUrl url = lookupQUrl(lookup_);
    if (!url.isValid()) {
        JW_LOG_INFO(general, "Update check failed: %s",
                    ("the lookup address \"" + lookup_.host + "\" is not valid").c_str());
        // Completions always come later from the loop, never from inside this call.
        QTimer::singleShot(0, requests_.get(),
                           [alive = alive_, completion = std::move(completion)] {
                               if (*alive) completion(std::nullopt);
                           });
        return;
    }

    // A session of its own: its cookie jar and credential cache go with it; nothing is cached.
    auto* session = new QNetworkAccessManager(requests_.get());
    QNetworkRequest request(url);
    const int timeoutMs = static_cast<int>(lookup_.timeout.count());
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    QNetworkReply* reply = session->get(request);

    // The whole transfer, not only each silence, ends after the timeout.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeoutMs);

    QObject::connect(
        reply, &QNetworkReply::finished, session,
        [session, reply, alive = alive_, completion = std::move(completion)] {
            session->deleteLater();
            if (!*alive) return;
            const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            // No status: nothing came back. A 200 with an error: the body broke off.
            if (!status.isValid() ||
                (status.toInt() == 200 && reply->error() != QNetworkReply::NoError)) {
                const std::string reason = reply->error() == QNetworkReply::OperationCanceledError
                                               ? "The request timed out."
                                               : reply->errorString().toStdString();
                JW_LOG_INFO(general, "Update check failed: %s", reason.c_str());
                completion(std::nullopt);
                return;
            }
            if (status.toInt() != 200) {
                JW_LOG_INFO(general, "Update check: non-200 response");
                completion(std::nullopt);
                return;
            }
            const QByteArray body = reply->readAll();
            auto release = decodeLookupResponse(
                std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
            if (!release) {
                JW_LOG_INFO(general, "Update check failed: %s", release.error().c_str());
                completion(std::nullopt);
                return;
            }
            if (!release->has_value()) JW_LOG_INFO(general, "Update check: no release found");
            completion(std::move(release).value());
        });
}

}  // namespace joywright
