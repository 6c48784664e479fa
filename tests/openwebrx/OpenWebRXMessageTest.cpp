#include "openwebrx/JSONValuePrinting.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

JSONValue::Object members(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    JSONValue::Object object;
    for (const auto& [key, value] : pairs)
        object.insert_or_assign(QString(key), JSONValue(QString(value)));
    return object;
}

struct HandshakeCase {
    const char* text;
    JSONValue::Object expected;
};

TEST(OpenWebRXMessage, HandshakeReply)
{
    const HandshakeCase cases[] = {
        {"CLIENT DE SERVER server=openwebrx version=1.2.0",
         members({{"server", "openwebrx"}, {"version", "1.2.0"}})},
        {"CLIENT DE SERVER", {}},
        {"CLIENT DE SERVER plain words only", {}},
        {"CLIENT DE SERVER a=b=c", members({{"a", "b=c"}})},
        {"CLIENT DE SERVER x= =y = ==", {}},
        {"CLIENT DE SERVER ==k=v", members({{"k", "v"}})},
        {"CLIENT DE SERVER a=1 a=2", members({{"a", "2"}})},
        {"CLIENT DE SERVER   a=1    b=2  ", members({{"a", "1"}, {"b", "2"}})},
        {"CLIENT DE SERVER a=1\tb=2 c=3", members({{"a", "1\tb=2"}, {"c", "3"}})},
        // The character after the prefix is dropped whatever it is.
        {"CLIENT DE SERVERx=1 y=2", members({{"y", "2"}})},
        {"CLIENT DE SERVER\xF0\x9F\x98\x80" "a=1", members({{"a", "1"}})},
    };
    for (const auto& testCase : cases) {
        const auto message = parseOpenWebRXText(QString::fromUtf8(testCase.text));
        ASSERT_TRUE(message) << testCase.text;
        EXPECT_EQ(message->type, "handshake") << testCase.text;
        EXPECT_EQ(message->value, JSONValue(testCase.expected)) << testCase.text;
        EXPECT_FALSE(message->reason);
    }
}

TEST(OpenWebRXMessage, JSONMessages)
{
    auto message = parseOpenWebRXText(R"({"type":"smeter","value":0.5})");
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, (OpenWebRXMessage{"smeter", JSONValue(0.5), std::nullopt}));

    message = parseOpenWebRXText(R"({"type":"x","value":null,"reason":null,"other":[1]})");
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, (OpenWebRXMessage{"x", std::nullopt, std::nullopt}));

    message = parseOpenWebRXText(R"({"type":"backoff","reason":"Too many users"})");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->reason, QString("Too many users"));

    message = parseOpenWebRXText(QString::fromUtf8(R"({"type":"t","value":"Gr\u00fc\u00dfe €"})"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->value, JSONValue(QString::fromUtf8("Grüße €")));
}

TEST(OpenWebRXMessage, UndecodableTextGivesNothing)
{
    const char* texts[] = {
        R"({"value":1})",       R"([{"type":"x"}])",       R"({"type":5})",
        R"({"type":null})",     R"({"type":"x","reason":5})", R"({"type":"x","reason":{}})",
        "not json",             "",                        "client de server a=b",
        R"({"type":"x"} trailing)",
    };
    for (const char* text : texts)
        EXPECT_FALSE(parseOpenWebRXText(text)) << text;
}

QJsonObject parsedObject(const QString& text)
{
    QJsonParseError error;
    const auto document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    EXPECT_FALSE(text.contains('\n'));
    return document.object();
}

TEST(OpenWebRXMessage, OutgoingMessages)
{
    EXPECT_EQ(openWebRXHandshakeLine(), "SERVER DE CLIENT client=openwebrx.js type=receiver");

    EXPECT_EQ(parsedObject(openWebRXConnectionProperties()),
              (QJsonObject{{"type", "connectionproperties"},
                           {"params", QJsonObject{{"output_rate", 12000}, {"hd_output_rate", 48000}}}}));

    const QString control = openWebRXDSPControl("usb", -2500, 300, 2700);
    EXPECT_EQ(parsedObject(control),
              (QJsonObject{{"type", "dspcontrol"},
                           {"params", QJsonObject{{"mod", "usb"},
                                                  {"offset_freq", -2500},
                                                  {"low_cut", 300},
                                                  {"high_cut", 2700},
                                                  {"squelch_level", -150}}}}));
    EXPECT_TRUE(control.contains("\"offset_freq\":-2500"));

    // Integers beyond double precision must still be written exactly.
    const QString big = openWebRXDSPControl("am", 9007199254740993LL, -9007199254740993LL, 0);
    EXPECT_TRUE(big.contains("\"offset_freq\":9007199254740993"));
    EXPECT_TRUE(big.contains("\"low_cut\":-9007199254740993"));

    EXPECT_EQ(parsedObject(openWebRXDSPStart()), (QJsonObject{{"type", "dspcontrol"}, {"action", "start"}}));

    const QString profile = QString::fromUtf8("a\"b\\c\n€");
    EXPECT_EQ(parsedObject(openWebRXSelectProfile(profile)),
              (QJsonObject{{"type", "selectprofile"}, {"params", QJsonObject{{"profile", profile}}}}));
}

} // namespace
