#include "connection/JSONValue.h"

#include <gtest/gtest.h>

namespace {

TEST(JSONValue, KindsAndMembers)
{
    const auto parsed = parseJSONValue(R"([true, 1, 0, 2.5, "x", null, [], {}])");
    ASSERT_TRUE(parsed);
    const JSONValue::Array expected{JSONValue(true),        JSONValue(1.0),     JSONValue(0.0),
                                    JSONValue(2.5),         JSONValue(QString("x")), JSONValue(nullptr),
                                    JSONValue(JSONValue::Array{}), JSONValue(JSONValue::Object{})};
    EXPECT_EQ(*parsed, JSONValue(expected));
    EXPECT_FALSE(parsed->asArray()->at(1).asBool());

    const auto object = parseJSONValue(R"({"a": 1, "s": "t", "n": null, "d": 1, "d": 2})");
    ASSERT_TRUE(object);
    EXPECT_EQ(std::tuple(object->member("n"), object->member("b"), parsed->member("0"), JSONValue(QString("a")).member("a")),
        std::tuple(JSONValue(nullptr), std::nullopt, std::nullopt, std::nullopt)) << "only objects have members";
    EXPECT_EQ(std::tuple(object->stringMember("s"), object->stringMember("a"), object->numberMember("a"),
                  object->numberMember("s"), object->numberMember("d")),
        std::tuple("t", std::nullopt, 1.0, std::nullopt, 2.0));
}

TEST(JSONValue, MalformedScalarOrTooDeepDocumentsGiveNothing)
{
    for (const char* text : {"", "{", "{\"a\":}", "3", "\"x\"", "null", "{\"a\":1e400}", "{} x"})
        EXPECT_FALSE(parseJSONValue(text)) << text;

    const auto nested = [](int depth) { return QByteArray(depth, '[') + QByteArray(depth, ']'); };
    EXPECT_TRUE(parseJSONValue(nested(jsonMaxDepth)));
    EXPECT_FALSE(parseJSONValue(nested(jsonMaxDepth + 1)));
    EXPECT_FALSE(parseJSONValue(nested(100000)));
    const QByteArray objects = QByteArray("{\"a\":").repeated(jsonMaxDepth + 1);
    EXPECT_FALSE(parseJSONValue(objects + "1" + QByteArray(jsonMaxDepth + 1, '}')));

    const QByteArray text(10 * 1024 * 1024, 'x');
    const auto parsed = parseJSONValue("[\"" + text + "\"]");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->asArray()->at(0).asString()->size(), text.size());
}

} // namespace
