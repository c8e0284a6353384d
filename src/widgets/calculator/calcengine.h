// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace tavlo {

// The calculator's keys, one operation each.
enum class CalcKey {
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    TripleZero,
    Point,
    Add,
    Subtract,
    Multiply,
    Divide,
    Equals,
    Percent,
    ChangeSign,
    SquareRoot,
    Reciprocal,
    DeleteLast,
    ClearEntry,
    Clear,
    MemoryClear,
    MemoryRecall,
    MemoryStore,
    MemoryAdd,
    MemorySubtract,
};

namespace calc {

// The number at the start of text: optional sign, digits with at most one ".",
// optional exponent; spaces anywhere are skipped and "." is the only decimal
// separator. Text that starts with no number gives 0; a number beyond the
// double range gives nullopt, one too small for it gives 0.
std::optional<double> lenientParse(const QString &text);

// The whole text, blanks around it aside, as one number in the same form;
// nullopt for empty or other text and for numbers beyond the double range.
std::optional<double> strictConvert(const QString &text);

// Text of a value: 15 significant digits, no trailing zeros, "." in every
// locale, exponent form ("1E+16", "3.33333333333333E-07") from 1E+15 up and
// below 1E-04; nullopt for infinities and NaN.
std::optional<QString> numberToText(double value);

// The key that a keyboard press stands for, from its Qt::Key code and text.
std::optional<CalcKey> keyForKeyboard(int key, const QString &text);

} // namespace calc

// The calculator without its window: the state of the pending operation and
// the memory, and the texts of the display labels. The display text is the
// only store of the current number; every key reads it back from there.
class CalcEngine final
{
public:
    // Longest display the digit and point keys make, and longest text paste() reads.
    static constexpr qsizetype kMaxTextLength = 256;

    // Performs the key's operation; a step that fails is skipped and the
    // value it would have written stays.
    void press(CalcKey key);
    // Puts one pasted number on the display, as the memory recall key does;
    // returns false and changes nothing unless text is exactly one number.
    bool paste(const QString &text);
    // The memory indicator as loaded from the settings; the memory itself stays.
    void setMemoryText(const QString &text);

    // Texts of the number display, the pending operator's symbol, the memory
    // indicator and the small auxiliary label.
    const QString &displayText() const { return m_display; }
    const QString &functionText() const { return m_function; }
    const QString &memoryText() const { return m_memoryText; }
    const QString &subText() const { return m_sub; }

    bool blnOPPENDING() const { return m_opPending; }
    double dblPOINTCOUNT() const { return m_pointCount; }
    double dblFIRSTVALUE() const { return m_firstValue; }
    double dblMEMORY() const { return m_memory; }
    const QString &strOPERATION() const { return m_operation; }

private:
    void append(QLatin1StringView text);
    void point();
    void operation(QLatin1StringView name, QLatin1Char symbol);
    void equals();
    void percent();
    void changeSign();
    void squareRoot();
    void reciprocal();
    void deleteLast();
    void clear(bool resetPointCount);
    void memoryAdd(double sign);
    void memoryStore();
    void memoryRecall();
    void memoryClear();

    bool m_opPending = false;
    double m_pointCount = 0;
    double m_firstValue = 0;
    double m_memory = 0;
    QString m_operation;

    QString m_display = QStringLiteral("0");
    QString m_function;
    QString m_memoryText;
    // Blank at start, emptied by several keys, never given other text.
    QString m_sub = QStringLiteral(" ");
};

} // namespace tavlo
