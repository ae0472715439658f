#include "cimv2/sources/IppMessage.h"

#include <cstring>
#include <vector>

namespace cimv2 {

namespace {

// Value tags (RFC 8010 section 3.5).
constexpr uint8_t kUnknown = 0x12, kNoValue = 0x13, kInteger = 0x21, kBoolean = 0x22, kEnum = 0x23, kResolution = 0x32,
                  kRange = 0x33, kBeginCollection = 0x34, kTextWithLanguage = 0x35, kNameWithLanguage = 0x36,
                  kEndCollection = 0x37, kText = 0x41, kName = 0x42, kKeyword = 0x44, kUri = 0x45, kUriScheme = 0x46,
                  kCharset = 0x47, kLanguage = 0x48, kMimeType = 0x49, kExtension = 0x7f, kEndOfAttributes = 0x03;
constexpr uint8_t kPerCentimetre = 4;  // resolution units

// The bytes of the response, fetched in blocks as the reader needs them.
class Input {
public:
    explicit Input(const std::function<ssize_t(char*, size_t)>& read) : FRead(read) {}

    // The next n bytes, or null when the response ends before them. They
    // stay where they are until the next call.
    const uint8_t* Take(size_t n) {
        if (FEnd - FAt < n) {
            std::memmove(FBytes.data(), FBytes.data() + FAt, FEnd - FAt);
            FEnd -= FAt;
            FAt = 0;
            if (FBytes.size() < n) FBytes.resize(n);
            while (FEnd < n) {
                const ssize_t got = FRead(FBytes.data() + FEnd, FBytes.size() - FEnd);
                if (got <= 0) return nullptr;
                FEnd += static_cast<size_t>(got);
            }
        }
        const auto* bytes = reinterpret_cast<const uint8_t*>(FBytes.data() + FAt);
        FAt += n;
        return bytes;
    }

private:
    const std::function<ssize_t(char*, size_t)>& FRead;
    std::vector<char> FBytes = std::vector<char>(65536);
    size_t FAt = 0, FEnd = 0;
};

uint16_t Short(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
int32_t Long(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                                static_cast<uint32_t>(p[2]) << 8 | p[3]);
}

// One value by its tag; nothing when its length does not fit its syntax.
std::optional<IppValue> Decode(uint8_t tag, const uint8_t* v, size_t size) {
    switch (tag) {
        case kInteger:
        case kEnum:
            if (size != 4) return std::nullopt;
            return IppValue::Integer(Long(v));
        case kBoolean:
            if (size != 1) return std::nullopt;
            return IppValue::Boolean(v[0] != 0);
        case kRange:
            if (size != 8) return std::nullopt;
            return IppValue::Range(Long(v), Long(v + 4));
        case kResolution:
            if (size != 9) return std::nullopt;
            return IppValue::Resolution(Long(v), Long(v + 4), v[8] == kPerCentimetre);
        case kText:
        case kName:
        case kKeyword:
        case kUri:
        case kUriScheme:
        case kCharset:
        case kLanguage:
        case kMimeType:
            return IppValue::Text(std::string(reinterpret_cast<const char*>(v), size));
        case kTextWithLanguage:
        case kNameWithLanguage: {
            // The language, then the text, each after its length.
            if (size < 4) return std::nullopt;
            const size_t language = Short(v);
            if (language + 4 > size) return std::nullopt;
            const size_t text = Short(v + 2 + language);
            if (language + 4 + text != size) return std::nullopt;
            return IppValue::Text(std::string(reinterpret_cast<const char*>(v + 4 + language), text));
        }
        default:
            return IppValue();
    }
}

}  // namespace

std::optional<IppResponse> ReadIppResponse(const std::function<ssize_t(char*, size_t)>& read, uint8_t group,
                                           std::string& error, size_t limit) {
    Input in(read);
    IppResponse response;
    const uint8_t* header = in.Take(8);  // version, status-code, request-id
    if (!header) {
        error = "the print server's answer ends before its header";
        return std::nullopt;
    }
    response.status = Short(header + 2);
    uint8_t current = 0;  // the group being read
    bool inObject = false;
    IppAttributes object;
    std::string name;  // the attribute further values belong to
    int depth = 0;     // collections being skipped
    size_t cost = 8;   // against the limit
    auto overLimit = [&](size_t more) {
        cost += more;
        if (cost <= limit) return false;
        error = "the print server's answer is over the limit of " + std::to_string(limit) + " bytes";
        return true;
    };
    auto close = [&] {
        if (inObject) response.objects.push_back(std::move(object));
        object = IppAttributes();
        inObject = false;
    };
    for (;;) {
        const uint8_t* tag = in.Take(1);
        if (!tag) {
            error = "the print server's answer ends before its last attribute";
            return std::nullopt;
        }
        if (*tag == kEndOfAttributes) break;
        if (*tag < 0x10) {  // a new group: the next printer or job
            // Counted too: a server sending nothing but delimiters must end.
            if (overLimit(1 + (inObject ? sizeof(IppAttributes) : 0))) return std::nullopt;
            close();
            current = *tag;
            name.clear();
            continue;
        }
        uint8_t valueTag = *tag;
        if (valueTag == kExtension) {
            // The tag itself follows in four bytes: no syntax read here.
            if (!in.Take(4)) {
                error = "the print server's answer ends inside an attribute";
                return std::nullopt;
            }
            valueTag = 0;
        }
        // Each field is used before the next is taken: taking more bytes
        // may move those already taken.
        const uint8_t* field = in.Take(2);
        const size_t nameSize = field ? Short(field) : 0;
        field = field ? in.Take(nameSize) : nullptr;
        if (field && nameSize > 0 && depth == 0) name.assign(reinterpret_cast<const char*>(field), nameSize);
        field = field ? in.Take(2) : nullptr;
        const size_t valueSize = field ? Short(field) : 0;
        const uint8_t* value = field ? in.Take(valueSize) : nullptr;
        if (!value) {
            error = "the print server's answer ends inside an attribute";
            return std::nullopt;
        }
        // The smallest value is five bytes but takes a whole IppValue once read.
        if (overLimit(1 + 2 + nameSize + 2 + valueSize + sizeof(IppValue) + (nameSize > 0 ? sizeof(std::string) : 0)))
            return std::nullopt;
        // A collection is one value of its attribute; its members follow
        // without names up to the matching end.
        if (depth > 0) {
            if (valueTag == kBeginCollection) ++depth;
            if (valueTag == kEndCollection) --depth;
            continue;
        }
        if (name.empty()) {
            error = "the print server's answer has a value without an attribute name";
            return std::nullopt;
        }
        if (current == kIppOperationGroup && name == "status-message" &&
            (valueTag == kText || valueTag == kTextWithLanguage)) {
            if (auto text = Decode(valueTag, value, valueSize)) response.message = text->text;
        }
        if (current == kIppOperationGroup && name == "limit" && valueTag == kInteger)
            if (auto given = Decode(valueTag, value, valueSize)) response.limit = given->number;
        if (valueTag == kBeginCollection) depth = 1;
        if (current != group) continue;
        inObject = true;
        if (valueTag == kBeginCollection) {
            object.Add(name, IppValue());
            continue;
        }
        if (valueTag == kNoValue || valueTag == kUnknown) continue;
        auto decoded = Decode(valueTag, value, valueSize);
        if (!decoded) {
            error = "the print server's answer has a malformed value of " + name;
            return std::nullopt;
        }
        object.Add(name, std::move(*decoded));
    }
    close();
    return response;
}

}  // namespace cimv2
