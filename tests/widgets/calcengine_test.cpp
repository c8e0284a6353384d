// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calculator/calcengine.h"

#include <QLocale>
#include <QStringList>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <string>

namespace tavlo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Runs each test in the C locale and in German, where the C library and Qt
// write "," as the decimal separator; German is skipped where it is missing.
class InLocale : public testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (!std::setlocale(LC_ALL, GetParam()))
            GTEST_SKIP() << GetParam() << " is not installed";
        QLocale::setDefault(QLocale(QString::fromLatin1(GetParam())));
        ASSERT_STREQ(std::localeconv()->decimal_point, std::string(GetParam()) == "C" ? "." : ",");
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, m_savedC.c_str());
        QLocale::setDefault(m_savedQt);
    }

private:
    const std::string m_savedC = std::setlocale(LC_ALL, nullptr);
    const QLocale m_savedQt;
};

std::string localeName(const testing::TestParamInfo<const char *> &info)
{
    return std::string(info.param) == "C" ? "C" : "German";
}

// Key sequences as written on the keys; a word of digits types them one by
// one, and "p:TEXT" pastes TEXT.
void type(CalcEngine &engine, const char *keys)
{
    static const std::map<std::string, CalcKey> named = {
        // clang-format off
        {"000", CalcKey::TripleZero}, {".", CalcKey::Point}, {"+", CalcKey::Add},
        {"-", CalcKey::Subtract}, {"x", CalcKey::Multiply}, {"/", CalcKey::Divide},
        {"=", CalcKey::Equals}, {"%", CalcKey::Percent}, {"+/-", CalcKey::ChangeSign},
        {"sqrt", CalcKey::SquareRoot}, {"1/x", CalcKey::Reciprocal}, {"DEL", CalcKey::DeleteLast},
        {"CE", CalcKey::ClearEntry}, {"C", CalcKey::Clear}, {"MC", CalcKey::MemoryClear},
        {"MR", CalcKey::MemoryRecall}, {"MS", CalcKey::MemoryStore}, {"M+", CalcKey::MemoryAdd},
        {"M-", CalcKey::MemorySubtract},
        // clang-format on
    };
    for (const QString &word :
         QString::fromLatin1(keys).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.startsWith(QLatin1String("p:"))) {
            engine.paste(word.mid(2));
        } else if (const auto it = named.find(word.toStdString()); it != named.end()) {
            engine.press(it->second);
        } else {
            for (const QChar c : word) {
                ASSERT_TRUE(c.isDigit()) << word.toStdString();
                engine.press(CalcKey(int(CalcKey::Digit0) + c.digitValue()));
            }
        }
    }
}

// An engine as the window has it after load: display "0", memory indicator
// from the settings' default "0".
CalcEngine loaded()
{
    CalcEngine engine;
    engine.setMemoryText(QStringLiteral("0"));
    return engine;
}

using CalcEngineTest = InLocale;

