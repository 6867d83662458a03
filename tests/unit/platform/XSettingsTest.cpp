#include "platform/x11/XSettings.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace joywright {
namespace {

// Writes an XSETTINGS property in either byte order.
class SettingsWriter {
public:
    explicit SettingsWriter(bool bigEndian) : big_(bigEndian) {
        bytes_ = {static_cast<std::uint8_t>(big_ ? 1 : 0), 0, 0, 0};
        number(7, 4);  // serial
        number(0, 4);  // count, patched as settings are added
    }

    SettingsWriter& integer(const std::string& name, std::int32_t value) {
        header(0, name);
        number(static_cast<std::uint32_t>(value), 4);
        return counted();
    }
    SettingsWriter& text(const std::string& name, const std::string& value) {
        header(1, name);
        number(static_cast<std::uint32_t>(value.size()), 4);
        padded(value);
        return counted();
    }
    SettingsWriter& color(const std::string& name) {
        header(2, name);
        bytes_.insert(bytes_.end(), 8, 0xff);
        return counted();
    }
    std::vector<std::uint8_t> bytes() const { return bytes_; }

private:
    void header(std::uint8_t type, const std::string& name) {
        bytes_.push_back(type);
        bytes_.push_back(0);
        number(static_cast<std::uint32_t>(name.size()), 2);
        padded(name);
        number(1, 4);  // last change serial
    }
    SettingsWriter& counted() {
        number(++count_, 4, 8);
        return *this;
    }
    void padded(const std::string& s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    // `size` bytes of `v` in the writer's byte order, at `at` (default: the end).
    void number(std::uint32_t v, int size, std::size_t at = SIZE_MAX) {
        if (at == SIZE_MAX) {
            at = bytes_.size();
            bytes_.resize(at + static_cast<std::size_t>(size));
        }
        for (int i = 0; i < size; ++i) {
            const int shift = 8 * (big_ ? size - 1 - i : i);
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> shift);
        }
    }

    bool big_;
    std::uint32_t count_ = 0;
    std::vector<std::uint8_t> bytes_;
};

constexpr std::string_view kDoubleClick = "Net/DoubleClickTime";

TEST(XSettings, FindsSignedIntegersAfterOtherKindsOfSettingInBothByteOrders) {
    for (const bool big : {false, true}) {
        SCOPED_TRACE(big ? "MSB first" : "LSB first");
        const auto bytes = SettingsWriter(big)
                               .text("Net/ThemeName", "Adwaita")
                               .color("Gtk/Color")
                               .integer("Net/CursorBlinkTime", 1200)
                               .integer(std::string(kDoubleClick), 250)
                               .integer("Xft/DPI", -1)
                               .bytes();
        EXPECT_EQ(xsettingsInteger(bytes, kDoubleClick), 250);
        EXPECT_EQ(xsettingsInteger(bytes, "Xft/DPI"), -1);
        EXPECT_EQ(xsettingsInteger(bytes, "Net/CursorBlinkTime"), 1200);
        EXPECT_EQ(xsettingsInteger(bytes, "Net/Missing"), std::nullopt);
        // A setting of another kind is not an integer.
        EXPECT_EQ(xsettingsInteger(bytes, "Net/ThemeName"), std::nullopt);
    }
}

TEST(XSettings, TruncatedDataGivesNoneAtEveryLength) {
    const auto bytes = SettingsWriter(false)
                           .text("Net/ThemeName", "Adwaita")
                           .integer(std::string(kDoubleClick), 250)
                           .bytes();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(xsettingsInteger(std::span(bytes.data(), length), kDoubleClick), std::nullopt);
    }
}

TEST(XSettings, MalformedDataGivesNone) {
    auto badOrder = SettingsWriter(false).integer(std::string(kDoubleClick), 250).bytes();
    badOrder[0] = 2;
    EXPECT_EQ(xsettingsInteger(badOrder, kDoubleClick), std::nullopt);

    // An unknown kind of setting ends the walk: its size is unknown.
    auto unknownType =
        SettingsWriter(false).integer("A", 1).integer(std::string(kDoubleClick), 250).bytes();
    unknownType[12] = 9;
    EXPECT_EQ(xsettingsInteger(unknownType, kDoubleClick), std::nullopt);

    // A string whose length runs past the end.
    auto longString =
        SettingsWriter(false).text("T", "abcd").integer(std::string(kDoubleClick), 250).bytes();
    longString[24] = 0xff;
    EXPECT_EQ(xsettingsInteger(longString, kDoubleClick), std::nullopt);

    // More settings announced than present.
    auto overCounted = SettingsWriter(false).integer(std::string(kDoubleClick), 250).bytes();
    overCounted[8] = 200;
    EXPECT_EQ(xsettingsInteger(overCounted, kDoubleClick), 250);
    EXPECT_EQ(xsettingsInteger(overCounted, "Other"), std::nullopt);
}

}  // namespace
}  // namespace joywright
