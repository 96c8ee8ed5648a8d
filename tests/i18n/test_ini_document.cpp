// The language file grammar: decoding, lines, sections, entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/ini_document.h"

namespace dashcam {
namespace {

std::vector<unsigned char> Utf16File(std::u16string_view text, bool bom = true) {
    std::vector<unsigned char> bytes;
    if (bom) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

bool Parse(IniDocument& doc, const std::vector<unsigned char>& bytes) {
    return doc.ParseLanguageBuffer(bytes.data(), bytes.size());
}

// The value of a key of the default section, or "<none>".
std::u16string Text(const IniDocument& doc, std::u16string_view key) {
    const std::u16string* v = doc.FindValue(key);
    return v ? *v : u"<none>";
}

TEST(IniDocumentDecoding, ShortBuffersAreRefusedAndLeaveTheDocumentUnchanged) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\nA=1\n")));
    const unsigned char one[] = {0xFF};
    EXPECT_FALSE(doc.ParseLanguageBuffer(one, 1));
    EXPECT_FALSE(doc.ParseLanguageBuffer(one, 0));
    EXPECT_FALSE(doc.ParseLanguageBuffer(nullptr, 0));
    EXPECT_EQ(Text(doc, u"A"), u"1");
    EXPECT_EQ(doc.sectionCount(), 1u);
}

TEST(IniDocumentDecoding, Utf16WithOddLengthIgnoresTheLastByte) {
    IniDocument doc;
    std::vector<unsigned char> bytes = Utf16File(u"[text]\r\nK=\"Gr\u00FC\u00DFe \u8A2D\u5B9A\"");
    bytes.push_back(0x41);
    ASSERT_TRUE(Parse(doc, bytes));
    EXPECT_EQ(Text(doc, u"K"), u"Gr\u00FC\u00DFe \u8A2D\u5B9A");
}

TEST(IniDocumentDecoding, BomOnlyIsAnEmptyButAcceptedFile) {
    IniDocument doc;
    EXPECT_TRUE(Parse(doc, {0xFF, 0xFE}));
    EXPECT_EQ(doc.sectionCount(), 0u);
    EXPECT_EQ(doc.defaultSection(), nullptr);
}

TEST(IniDocumentDecoding, EightBitTextIsReadUpToItsFirstNul) {
    IniDocument doc;
    std::string text = "[text]\nA=caf\xE9\nB=\x80\n";
    text.push_back('\0');
    text += "C=after the nul\n";
    std::vector<unsigned char> bytes(text.begin(), text.end());
    ASSERT_TRUE(Parse(doc, bytes));
    EXPECT_EQ(Text(doc, u"A"), u"caf\u00E9");
    EXPECT_EQ(Text(doc, u"B"), u"\u20AC");
    EXPECT_EQ(Text(doc, u"C"), u"<none>");
}

TEST(IniDocumentDecoding, BytesTheCodePageLeavesUndefinedAreControlCharacters) {
    IniDocument doc;
    std::string text = "[text]\nA=\x81\x8D\x8F\x90\x9D!\n";
    ASSERT_TRUE(Parse(doc, std::vector<unsigned char>(text.begin(), text.end())));
    EXPECT_EQ(Text(doc, u"A"), u"\u0081\u008D\u008F\u0090\u009D!");
}

TEST(IniDocumentLines, LineEndsCarriageReturnsAndNuls) {
    IniDocument doc;
    // CR is dropped anywhere, even inside a value; a NUL code unit ends the input; no final line end needed.
    std::u16string text = u"[text]\r\n\r\n\r\nA=\"x\ry\"\nB=2";
    ASSERT_TRUE(Parse(doc, Utf16File(text)));
    EXPECT_EQ(Text(doc, u"A"), u"xy");
    EXPECT_EQ(Text(doc, u"B"), u"2");

    IniDocument cut;
    std::u16string withNul = u"[text]\nA=1\n";
    withNul.push_back(u'\0');
    withNul += u"B=2\n";
    ASSERT_TRUE(Parse(cut, Utf16File(withNul)));
    EXPECT_EQ(Text(cut, u"A"), u"1");
    EXPECT_EQ(Text(cut, u"B"), u"<none>");
}

TEST(IniDocumentLines, TrimmingKnowsUnicodeBlanksButKeepsQuotedValues) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"\u3000[text]\u00A0\n\t A = one two \u3000\nB=\"  spaced  \"\n")));
    EXPECT_EQ(Text(doc, u"A"), u"one two");
    EXPECT_EQ(Text(doc, u"B"), u"  spaced  ");
}

TEST(IniDocumentLines, VeryLongLinesAreReadWhole) {
    IniDocument doc;
    std::u16string value(100000, u'x');
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\nLONG=" + value + u"\n" + std::u16string(100000, u'y'))));
    EXPECT_EQ(Text(doc, u"LONG"), value);
    EXPECT_EQ(Text(doc, std::u16string(100000, u'y')), u"");
}