TEST_P(CalcEngineTest, KeySequencesShowTheirResults)
{
    // clang-format off
    const struct { const char *keys, *display, *function, *memory; } cases[] = {
        {"", "0", "", "0"}, {"1 2", "012", "", "0"}, {"C 1 . 5 . 2", "1.52", "", "0"},
        {"C 1 . DEL . 2", "12", "", "0"}, {"5 +", "", "+", "0"}, {"2 + 3 x", "", "x", "0"},
        {"5 + =", "5", "", "0"}, {"5 + = =", "10", "", "0"}, {"9 - 4 = =", "4", "", "0"},
        {"50 + 10 % =", "55", "", "0"}, {"50 %", "0", "", "0"}, {"2 + 3 = 7", "57", "", "0"},
        {"5 + 3 = C =", "5", "", "0"}, {"5 + C 3 =", "8", "", "0"}, {"5 + x 3 =", "15", "", "0"},
        {"C 1 000", "1000", "", "0"}, {"1 + DEL", "", "", "0"}, {"1 + 2 DEL =", "1", "", "0"},
        {"C DEL", "", "", "0"}, {"1 / 3 =", "0.333333333333333", "", "0"},
        {"100000000 x 100000000 =", "1E+16", "", "0"}, {"3000000 1/x", "3.33333333333333E-07", "", "0"},
        {"5 + 4 sqrt =", "6", "", "0"}, {"5 +/-", "-5", "", "0"}, {"+/-", "0", "", "0"},
        {"3 M+", "03", "", "3"}, {"3 M+ C 3 M- MC", "3", "", ""}, {"2 M- M- M+", "02", "", "-2"},
        {"7 MS C MR", "7", "", "7"}, {"p:0.1 M+ M+ M+ C MR", "0.3", "", "0.3"},
        // Failed steps leave what they would have written.
        {"7 / 0 =", "0", "", "0"}, {"6 / x 2 =", "0", "", "0"}, {"0 1/x", "00", "", "0"},
        {"2 - 4 = sqrt", "-2", "", "0"}, {"C +/-", "", "", "0"}, {"4 M+ C M- M+", "", "", "4"},
        {"4 MS C MS MR", "4", "", "4"}, {"p:1E308 x 10 =", "10", "", "0"},
        {"p:-1E308 - p:1E308 =", "1E+308", "", "0"}, {"p:1E308 M+ M+", "1E+308", "", "1E+308"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        CalcEngine engine = loaded();
        type(engine, c.keys);
        EXPECT_EQ(QStringList({engine.displayText(), engine.functionText(), engine.memoryText()}),
                  QStringList({QLatin1String(c.display), QLatin1String(c.function),
                               QLatin1String(c.memory)}));
    }
}

TEST_P(CalcEngineTest, SubLabelIsEmptiedByItsKeysOnly)
{
    // clang-format off
    const struct { const char *keys; bool blank; } cases[] = {
        {"", true}, {"1 . 000 + % sqrt 1/x +/- DEL", true}, {"=", false}, {"C", false},
        {"CE", false}, {"MC", false}, {"MR", false}, {"MS", false}, {"M+", false}, {"5 + x", false},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        CalcEngine engine = loaded();
        type(engine, c.keys);
        EXPECT_EQ(engine.subText(), c.blank ? QStringLiteral(" ") : QString());
    }
}

// Which texts convert is the strict conversion's table; here the display text
// paste writes, the length limit, and that a refusal changes nothing.
TEST_P(CalcEngineTest, PasteTakesOneStrictNumberOnly)
{
    // clang-format off
    const struct { QString text; const char *display; } cases[] = {
        {QStringLiteral(" 1e3 \n"), "1000"}, {QStringLiteral("-0"), "0"},
        {QStringLiteral("0.1234567890123456789"), "0.123456789012346"},
        {QStringLiteral("1 2"), nullptr}, {QStringLiteral("1E400"), nullptr},
        {QString(CalcEngine::kMaxTextLength + 1, QLatin1Char('1')), nullptr},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString());
        CalcEngine engine = loaded();
        type(engine, "7 +");
        EXPECT_EQ(engine.paste(c.text), c.display != nullptr);
        EXPECT_EQ(engine.displayText(), QLatin1String(c.display ? c.display : ""));
        EXPECT_TRUE(engine.functionText() == QStringLiteral("+") && engine.blnOPPENDING());
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, CalcEngineTest, testing::Values("C", "de_DE.UTF-8"), localeName);

TEST(CalcEngineBoundsTest, TypingStopsAtTheLongestDisplay)
{
    CalcEngine engine;
    for (int i = 0; i < 2 * CalcEngine::kMaxTextLength; ++i)
        engine.press(CalcKey::Digit1);
    EXPECT_EQ(engine.displayText().size(), CalcEngine::kMaxTextLength);
    engine.press(CalcKey::DeleteLast);
    engine.press(CalcKey::TripleZero);
    EXPECT_EQ(engine.displayText().size(), CalcEngine::kMaxTextLength - 1);
    engine.press(CalcKey::Point);
    engine.press(CalcKey::Digit2);
    EXPECT_TRUE(engine.displayText().endsWith(QLatin1Char('.')));

    engine.setMemoryText(QString(1000, QLatin1Char('m')));
    EXPECT_EQ(engine.memoryText().size(), CalcEngine::kMaxTextLength);
}

TEST(CalcEngineBoundsTest, RandomKeysNeverShowInfinityOrNaN)
{
    std::mt19937 random(20240611);
    const QString pastes[] = {QStringLiteral("1E308"), QStringLiteral("-1.7E308"),
                              QStringLiteral("1E-320"), QStringLiteral("0"),
                              QStringLiteral("-2.5")};
    const QStringList symbols = {QString(), QStringLiteral("+"), QStringLiteral("-"),
                                 QStringLiteral("x"), QStringLiteral("/")};
    for (int run = 0; run < 300; ++run) {
        CalcEngine engine;
        for (int step = 0; step < 60; ++step) {
            const int pick = int(random() % (int(CalcKey::MemorySubtract) + 2));
            if (pick > int(CalcKey::MemorySubtract))
                engine.paste(pastes[random() % std::size(pastes)]);
            else
                engine.press(CalcKey(pick));
            for (const QString &text : {engine.displayText(), engine.memoryText()})
                ASSERT_TRUE(!text.contains(QLatin1String("inf"), Qt::CaseInsensitive) &&
                            !text.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                            text.size() <= CalcEngine::kMaxTextLength)
                    << text.toStdString();
            ASSERT_TRUE(symbols.contains(engine.functionText()) &&
                        std::isfinite(engine.dblFIRSTVALUE()) && std::isfinite(engine.dblMEMORY()));
        }
    }
}

using CalcConversionTest = InLocale;

// Whether a conversion gave value, -0 told from 0; nullopt marks a failure.
void expectConverted(const char *how, const std::optional<double> &got,
                     const std::optional<double> &value)
{
    SCOPED_TRACE(how);
    ASSERT_EQ(got.has_value(), value.has_value());
    if (got) {
        EXPECT_TRUE(*got == *value && std::signbit(*got) == std::signbit(*value)) << *got;
    }
}

// The lenient parse reads the number a text starts with; the strict
// conversion takes only a text that is one whole number.
TEST_P(CalcConversionTest, LenientReadsTheLeadingNumberStrictOnlyOneWholeNumber)
{
    constexpr std::nullopt_t no = std::nullopt;
    const std::string many9(400, '9');
    const std::string tinyText = "0." + std::string(400, '0') + "1";
    // clang-format off
    const struct { const char *text; std::optional<double> lenient, strict; } cases[] = {
        {"", 0.0, no}, {"abc", 0.0, no}, {"05", 5.0, 5.0}, {"3.5.", 3.5, no}, {"12abc", 12.0, no},
        {"1,5", 1.0, no}, {"1 2", 12.0, no}, {" 1 2 . 5 ", 12.5, no}, {" 12.5 ", 12.5, 12.5},
        {"1.", 1.0, 1.0}, {".5", 0.5, 0.5}, {"-.5", -0.5, -0.5}, {"- 3", -3.0, no}, {"-0", -0.0, -0.0},
        {"1e3x", 1000.0, no}, {"2E-3", 0.002, 0.002}, {"-2.5E-3", -0.0025, -0.0025}, {"1E", 1.0, no},
        {"1E+16", 1e16, 1e16}, {"1.23456789012346E+15", 1.23456789012346e15, 1.23456789012346e15},
        {"1.79769313486231E+308", 1.79769313486231e308, 1.79769313486231e308},
        {"1.79769313486232E+308", no, no}, {"1E400", no, no}, {"1E99999999999999999999", no, no},
        {"1E-400", 0.0, 0.0}, {"-1E-400", -0.0, -0.0}, {"0E999999", 0.0, 0.0},
        {many9.c_str(), no, no}, {tinyText.c_str(), 0.0, 0.0}, {"inf", 0.0, no}, {"0x10", 0.0, no},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        expectConverted("lenient", calc::lenientParse(text), c.lenient);
        expectConverted("strict", calc::strictConvert(text), c.strict);
    }
}

TEST_P(CalcConversionTest, NumberToTextWritesFifteenDigits)
{
    // clang-format off
    const struct { double value; const char *text; } cases[] = {
        {0.0, "0"}, {-0.0, "0"}, {15, "15"}, {1.52, "1.52"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"}, {0.0001, "0.0001"}, {0.0001 - 1e-20, "0.0001"},
        {0.00001, "1E-05"}, {0.000099999, "9.9999E-05"}, {1.0 / 3e6, "3.33333333333333E-07"},
        {999999999999999, "999999999999999"}, {999999999999999.9, "1E+15"}, {1e16, "1E+16"},
        {1234567890123456, "1.23456789012346E+15"}, {-123456789012345678.0, "-1.23456789012346E+17"},
        {-1e-300, "-1E-300"}, {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(calc::numberToText(c.value), QString::fromLatin1(c.text));
    }
    for (const double notFinite : {kInf, -kInf, std::nan("")})
        EXPECT_EQ(calc::numberToText(notFinite), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Locales, CalcConversionTest, testing::Values("C", "de_DE.UTF-8"),
                         localeName);

TEST(CalcKeyboardTest, KeysMapToTheirOperations)
{
    // clang-format off
    const struct { int key; const char *text; std::optional<CalcKey> expected; } cases[] = {
        {Qt::Key_0, "0", CalcKey::Digit0}, {Qt::Key_9, "9", CalcKey::Digit9},
        {Qt::Key_Period, ".", CalcKey::Point}, {Qt::Key_Comma, ",", CalcKey::Point},
        {Qt::Key_Plus, "+", CalcKey::Add}, {Qt::Key_Asterisk, "*", CalcKey::Multiply},
        {Qt::Key_X, "x", CalcKey::Multiply}, {Qt::Key_Enter, "\r", CalcKey::Equals},
        {Qt::Key_Backspace, "\b", CalcKey::DeleteLast}, {Qt::Key_Delete, "\x7f", CalcKey::ClearEntry},
        {Qt::Key_Escape, "\x1b", CalcKey::Clear}, {Qt::Key_F9, "", CalcKey::ChangeSign},
        {Qt::Key_R, "r", CalcKey::Reciprocal}, {Qt::Key_At, "@", CalcKey::SquareRoot},
        {Qt::Key_A, "a", std::nullopt}, {Qt::Key_Space, " ", std::nullopt},
        {Qt::Key_V, "\x16", std::nullopt}, {Qt::Key_unknown, "12", std::nullopt},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(calc::keyForKeyboard(c.key, QString::fromLatin1(c.text)), c.expected);
    }
}

} // namespace
} // namespace tavlo
