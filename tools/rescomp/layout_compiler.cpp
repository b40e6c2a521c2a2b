#include "tools/rescomp/layout_compiler.h"

#include <cfloat>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "message/byte_order.h"
#include "message/flat_message_reader.h"

namespace {

using Json = nlohmann::ordered_json;

[[noreturn]] void Fail(const std::string& field, const std::string& problem) {
    throw LayoutError(field, problem);
}

void Check(status_t status, const std::string& field) {
    if (status != B_OK) Fail(field, strerror_status(status));
}

// The parser keeps only one of two equal keys, silently; in a layout that is a mistake.
Json ParseUnique(std::string_view text) {
    std::vector<std::set<std::string>> keys;
    auto callback = [&keys](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end) keys.pop_back();
        if (event == Json::parse_event_t::key &&
            !keys.back().insert(parsed.get<std::string>()).second) {
            Fail(parsed.get<std::string>(), "appears twice");
        }
        return true;
    };
    try {
        return Json::parse(text.begin(), text.end(), callback);
    } catch (const Json::parse_error& error) {
        Fail("", error.what());
    }
}

int64 Integer(const Json& item, int64 min, int64 max, const std::string& field) {
    if (!item.is_number_integer()) Fail(field, "needs a whole number");
    bool inRange = item.is_number_unsigned() ? item.get<uint64>() <= uint64(max)
                                             : item.get<int64>() >= min && item.get<int64>() <= max;
    if (!inRange) Fail(field, "is out of range");
    return item.get<int64>();
}

float Number(const Json& item, const std::string& field) {
    if (!item.is_number()) Fail(field, "needs a number");
    double value = item.get<double>();
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) Fail(field, "is out of range");
    return float(value);
}

std::string Text(const Json& item, const std::string& field) {
    if (!item.is_string()) Fail(field, "needs a string");
    auto text = item.get<std::string>();
    if (text.find('\0') != std::string::npos) Fail(field, "holds a NUL character");
    return text;
}

std::string Indexed(const std::string& field, size_t index) {
    return field + "[" + std::to_string(index) + "]";
}

std::vector<float> Numbers(const Json& item, size_t count, const std::string& field) {
    if (!item.is_array() || item.size() != count) {
        Fail(field, "needs an array of " + std::to_string(count) + " numbers");
    }
    std::vector<float> numbers;
    for (size_t i = 0; i < count; i++) {
        numbers.push_back(Number(item[i], Indexed(field, i)));
    }
    return numbers;
}

// Where an item lies: its field, for error messages, and how deep its message is nested.
struct Where {
    std::string field;
    int depth = 0;

    Where Item(size_t index) const { return {Indexed(field, index), depth}; }
};

BMessage CompileMessage(const Json& object, const Where& at);

void AddString(BMessage* m, const char* name, const Json& item, const Where& at) {
    Check(m->AddString(name, Text(item, at.field)), at.field);
}

void AddRef(BMessage* m, const char* name, const Json& item, const Where& at) {
    entry_ref ref(Text(item, at.field));
    Check(m->AddRef(name, &ref), at.field);
}

void AddInt32(BMessage* m, const char* name, const Json& item, const Where& at) {
    auto value = Integer(item, INT32_MIN, INT32_MAX, at.field);
    Check(m->AddInt32(name, int32(value)), at.field);
}

void AddInt16(BMessage* m, const char* name, const Json& item, const Where& at) {
    auto value = Integer(item, INT16_MIN, INT16_MAX, at.field);
    Check(m->AddInt16(name, int16(value)), at.field);
}

void AddFloat(BMessage* m, const char* name, const Json& item, const Where& at) {
    Check(m->AddFloat(name, Number(item, at.field)), at.field);
}

void AddBool(BMessage* m, const char* name, const Json& item, const Where& at) {
    if (!item.is_boolean()) Fail(at.field, "needs true or false");
    Check(m->AddBool(name, item.get<bool>()), at.field);
}

void AddPoint(BMessage* m, const char* name, const Json& item, const Where& at) {
    auto v = Numbers(item, 2, at.field);
    Check(m->AddPoint(name, BPoint(v[0], v[1])), at.field);
}

void AddRect(BMessage* m, const char* name, const Json& item, const Where& at) {
    auto v = Numbers(item, 4, at.field);
    Check(m->AddRect(name, BRect(v[0], v[1], v[2], v[3])), at.field);
}

void AddColor(BMessage* m, const char* name, const Json& item, const Where& at) {
    if (!item.is_array() || item.size() < 3 || item.size() > 4) {
        Fail(at.field, "needs an array of 3 or 4 whole numbers");
    }
    uint8 c[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < item.size(); i++) {
        c[i] = uint8(Integer(item[i], 0, 255, at.Item(i).field));
    }
    Check(m->AddColor(name, rgb_color{c[0], c[1], c[2], c[3]}), at.field);
}

