#include "platform/regfile.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

QByteArray utf16Le(const QString &text, bool bom = true)
{
    QByteArray bytes = bom ? QByteArray("\xff\xfe", 2) : QByteArray();
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray utf16Be(const QString &text)
{
    QByteArray bytes("\xfe\xff", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xff));
    }
    return bytes;
}

RegFileValue set(const RegValue &value)
{
    return {value, false};
}

RegValue raw(const QString &name, int type, const QByteArray &data)
{
    return RegValue{name, type, data};
}

void expectSameKeys(const QList<RegFileKey> &actual, const QList<RegFileKey> &expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype k = 0; k < expected.size(); ++k) {
        const RegFileKey &a = actual[k];
        const RegFileKey &e = expected[k];
        EXPECT_EQ(a.hive, e.hive) << k;
        EXPECT_EQ(a.path, e.path) << k;
        EXPECT_EQ(a.remove, e.remove) << k;
        ASSERT_EQ(a.values.size(), e.values.size()) << e.path.toStdString();
        for (qsizetype v = 0; v < e.values.size(); ++v) {
            const std::string where =
                e.path.toStdString() + " / " + e.values[v].value.name.toStdString();
            EXPECT_EQ(a.values[v].remove, e.values[v].remove) << where;
            EXPECT_EQ(a.values[v].value.name, e.values[v].value.name) << where;
            if (e.values[v].remove)
                continue;
            EXPECT_EQ(a.values[v].value.type, e.values[v].value.type) << where;
            EXPECT_EQ(a.values[v].value.data, e.values[v].value.data) << where;
        }
    }
}

QString lineOf(const QString &text, const QString &start)
{
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(start))
            return line;
    }
    return QString();
}

std::optional<RegFile> parseText(const QString &text, QString *error = nullptr)
{
    return RegFile::parse(text.toUtf8(), error);
}

} // namespace

TEST(RegFileTest, EveryTypeSurvivesARoundTrip)
{
    QByteArray binary;
    for (int i = 0; i < 300; ++i)
        binary.append(char(i * 7));
    QByteArray qword(8, '\0');
    qToLittleEndian<quint64>(0x1122334455667788ull, qword.data());

    RegFile file;
    file.keys.append(
        {RegHive::CurrentUser,
         QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details"),
         false,
         {set(RegValue::text(QStringLiteral("Date-Font"), QStringLiteral("Trebuchet MS"))),
          set(RegValue::text(QStringLiteral("quote\"and\\slash"),
                             QStringLiteral("C:\\Program Files\\\"x\"\\"))),
          set(RegValue::text(QStringLiteral("empty"), QString())),
          set(RegValue::text(QStringLiteral("lines"), QStringLiteral("one\r\ntwo\nthree"))),
          set(RegValue::text(QStringLiteral("unicode ∑"), QStringLiteral("Tävlö 時計 😀"))),
          set(RegValue::text(QString(), QStringLiteral("unnamed"))),
          set(RegValue::text(QStringLiteral("expand"), QStringLiteral("%HOME%\\x"), RegExpandSz)),
          set(RegValue::dword(QStringLiteral("dword"), 0xfedcba98)),
          set(raw(QStringLiteral("qword"), RegQword, qword)),
          set(raw(QStringLiteral("binary"), RegBinary, binary)),
          set(raw(QStringLiteral("emptybinary"), RegBinary, QByteArray())),
          set(raw(QStringLiteral("multi"), RegMultiSz, QByteArray("a\0bb\0ccc", 8))),
          set(raw(QStringLiteral("emptymulti"), RegMultiSz, QByteArray())),
          set(raw(QStringLiteral("none"), RegNone, QByteArray("\x01\x02", 2))),
          set(raw(QStringLiteral("odd type"), 0x20, QByteArray("\xaa", 1))),
          set(raw(QStringLiteral("short dword"), RegDword, QByteArray("\x01", 1))),
          {RegValue::text(QStringLiteral("gone"), QString()), true},
          {RegValue::text(QString(), QString()), true}}});
    file.keys.append({RegHive::CurrentUser, QStringLiteral("SOFTWARE\\Empty Key"), false, {}});
    file.keys.append(
        {RegHive::LocalMachine,
         QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
         false,
         {set(RegValue::text(QStringLiteral("TavloClock"), QStringLiteral("/usr/bin/c")))}});
    file.keys.append({RegHive::CurrentUser, QStringLiteral("SOFTWARE\\Old"), true, {}});
    file.keys.append({RegHive::LocalMachine, QString(), false, {}});

    QString error;
    const auto back = RegFile::parse(file.toBytes(), &error);
    ASSERT_TRUE(back) << error.toStdString();
    expectSameKeys(back->keys, file.keys);
}

