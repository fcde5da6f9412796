#include "ExternalInterfaceXml.h"
#include "QtPrinters.h"

#include <QJsonObject>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

QJsonObject Tag(const QString& kind, const QJsonValue& value = QJsonValue::Undefined)
{
    QJsonObject tagged{{"t", kind}};
    if (!value.isUndefined())
        tagged.insert("v", value);
    return tagged;
}

// One property of a tagged object: [key, tagged value].
QJsonArray Property(const QString& key, const QJsonValue& tagged)
{
    QJsonArray property;
    property.append(key);
    property.append(tagged);
    return property;
}

QJsonArray List(const QJsonValue& item)
{
    QJsonArray list;
    list.append(item);
    return list;
}

const QString kAwkward = QString::fromUtf8("a&b <c> \"q\" 'a' ]]> &amp; \r\n\r\t\x01 中文 😀");

}  // namespace

TEST(ExternalInterfaceXml, StringReplyReadsBackExactly)
{
    const QString reply = ExternalInterfaceXml::MakeReply(Tag("string", kAwkward));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(reply.toStdString().c_str()));
    EXPECT_STREQ(doc.document_element().name(), "string");
    EXPECT_EQ(QString::fromUtf8(doc.document_element().child_value()), kAwkward);
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("string", "")), "<string></string>");
}

TEST(ExternalInterfaceXml, OtherResultsHaveTheirOwnRoot)
{
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("null")), "<null/>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("undefined")), "<undefined/>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("true")), "<true/>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("number", "-1.5")), "<number>-1.5</number>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("array", QJsonArray{Tag("false"), Tag("string", "<")})),
              "<array><property id=\"0\"><false/></property><property id=\"1\"><string>&lt;</string></property></array>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(Tag("object", List(Property("a\"b", Tag("null"))))),
              "<object><property id=\"a&quot;b\"><null/></property></object>");
    EXPECT_EQ(ExternalInterfaceXml::MakeReply(QJsonValue("not tagged")), "<undefined/>");
}

TEST(ExternalInterfaceXml, RequestKeepsNameAndArguments)
{
    const QString request = ExternalInterfaceXml::MakeRequest(
        "f&\"g\"", QJsonArray{Tag("string", kAwkward), Tag("number", "12.5"), Tag("true"), Tag("null")});
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(request.toStdString().c_str()));
    const pugi::xml_node invoke = doc.document_element();
    EXPECT_STREQ(invoke.name(), "invoke");
    EXPECT_STREQ(invoke.attribute("name").value(), "f&\"g\"");
    EXPECT_STREQ(invoke.attribute("returntype").value(), "xml");
    const pugi::xml_node first = invoke.child("arguments").first_child();
    EXPECT_EQ(QString::fromUtf8(first.child_value()), kAwkward);
    EXPECT_STREQ(first.next_sibling().name(), "number");
    EXPECT_STREQ(first.next_sibling().next_sibling().name(), "true");
    EXPECT_STREQ(first.next_sibling().next_sibling().next_sibling().name(), "null");

    const auto parsed = ExternalInterfaceXml::ParseRequest(request);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->name, "f&\"g\"");
    EXPECT_EQ(parsed->arguments,
              (QJsonArray{Tag("string", kAwkward), Tag("number", "12.5"), Tag("true"), Tag("null")}));
}

TEST(ExternalInterfaceXml, ParsesTheHostsRequests)
{
    const auto empty = ExternalInterfaceXml::ParseRequest("<invoke name=\"zSave\" returntype=\"xml\"/>");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->name, "zSave");
    EXPECT_TRUE(empty->arguments.isEmpty());

    // A literal CR LF is a line end to any XML reader; &#13; is a CR.
    const auto load = ExternalInterfaceXml::ParseRequest(
        "<invoke name=\"zLoad\" returntype=\"xml\"><arguments><string>a\r\nb&#13;&#10;&lt;中&gt;</string>"
        "</arguments></invoke>");
    ASSERT_TRUE(load);
    EXPECT_EQ(load->arguments, (QJsonArray{Tag("string", QString::fromUtf8("a\nb\r\n<中>"))}));

    const auto blank = ExternalInterfaceXml::ParseRequest(
        "<invoke name=\"zLoad\" returntype=\"xml\"><arguments><string>  </string></arguments></invoke>");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->arguments, List(Tag("string", "  ")));

    const auto nested = ExternalInterfaceXml::ParseRequest(
        "<invoke name=\"f\"><arguments><array><property id=\"0\"><object><property id=\"k\"><undefined/>"
        "</property></object></property></array></arguments></invoke>");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->arguments,
              List(Tag("array", List(Tag("object", List(Property("k", Tag("undefined"))))))));
}

TEST(ExternalInterfaceXml, RefusesWhatIsNotARequest)
{
    for (const char* text : {"", "not xml", "<invoke name=\"f\">", "<call name=\"f\"/>", "<invoke/>",
                             "<invoke name=\"f\"><arguments><string>a</string></arguments>",
                             "<invoke name=\"f\"><arguments><date>1</date></arguments></invoke>",
                             "<invoke name=\"f\"><arguments><string>a<b/></string></arguments></invoke>",
                             "<invoke name=\"f\"/><invoke name=\"g\"/>"})
        EXPECT_FALSE(ExternalInterfaceXml::ParseRequest(QString::fromUtf8(text))) << text;
}