void AddMessage(BMessage* m, const char* name, const Json& item, const Where& at) {
    BMessage nested = CompileMessage(item, Where{at.field, at.depth + 1});
    Check(m->AddMessage(name, &nested), at.field);
}

void AddInt32Array(BMessage* m, const char* name, const Json& item, const Where& at) {
    if (!item.is_array() || item.empty()) Fail(at.field, "needs an array of whole numbers");
    std::vector<uint8> bytes(item.size() * 4);
    for (size_t i = 0; i < item.size(); i++) {
        auto value = Integer(item[i], INT32_MIN, INT32_MAX, at.Item(i).field);
        WriteLE32(&bytes[i * 4], uint32(int32(value)));
    }
    Check(m->AddData(name, B_INT32_TYPE, bytes.data(), ssize_t(bytes.size())), at.field);
}

// How a field's value lists its items.
enum class Shape {
    kScalar,  // one value, or an array of values
    kTuple,   // one array, or an array of arrays
    kWhole,   // the whole value is one item
};

struct Kind {
    const char* name;
    Shape shape;
    void (*add)(BMessage*, const char*, const Json&, const Where&);
};

constexpr Kind kKinds[] = {
    {"string", Shape::kScalar, AddString},
    {"ref", Shape::kScalar, AddRef},
    {"int32", Shape::kScalar, AddInt32},
    {"int16", Shape::kScalar, AddInt16},
    {"float", Shape::kScalar, AddFloat},
    {"bool", Shape::kScalar, AddBool},
    {"point", Shape::kTuple, AddPoint},
    {"rect", Shape::kTuple, AddRect},
    {"color", Shape::kTuple, AddColor},
    {"message", Shape::kScalar, AddMessage},
    {"int32_array", Shape::kWhole, AddInt32Array},
};

bool SeveralItems(const Json& value, Shape shape) {
    if (!value.is_array() || shape == Shape::kWhole) return false;
    return shape == Shape::kScalar || (!value.empty() && value[0].is_array());
}

void AddField(BMessage* message, const std::string& name, const Json& typed, const Where& at) {
    if (name.empty() || name.size() > 255) Fail(at.field, "needs a name of 1 to 255 bytes");
    if (!typed.is_object() || typed.size() != 1) Fail(at.field, "needs one {\"kind\": value} pair");
    const std::string& kindName = typed.begin().key();
    const Json& value = typed.begin().value();
    for (const Kind& kind : kKinds) {
        if (kindName != kind.name) continue;
        if (!SeveralItems(value, kind.shape)) {
            kind.add(message, name.c_str(), value, at);
            return;
        }
        if (value.empty()) Fail(at.field, "has no items");
        for (size_t i = 0; i < value.size(); i++)
            kind.add(message, name.c_str(), value[i], at.Item(i));
        return;
    }
    Fail(at.field, "has the unknown kind \"" + kindName + "\"");
}

uint32 What(const Json& what, const std::string& field) {
    if (what.is_string() && what.get<std::string>().size() == 4) {
        auto code = what.get<std::string>();
        return (uint32(uint8(code[0])) << 24) | (uint32(uint8(code[1])) << 16) |
               (uint32(uint8(code[2])) << 8) | uint32(uint8(code[3]));
    }
    if (what.is_number_integer()) return uint32(Integer(what, 0, UINT32_MAX, field));
    Fail(field, "needs four characters or a whole number");
}

std::string Join(const std::string& where, const std::string& name) {
    return where.empty() ? name : where + "." + name;
}

BMessage CompileMessage(const Json& object, const Where& at) {
    if (!object.is_object()) Fail(at.field, "needs an object with \"what\" and \"fields\"");
    // A reader refuses anything deeper, so the layout could never be loaded.
    if (at.depth > flat::kMaxDepth) {
        Fail(at.field, "nests messages more than " + std::to_string(flat::kMaxDepth) + " deep");
    }
    BMessage message;
    for (const auto& [key, value] : object.items()) {
        if (key == "what") {
            message.what = What(value, Join(at.field, "what"));
        } else if (key == "fields") {
            if (!value.is_object()) Fail(Join(at.field, "fields"), "needs an object");
            for (const auto& [name, typed] : value.items()) {
                AddField(&message, name, typed, Where{Join(at.field, name), at.depth});
            }
        } else {
            Fail(Join(at.field, key), "is not \"what\" or \"fields\"");
        }
    }
    return message;
}

}  // namespace

BMessage CompileLayout(std::string_view text) {
    return CompileMessage(ParseUnique(text), Where{});
}
