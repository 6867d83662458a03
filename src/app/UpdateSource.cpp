#include "app/UpdateSource.hpp"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace joywright {

namespace {

using Json = nlohmann::json;

// An integer as a strict decoder reads one: a whole JSON number within 64 bits.
bool isInteger(const Json& value) {
    if (value.is_number_integer()) return true;
    if (!value.is_number_float()) return false;
    const double d = value.get<double>();
    return std::isfinite(d) && std::trunc(d) == d && d >= -9.2233720368547758e18 &&
           d < 9.2233720368547758e18;
}

}  // namespace

Expected<std::optional<AppStoreRelease>, std::string> decodeLookupResponse(std::string_view body) {
    const Json document = Json::parse(body.begin(), body.end(), nullptr, false);
    if (document.is_discarded()) return unexpected(std::string("The response is not valid JSON"));
    if (!document.is_object()) return unexpected(std::string("The response is not a JSON object"));

    const auto count = document.find("resultCount");
    if (count == document.end())
        return unexpected(std::string("The response has no \"resultCount\""));
    if (!isInteger(*count)) return unexpected(std::string("\"resultCount\" is not an integer"));

    const auto results = document.find("results");
    if (results == document.end())
        return unexpected(std::string("The response has no \"results\""));
    if (!results->is_array()) return unexpected(std::string("\"results\" is not a list"));

    // Every result must decode, as the whole list is read before the first is taken.
    std::optional<AppStoreRelease> first;
    for (std::size_t i = 0; i < results->size(); ++i) {
        const Json& result = (*results)[i];
        const std::string where = "results[" + std::to_string(i) + "]";
        if (!result.is_object()) return unexpected(where + " is not an object");
        AppStoreRelease release;
        for (const auto& [key, field] : {std::pair{"version", &release.version},
                                         std::pair{"trackViewUrl", &release.trackViewUrl}}) {
            const auto member = result.find(key);
            if (member == result.end()) return unexpected(where + " has no \"" + key + "\"");
            if (!member->is_string()) return unexpected(where + "." + key + " is not text");
            *field = member->get<std::string>();
        }
        if (!first) first = std::move(release);
    }
    return first;
}

}  // namespace joywright
