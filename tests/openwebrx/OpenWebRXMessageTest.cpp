#include "openwebrx/OpenWebRXMessage.h"

#include <gtest/gtest.h>

namespace {

JSONValue::Object members(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    JSONValue::Object object;
    for (const auto& [key, value] : pairs)
        object.insert_or_assign(QString(key), JSONValue(QString(value)));
    return object;
}

TEST(OpenWebRXMessage, HandshakeReplyWords)
{
    const std::pair<const char*, JSONValue::Object> cases[] = {
        {"CLIENT DE SERVER server=openwebrx version=1.2.0", members({{"server", "openwebrx"}, {"version", "1.2.0"}})},
        {"CLIENT DE SERVER", {}},
        {"CLIENT DE SERVER plain words x= =y = ==", {}},
        {"CLIENT DE SERVER a=b=c ==k=v", members({{"a", "b=c"}, {"k", "v"}})},
        {"CLIENT DE SERVER   a=1    a=2  ", members({{"a", "2"}})},
        {"CLIENT DE SERVER a=1\tb=2 c=3", members({{"a", "1\tb=2"}, {"c", "3"}})},
        // The character after the prefix is dropped whatever it is.
        {"CLIENT DE SERVER\xF0\x9F\x98\x80" "a=1", members({{"a", "1"}})},
    };
    for (const auto& [text, expected] : cases) {
        const auto message = parseOpenWebRXText(QString::fromUtf8(text));
        ASSERT_TRUE(message) << text;
        EXPECT_EQ(*message, (OpenWebRXMessage{"handshake", JSONValue(expected), std::nullopt})) << text;
    }
}

TEST(OpenWebRXMessage, JSONMessagesAndUndecodableText)
{
    EXPECT_EQ(parseOpenWebRXText(R"({"type":"smeter","value":0.5})"),
              (OpenWebRXMessage{"smeter", JSONValue(0.5), std::nullopt}));
    EXPECT_EQ(parseOpenWebRXText(R"({"type":"x","value":null,"reason":null,"other":[1]})"),
              (OpenWebRXMessage{"x", std::nullopt, std::nullopt}));
    EXPECT_EQ(parseOpenWebRXText(R"({"type":"backoff","reason":"Too many users"})"),
              (OpenWebRXMessage{"backoff", std::nullopt, QString("Too many users")}));

    for (const char* text : {R"({"value":1})", R"([{"type":"x"}])", R"({"type":5})", R"({"type":null})",
                             R"({"type":"x","reason":5})", R"({"type":"x","reason":{}})", "not json", "",
                             "client de server a=b", R"({"type":"x"} trailing)"})
        EXPECT_FALSE(parseOpenWebRXText(text)) << text;
}

// The session tests against rxsim check what a server makes of the other
// messages; these parts it ignores.
TEST(OpenWebRXMessage, OutgoingRatesSquelchAndExactIntegers)
{
    EXPECT_EQ(openWebRXDSPControl("am", 9007199254740993LL, -9007199254740993LL, 0),
        R"({"params":{"high_cut":0,"low_cut":-9007199254740993,"mod":"am","offset_freq":9007199254740993,)"
        R"("squelch_level":-150},"type":"dspcontrol"})");
    EXPECT_EQ(openWebRXConnectionProperties(),
        R"({"params":{"hd_output_rate":48000,"output_rate":12000},"type":"connectionproperties"})");
}

} // namespace