TEST(RegFileTest, WritesWhatRegeditWrites)
{
    RegFile file;
    QByteArray qword(8, '\0');
    qToLittleEndian<quint64>(5, qword.data());
    QByteArray binary;
    for (int i = 0; i < 60; ++i)
        binary.append(char(i));
    file.keys.append(
        {RegHive::CurrentUser,
         QStringLiteral("SOFTWARE\\TavloClock"),
         false,
         {set(RegValue::text(QStringLiteral("Path"), QStringLiteral("C:\\a \"b\""))),
          set(RegValue::text(QString(), QStringLiteral("x"))),
          set(RegValue::dword(QStringLiteral("Count"), 10)),
          set(raw(QStringLiteral("Bin"), RegBinary, QByteArray("\x01\x02", 2))),
          set(RegValue::text(QStringLiteral("Exp"), QStringLiteral("%A%"), RegExpandSz)),
          set(raw(QStringLiteral("Multi"), RegMultiSz, QByteArray("a\0b", 3))),
          set(raw(QStringLiteral("Q"), RegQword, qword)),
          set(raw(QStringLiteral("Data"), RegBinary, binary)),
          {RegValue::text(QStringLiteral("Old"), QString()), true}}});
    file.keys.append({RegHive::LocalMachine, QStringLiteral("Software\\Gone"), true, {}});

    const QByteArray bytes = file.toBytes();
    ASSERT_TRUE(bytes.startsWith("\xff\xfe"));
    const QString text = file.toText();
    EXPECT_EQ(bytes, QByteArray("\xff\xfe", 2) + utf16Le(text, false));
    EXPECT_EQ(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                               "[HKEY_CURRENT_USER\\SOFTWARE\\TavloClock]\r\n")));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Path\"")),
              QStringLiteral("\"Path\"=\"C:\\\\a \\\"b\\\"\""));
    EXPECT_EQ(lineOf(text, QStringLiteral("@")), QStringLiteral("@=\"x\""));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Count\"")),
              QStringLiteral("\"Count\"=dword:0000000a"));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Bin\"")), QStringLiteral("\"Bin\"=hex:01,02"));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Exp\"")),
              QStringLiteral("\"Exp\"=hex(2):25,00,41,00,25,00,00,00"));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Multi\"")),
              QStringLiteral("\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00"));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Q\"")),
              QStringLiteral("\"Q\"=hex(b):05,00,00,00,00,00,00,00"));
    EXPECT_EQ(lineOf(text, QStringLiteral("\"Old\"")), QStringLiteral("\"Old\"=-"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n\r\n")));

    // Long hex data: 22 bytes on the first line, 25 on each following one, "\" at the end.
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const qsizetype first = lines.indexOf(lineOf(text, QStringLiteral("\"Data\"")));
    ASSERT_GE(first, 0);
    EXPECT_EQ(lines[first],
              QStringLiteral("\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,"
                             "12,13,14,15,\\"));
    EXPECT_EQ(lines[first + 1], QStringLiteral("  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,"
                                               "26,27,28,29,2a,2b,2c,2d,2e,\\"));
    EXPECT_EQ(lines[first + 2], QStringLiteral("  2f,30,31,32,33,34,35,36,37,38,39,3a,3b"));
    for (const QString &line : lines)
        EXPECT_LE(line.size(), 80) << line.toStdString();
}

TEST(RegFileTest, ReadsHandMadeUtf16LeCrlfFile)
{
    const QString text =
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
    QString error;
    const auto file = RegFile::parse(utf16Le(text), &error);
    ASSERT_TRUE(file) << error.toStdString();
    expectSameKeys(
        file->keys,
        {{RegHive::CurrentUser,
          QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details"),
          false,
          {set(RegValue::text(QStringLiteral("TOTAL"), "1")),
           set(RegValue::text(QStringLiteral("Date-Font"), "Trebuchet MS")),
           set(RegValue::text(QString(), "default")),
           set(RegValue::dword(QStringLiteral("Color"), 0x00ff8000)),
           set(raw(QStringLiteral("Multi"), RegMultiSz, QByteArray("a\0b", 3))),
           {RegValue::text(QStringLiteral("Old"), QString()), true}}},
         {RegHive::CurrentUser, QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK"), true, {}},
         {RegHive::LocalMachine,
          QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
          false,
          {set(RegValue::text(QStringLiteral("TavloClock"), "/usr/bin/tavlo-clock"))}}});

    // The same in UTF-16BE, and without a byte order mark.
    const auto big = RegFile::parse(utf16Be(text), &error);
    ASSERT_TRUE(big) << error.toStdString();
    expectSameKeys(big->keys, file->keys);
    const auto noBom = RegFile::parse(utf16Le(text, false), &error);
    ASSERT_TRUE(noBom) << error.toStdString();
    expectSameKeys(noBom->keys, file->keys);
}

TEST(RegFileTest, ReadsUtf8LfFilesAndRegedit4)
{
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\n"
                                        "[HKEY_CURRENT_USER\\Software\\Tävlö]\n"
                                        "\"Größe\"=\"Ω\"\n"
                                        "\"Path\"=\"C:\\\\x\\\\\"\n"
                                        "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\n");
    QString error;
    for (const QByteArray &bytes : {text.toUtf8(), QByteArray("\xef\xbb\xbf") + text.toUtf8()}) {
        const auto file = RegFile::parse(bytes, &error);
        ASSERT_TRUE(file) << error.toStdString();
        expectSameKeys(file->keys,
                       {{RegHive::CurrentUser,
                         QStringLiteral("Software\\Tävlö"),
                         false,
                         {set(RegValue::text(QStringLiteral("Größe"), QStringLiteral("Ω"))),
                          set(RegValue::text(QStringLiteral("Path"), QStringLiteral("C:\\x\\"))),
                          set(RegValue::text(QStringLiteral("Exp"), "%A%", RegExpandSz))}}});
    }

    // REGEDIT4: ANSI text, and single-byte strings inside hex(2).
    const QByteArray old = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n"
                           "\"Name\"=\"caf\xe9\"\r\n\"Exp\"=hex(2):25,41,25,00\r\n";
    const auto file = RegFile::parse(old, &error);
    ASSERT_TRUE(file) << error.toStdString();
    expectSameKeys(file->keys,
                   {{RegHive::LocalMachine,
                     QStringLiteral("Software\\X"),
                     false,
                     {set(RegValue::text(QStringLiteral("Name"), QStringLiteral("café"))),
                      set(RegValue::text(QStringLiteral("Exp"), "%A%", RegExpandSz))}}});
}

TEST(RegFileTest, MalformedInputGivesAClearError)
{
    const QString header = QStringLiteral("Windows Registry Editor Version 5.00\n");
    struct Case
    {
        QString text;
        QString error;
    };
    const QList<Case> table = {
        {QString(), QStringLiteral("line 1: the file is empty")},
        {QStringLiteral("\n\n  \n"), QStringLiteral("line 1: the file is empty")},
        {QStringLiteral("Windows Registry Editor Version 4.00\n"),
         QStringLiteral("line 1: not a registry file")},
        {header + QStringLiteral("\"a\"=\"b\"\n"),
         QStringLiteral("line 2: a value before the first [key] line")},
        {header + QStringLiteral("[HKEY_CLASSES_ROOT\\x]\n"),
         QStringLiteral("line 2: the hive HKEY_CLASSES_ROOT is not supported")},
        {header + QStringLiteral("[HKEY_NOWHERE\\x]\n"),
         QStringLiteral("line 2: unknown hive \"HKEY_NOWHERE\"")},
        {header + QStringLiteral("[HKCU\\x\n"),
         QStringLiteral("line 2: the key name has no closing ']'")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=\"b\n"),
         QStringLiteral("line 3: the text has no closing quote")},
        {header + QStringLiteral("[HKCU\\x]\n\"a=\"b\"\n"), QStringLiteral("line 3: '=' expected")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=\"b\"c\n"),
         QStringLiteral("line 3: unexpected text after the closing quote")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=dword:123456789\n"),
         QStringLiteral("line 3: invalid dword")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=dword:xyz\n"),
         QStringLiteral("line 3: invalid dword")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=hex:01,zz\n"),
         QStringLiteral("line 3: invalid hex byte \"zz\"")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=hex:01,,02\n"),
         QStringLiteral("line 3: invalid hex byte")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=hex(q):01\n"),
         QStringLiteral("line 3: invalid hex type")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=hex(2):41,00,42\n"),
         QStringLiteral("line 3: odd number of bytes")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=hex:01,\\\n  02,\\\n"),
         QStringLiteral("line 4: the file ends inside hex data")},
        {header + QStringLiteral("[HKCU\\x]\n\"a\"=qword:1\n"),
         QStringLiteral("line 3: unknown value data")},
        {header + QStringLiteral("[HKCU\\x]\njunk\n"),
         QStringLiteral("line 3: unexpected text \"junk\"")},
        {header + QStringLiteral("[-HKCU\\x]\n\"a\"=\"b\"\n"),
         QStringLiteral("line 3: a value under a key marked for deletion")},
    };
    for (const Case &c : table) {
        QString error;
        EXPECT_FALSE(parseText(c.text, &error)) << c.text.toStdString();
        EXPECT_TRUE(error.startsWith(c.error))
            << c.text.toStdString() << " gave: " << error.toStdString();
    }

    QString error;
    EXPECT_FALSE(RegFile::parse(QByteArray("\xff\xfe\x41", 3), &error));
    EXPECT_EQ(error, QStringLiteral("the file ends in the middle of a UTF-16 character"));
    EXPECT_FALSE(RegFile::parse(QByteArray("Windows \xc3\x28 Registry"), &error));
    EXPECT_EQ(error, QStringLiteral("the file is neither UTF-16 nor UTF-8 text"));
}

