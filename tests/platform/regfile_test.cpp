// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regfile.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

QByteArray utf16(const QString &text, QByteArray bom = "\xff\xfe")
{
    const bool bigEndian = bom == "\xfe\xff";
    for (QChar c : text) {
        const char low = char(c.unicode() & 0xff), high = char(c.unicode() >> 8);
        bom.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bom;
}

RegFileValue set(const QString &name, int type, const QByteArray &data)
{
    return {RegValue{name, type, data}, false};
}

RegFileValue text(const QString &name, const QString &text, int type = RegSz)
{
    return {RegValue::text(name, text, type), false};
}

RegFileValue removed(const QString &name)
{
    return {RegValue::text(name, QString()), true};
}

// Files compare by their written text, which holds every key, name, type and byte.
void expectParsesTo(const QByteArray &bytes, const RegFile &expected)
{
    QString error;
    const auto file = RegFile::parse(bytes, &error);
    ASSERT_TRUE(file) << error.toStdString();
    EXPECT_EQ(file->toText(), expected.toText());
    EXPECT_EQ(file->keys.size(), expected.keys.size());
}

} // namespace

TEST(RegFileTest, WritesWhatRegeditWritesAndReadsEveryTypeBack)
{
    QByteArray binary;
    for (int i = 0; i < 60; ++i)
        binary.append(char(i));
    RegFile file;
    // clang-format off
    file.keys = {{RegHive::CurrentUser, "SOFTWARE\\TavloClock", false,
                  {text("Path", "C:\\a \"b\""), text(QString(), "x"), {RegValue::dword("Count", 10), false},
                   set("Bin", RegBinary, "\1\2"), text("Exp", "%A%", RegExpandSz),
                   set("Multi", RegMultiSz, QByteArray("a\0b", 3)), set("Q", RegQword, QByteArray("\5\0\0\0\0\0\0\0", 8)),
                   set("Data", RegBinary, binary), removed("Old")}},
                 {RegHive::LocalMachine, "Software\\Gone", true, {}}};
    // clang-format on
    const QString written = file.toText();
    EXPECT_EQ(file.toBytes(), utf16(written));
    // Long hex data: 22 bytes on the first line, 25 on each following one, "\" at the end.
    // clang-format off
    EXPECT_EQ(written, "Windows Registry Editor Version 5.00\r\n\r\n"
                       "[HKEY_CURRENT_USER\\SOFTWARE\\TavloClock]\r\n"
                       "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"
                       "@=\"x\"\r\n"
                       "\"Count\"=dword:0000000a\r\n"
                       "\"Bin\"=hex:01,02\r\n"
                       "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                       "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                       "\"Q\"=hex(b):05,00,00,00,00,00,00,00\r\n"
                       "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
                       "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
                       "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b\r\n"
                       "\"Old\"=-\r\n\r\n"
                       "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n\r\n");
    // clang-format on

    // Every key, name, type and byte comes back, odd ones included.
    for (int i = 60; i < 300; ++i)
        binary.append(char(i * 7));
    QByteArray qword(8, '\0');
    qToLittleEndian<quint64>(0x1122334455667788ull, qword.data());
    // clang-format off
    file.keys += QList<RegFileKey>{
        {RegHive::CurrentUser, "SOFTWARE\\TavloClock\\Settings\\Details", false,
         {text("quote\"and\\slash", "C:\\Program Files\\\"x\"\\"), text("empty", ""),
          text("lines", "one\r\ntwo\nthree"), text("unicode ∑", "Tävlö 時計 😀"),
          {RegValue::dword("dword", 0xfedcba98), false}, set("qword", RegQword, qword),
          set("binary", RegBinary, binary), set("emptybinary", RegBinary, ""), set("emptymulti", RegMultiSz, ""),
          set("none", RegNone, "\1\2"), set("odd type", 0x20, "\xaa"), set("short dword", RegDword, "\1"),
          removed(QString())}},
        {RegHive::CurrentUser, "SOFTWARE\\Empty Key", false, {}},
        {RegHive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", false, {text("TavloClock", "/usr/bin/c")}},
        {RegHive::LocalMachine, QString(), false, {}}};
    // clang-format on
    expectParsesTo(file.toBytes(), file);
}

TEST(RegFileTest, ReadsHandMadeFilesInEveryEncoding)
{
    const QString crlf =
        QStringLiteral("Windows Registry Editor Version 5.00\r\n"
                       "\r\n"
                       "; settings of the clock\r\n"
                       "[HKEY_CURRENT_USER\\SOFTWARE\\TavloClock\\Settings\\Details]\r\n"
                       "\"TOTAL\"=\"1\"\r\n"
                       "\"Date-Font\" = \"Trebuchet MS\"\r\n"
                       "@=\"default\"\r\n"
                       "\"Color\"=dword:00ff8000\r\n"
                       "\"Multi\"=hex(7):61,00,00,00,\\\r\n"
                       "  62,00,00,00,00,00\r\n"
                       "\"Old\"=-\r\n"
                       "\r\n"
                       "[-HKCU\\SOFTWARE\\TavloClock\\fapp_CLOCK]\r\n"
                       "\r\n"
                       "[hklm\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                       "\"TavloClock\"=\"/usr/bin/tavlo-clock\"\r\n");
    RegFile expected;
    // clang-format off
    expected.keys = {{RegHive::CurrentUser, "SOFTWARE\\TavloClock\\Settings\\Details", false,
                      {text("TOTAL", "1"), text("Date-Font", "Trebuchet MS"), text(QString(), "default"),
                       {RegValue::dword("Color", 0x00ff8000), false},
                       set("Multi", RegMultiSz, QByteArray("a\0b", 3)), removed("Old")}},
                     {RegHive::CurrentUser, "SOFTWARE\\TavloClock\\fapp_CLOCK", true, {}},
                     {RegHive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", false,
                      {text("TavloClock", "/usr/bin/tavlo-clock")}}};
    // clang-format on
    for (const QByteArray &bytes : {utf16(crlf), utf16(crlf, "\xfe\xff"), utf16(crlf, ""),
                                    crlf.toUtf8(), "\xef\xbb\xbf" + crlf.toUtf8()})
        expectParsesTo(bytes, expected);

    const QString lf = QStringLiteral("Windows Registry Editor Version 5.00\n"
                                      "[HKEY_CURRENT_USER\\Software\\Tävlö]\n"
                                      "\"Größe\"=\"Ω\"\n\"Path\"=\"C:\\\\x\\\\\"\n"
                                      "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\n");
    // clang-format off
    expected.keys = {{RegHive::CurrentUser, "Software\\Tävlö", false,
                      {text("Größe", "Ω"), text("Path", "C:\\x\\"), text("Exp", "%A%", RegExpandSz)}}};
    // clang-format on
    expectParsesTo(lf.toUtf8(), expected);

    // REGEDIT4: ANSI text, and single-byte strings inside hex(2).
    // clang-format off
    expected.keys = {{RegHive::LocalMachine, "Software\\X", false,
                      {text("Name", "café"), text("Exp", "%A%", RegExpandSz)}}};
    // clang-format on
    expectParsesTo("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n"
                   "\"Name\"=\"caf\xe9\"\r\n\"Exp\"=hex(2):25,41,25,00\r\n",
                   expected);
}

TEST(RegFileTest, MalformedInputGivesAClearError)
{
    const QByteArray v5 = "Windows Registry Editor Version 5.00\n";
    const QByteArray x = v5 + "[HKCU\\x]\n";
    // clang-format off
    const struct { QByteArray bytes; const char *error; } cases[] = {
        {"", "line 1: the file is empty"},
        {"\n\n  \n", "line 1: the file is empty"},
        {"Windows Registry Editor Version 4.00\n", "line 1: not a registry file"},
        {v5 + "\"a\"=\"b\"\n", "line 2: a value before the first [key] line"},
        {v5 + "[HKEY_CLASSES_ROOT\\x]\n", "line 2: the hive HKEY_CLASSES_ROOT is not supported"},
        {v5 + "[HKEY_NOWHERE\\x]\n", "line 2: unknown hive \"HKEY_NOWHERE\""},
        {v5 + "[HKCU\\x\n", "line 2: the key name has no closing ']'"},
        {x + "\"a\"=\"b\n", "line 3: the text has no closing quote"},
        {x + "\"a=\"b\"\n", "line 3: '=' expected"},
        {x + "\"a\"=\"b\"c\n", "line 3: unexpected text after the closing quote"},
        {x + "\"a\"=dword:123456789\n", "line 3: invalid dword"},
        {x + "\"a\"=dword:xyz\n", "line 3: invalid dword"},
        {x + "\"a\"=hex:01,zz\n", "line 3: invalid hex byte \"zz\""},
        {x + "\"a\"=hex:01,,02\n", "line 3: invalid hex byte"},
        {x + "\"a\"=hex(q):01\n", "line 3: invalid hex type"},
        {x + "\"a\"=hex(2):41,00,42\n", "line 3: odd number of bytes"},
        {x + "\"a\"=hex:01,\\\n  02,\\\n", "line 4: the file ends inside hex data"},
        {x + "\"a\"=qword:1\n", "line 3: unknown value data"},
        {x + "junk\n", "line 3: unexpected text \"junk\""},
        {v5 + "[-HKCU\\x]\n\"a\"=\"b\"\n", "line 3: a value under a key marked for deletion"},
        {QByteArray("\xff\xfe\x41", 3), "the file ends in the middle of a UTF-16 character"},
        {"Windows \xc3\x28 Registry", "the file is neither UTF-16 nor UTF-8 text"}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        QString error;
        EXPECT_FALSE(RegFile::parse(c.bytes, &error));
        EXPECT_TRUE(error.startsWith(QLatin1String(c.error))) << error.toStdString();
    }
}

TEST(RegFileTest, GarbageAndTruncatedFilesNeverCrash)
{
    const auto expectParsedOrExplained = [](const QByteArray &bytes) {
        QString error;
        EXPECT_TRUE(RegFile::parse(bytes, &error) || !error.isEmpty()) << bytes.size();
    };
    quint32 seed = 99;
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(1 + round * 13 % 3000, '\0');
        for (char &c : bytes)
            c = char((seed = seed * 1664525u + 1013904223u) >> 24);
        if (round % 3 == 1)
            bytes.prepend("Windows Registry Editor Version 5.00\r\n[HKCU\\x]\r\n\"a\"=hex:");
        expectParsedOrExplained(bytes);
    }
    // Every prefix of a real file either parses or says why not.
    RegFile file;
    // clang-format off
    file.keys = {{RegHive::CurrentUser, "SOFTWARE\\TavloClock", false,
                  {text("a", "text"), set("b", RegBinary, QByteArray(200, '\x5a')), {RegValue::dword("c", 1), false}}}};
    // clang-format on
    const QByteArray whole = file.toBytes();
    for (qsizetype size = 0; size < whole.size(); ++size)
        expectParsedOrExplained(whole.left(size));
}

TEST(RegFileTest, SplitsAndJoinsKeyNames)
{
    using Split = std::optional<std::pair<RegHive, QString>>;
    // clang-format off
    const struct { const char *name; Split split; } cases[] = {
        {"HKCU\\Software\\\\TavloClock\\", Split({RegHive::CurrentUser, "Software\\TavloClock"})},
        {"hkey_current_user\\X", Split({RegHive::CurrentUser, "X"})}, {"HKLM", Split({RegHive::LocalMachine, ""})},
        {"HKEY_LOCAL_MACHINE\\", Split({RegHive::LocalMachine, ""})},
        {"HKCR\\x", std::nullopt}, {"Software\\x", std::nullopt}, {"", std::nullopt}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(RegFile::splitKeyName(QLatin1String(c.name)), c.split) << c.name;
    QString error;
    RegFile::splitKeyName("HKCR\\x", &error);
    EXPECT_TRUE(error.contains("not supported"));
    EXPECT_EQ(RegFile::fullKeyName(RegHive::CurrentUser, "\\A\\\\B\\"), "HKEY_CURRENT_USER\\A\\B");
    EXPECT_EQ(RegFile::fullKeyName(RegHive::LocalMachine, QString()), "HKEY_LOCAL_MACHINE");
}
