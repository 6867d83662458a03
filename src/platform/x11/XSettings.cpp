#include "platform/x11/XSettings.hpp"

namespace joywright {

namespace {

// Setting types of the XSETTINGS format.
constexpr std::uint8_t kTypeInteger = 0;
constexpr std::uint8_t kTypeString = 1;
constexpr std::uint8_t kTypeColor = 2;

// Reads the data front to back in the byte order its first byte declares.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

    bool ok() const { return ok_; }
    void setBigEndian(bool big) { bigEndian_ = big; }

    std::uint8_t card8() {
        if (!take(1)) return 0;
        return data_[offset_ - 1];
    }
    std::uint16_t card16() {
        if (!take(2)) return 0;
        const auto* p = &data_[offset_ - 2];
        return static_cast<std::uint16_t>(bigEndian_ ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
    }
    std::uint32_t card32() {
        if (!take(4)) return 0;
        const auto* p = &data_[offset_ - 4];
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t byte = p[bigEndian_ ? i : 3 - i];
            value = (value << 8) | byte;
        }
        return value;
    }
    std::string_view text(std::size_t length) {
        if (!take(length)) return {};
        return {reinterpret_cast<const char*>(&data_[offset_ - length]), length};
    }
    // Skips `length` bytes and the padding that rounds them up to a multiple of 4.
    void skipPadded(std::size_t length) { take(padded(length) - length); }
    void skip(std::size_t length) { take(length); }

    static std::size_t padded(std::size_t length) { return (length + 3) / 4 * 4; }

private:
    bool take(std::size_t length) {
        if (!ok_ || length > data_.size() - offset_) {
            ok_ = false;
            return false;
        }
        offset_ += length;
        return true;
    }

    std::span<const std::uint8_t> data_;
    std::size_t offset_ = 0;
    bool bigEndian_ = false;
    bool ok_ = true;
};

}  // namespace

std::optional<std::int32_t> xsettingsInteger(std::span<const std::uint8_t> data,
                                             std::string_view name) {
    Reader reader(data);
    const std::uint8_t byteOrder = reader.card8();  // 0 LSBFirst, 1 MSBFirst
    if (!reader.ok() || byteOrder > 1) return std::nullopt;
    reader.setBigEndian(byteOrder == 1);
    reader.skip(3);
    reader.card32();  // serial
    const std::uint32_t count = reader.card32();
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        const std::uint8_t type = reader.card8();
        reader.skip(1);
        const std::uint16_t nameLength = reader.card16();
        const std::string_view settingName = reader.text(nameLength);
        reader.skipPadded(nameLength);
        reader.card32();  // last change serial
        switch (type) {
            case kTypeInteger: {
                const auto value = static_cast<std::int32_t>(reader.card32());
                if (reader.ok() && settingName == name) return value;
                break;
            }
            case kTypeString: {
                const std::uint32_t length = reader.card32();
                reader.skip(length);
                reader.skipPadded(length);
                break;
            }
            case kTypeColor:
                reader.skip(8);
                break;
            default:
                return std::nullopt;  // the rest cannot be walked
        }
    }
    return std::nullopt;
}

}  // namespace joywright