TEST(RegFileTest, GarbageAndTruncatedFilesNeverCrash)
{
    quint32 seed = 99;
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(1 + round * 13 % 3000, '\0');
        for (char &c : bytes) {
            seed = seed * 1664525u + 1013904223u;
            c = char(seed >> 24);
        }
        if (round % 3 == 1)
            bytes.prepend("Windows Registry Editor Version 5.00\r\n[HKCU\\x]\r\n\"a\"=hex:");
        QString error;
        if (!RegFile::parse(bytes, &error)) {
            EXPECT_FALSE(error.isEmpty());
        }
    }

    // Every prefix of a real file either parses or says why not.
    RegFile file;
    QByteArray binary(200, '\x5a');
    file.keys.append({RegHive::CurrentUser,
                      QStringLiteral("SOFTWARE\\TavloClock"),
                      false,
                      {set(RegValue::text(QStringLiteral("a"), QStringLiteral("text"))),
                       set(raw(QStringLiteral("b"), RegBinary, binary)),
                       set(RegValue::dword(QStringLiteral("c"), 1))}});
    const QByteArray whole = file.toBytes();
    for (qsizetype size = 0; size < whole.size(); ++size) {
        QString error;
        const auto parsed = RegFile::parse(whole.left(size), &error);
        if (!parsed) {
            EXPECT_FALSE(error.isEmpty()) << size;
        }
    }
}