TEST(IniDocumentSections, HeadersMergeIgnoreCaseAndChooseTheDefault) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"A=before any header\nabc\n"
                                     u"[font]\nF=1\n"
                                     u"[ TeXt ]\nA=1\n"
                                     u"[other]\nA=other\n"
                                     u"[TEXT]\nB=2\n")));
    ASSERT_NE(doc.defaultSection(), nullptr);
    EXPECT_EQ(doc.defaultSection(), doc.FindSection(u"text"));
    EXPECT_EQ(Text(doc, u"A"), u"1");
    EXPECT_EQ(Text(doc, u"B"), u"2"); // the later [TEXT] reopened the same section
    EXPECT_EQ(Text(doc, u"abc"), u"<none>");
    EXPECT_EQ(doc.sectionCount(), 3u);
    ASSERT_NE(doc.FindValue(u"a", u"OTHER"), nullptr);
    EXPECT_EQ(*doc.FindValue(u"a", u"OTHER"), u"other");
    EXPECT_EQ(doc.FindValue(u"A", u"missing"), nullptr);
}

TEST(IniDocumentSections, EmptyOrUnclosedHeadersDropWhatFollows) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\nA=1\n[  ]\nB=2\nword\n[text]\nC=3\n[text\nD=4\n")));
    EXPECT_EQ(Text(doc, u"A"), u"1");
    EXPECT_EQ(Text(doc, u"B"), u"<none>");
    EXPECT_EQ(Text(doc, u"word"), u"<none>");
    EXPECT_EQ(Text(doc, u"C"), u"3");
    // "[text" has no closing bracket: it is a bare word of the current section, which stays open.
    EXPECT_EQ(Text(doc, u"[text"), u"");
    EXPECT_EQ(Text(doc, u"D"), u"4");
}

TEST(IniDocumentSections, DefaultSectionSurvivesALaterBuffer) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\nA=1\n")));
    // Lines before the first header of the next buffer do not go to the last section of the previous one.
    ASSERT_TRUE(Parse(doc, Utf16File(u"B=2\n[Text]\nA=3\n")));
    EXPECT_EQ(Text(doc, u"B"), u"<none>");
    EXPECT_EQ(Text(doc, u"A"), u"3");
}

TEST(IniDocumentEntries, KeysAndValuesQuotedOrNot) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\n"
                                     u"; a comment = not an entry\n"
                                     u"\"quoted = key; \"  = \"v;1\" trailing ignored\n"
                                     u"'single' =\t'it''s'\n"
                                     u"plain = a;b\n"
                                     u"half = \"open to the end\n"
                                     u"empty = \n"
                                     u"stray = \"value\"\"\n"
                                     u"two = \"\"rest\"\n")));
    EXPECT_EQ(Text(doc, u"; a comment"), u"<none>");
    EXPECT_EQ(Text(doc, u"quoted = key; "), u"v;1");
    EXPECT_EQ(Text(doc, u"single"), u"it");
    EXPECT_EQ(Text(doc, u"plain"), u"a");
    EXPECT_EQ(Text(doc, u"half"), u"open to the end");
    EXPECT_EQ(Text(doc, u"empty"), u"");
    EXPECT_EQ(Text(doc, u"stray"), u"value");
    EXPECT_EQ(Text(doc, u"two"), u"");
}

TEST(IniDocumentEntries, MalformedEntriesAreDropped) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\n"
                                     u"= no key\n"
                                     u"\"\" = empty quoted key\n"
                                     u"\"unclosed = x\n"
                                     u"\"a=b\"\n"
                                     u"\"k\" x = y\n"
                                     u"'x=y'   \n")));
    ASSERT_NE(doc.defaultSection(), nullptr);
    EXPECT_TRUE(doc.defaultSection()->empty());
}

TEST(IniDocumentEntries, LastOccurrenceWinsWhateverTheCase) {
    IniDocument doc;
    ASSERT_TRUE(
        Parse(doc, Utf16File(u"[text]\nIDS_STRING310=\"first\"\nids_string310=\"Apply?\"\nW=x\nW\n")));
    EXPECT_EQ(Text(doc, u"IDS_STRING310"), u"Apply?");
    EXPECT_EQ(Text(doc, u"Ids_String310"), u"Apply?");
    EXPECT_EQ(doc.defaultSection()->size(), 2u);
    EXPECT_EQ(Text(doc, u"W"), u""); // a bare word stores an empty value over the earlier one
}

TEST(IniDocumentEntries, NoEscapesAreInterpretedWhileParsing) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[text]\nA=\"line\\nnext\\ x\"\n")));
    EXPECT_EQ(Text(doc, u"A"), u"line\\nnext\\ x");
}

TEST(IniDocumentLookup, RepeatedSectionLookupsStayCorrectAcrossNames) {
    IniDocument doc;
    ASSERT_TRUE(Parse(doc, Utf16File(u"[font]\nK=f\n[text]\nK=t\n")));
    EXPECT_EQ(*doc.FindValue(u"K", u"font"), u"f");
    EXPECT_EQ(*doc.FindValue(u"K", u"FONT"), u"f");
    EXPECT_EQ(*doc.FindValue(u"K", u"text"), u"t");
    EXPECT_EQ(doc.FindValue(u"K", u"nothing"), nullptr);
    EXPECT_EQ(*doc.FindValue(u"K", u"font"), u"f");
    EXPECT_EQ(*doc.FindValue(u"K"), u"t");
}

} // namespace
} // namespace dashcam