TEST(RegFileTest, SplitsKeyNames)
{
    using Split = std::optional<std::pair<RegHive, QString>>;
    EXPECT_EQ(RegFile::splitKeyName(QStringLiteral("HKCU\\Software\\\\TavloClock\\")),
              Split(std::make_pair(RegHive::CurrentUser, QStringLiteral("Software\\TavloClock"))));
    EXPECT_EQ(RegFile::splitKeyName(QStringLiteral("hkey_current_user\\X")),
              Split(std::make_pair(RegHive::CurrentUser, QStringLiteral("X"))));
    EXPECT_EQ(RegFile::splitKeyName(QStringLiteral("HKLM")),
              Split(std::make_pair(RegHive::LocalMachine, QString())));
    EXPECT_EQ(RegFile::splitKeyName(QStringLiteral("HKEY_LOCAL_MACHINE\\")),
              Split(std::make_pair(RegHive::LocalMachine, QString())));
    QString error;
    EXPECT_FALSE(RegFile::splitKeyName(QStringLiteral("HKCR\\x"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not supported")));
    EXPECT_FALSE(RegFile::splitKeyName(QStringLiteral("Software\\x")));
    EXPECT_FALSE(RegFile::splitKeyName(QString()));
    EXPECT_EQ(RegFile::fullKeyName(RegHive::CurrentUser, QStringLiteral("\\A\\\\B\\")),
              QStringLiteral("HKEY_CURRENT_USER\\A\\B"));
    EXPECT_EQ(RegFile::fullKeyName(RegHive::LocalMachine, QString()),
              QStringLiteral("HKEY_LOCAL_MACHINE"));
}
