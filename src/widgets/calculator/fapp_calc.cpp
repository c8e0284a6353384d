// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calculator/fapp_calc.h"

#include "core/cmlib_registry.h"
#include "core/globals.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/controls.h"
#include "frame/keylabel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace tavlo {
namespace {

constexpr OleColor kWhite = 0xFFFFFF;

// Which text row styles a key, and how much white its colour mixes in.
enum class KeyGroup { MemoryKeys, ClearKeys, OperatorKeys, DigitKeys };

int whiteWeight(KeyGroup group)
{
    switch (group) {
    case KeyGroup::ClearKeys:
        return 45;
    case KeyGroup::DigitKeys:
        return 165;
    case KeyGroup::MemoryKeys:
    case KeyGroup::OperatorKeys:
        break;
    }
    return 115;
}

// One key: where it lies (twips, in its strip) and what it does.
struct KeyDesign
{
    const char *name;
    const char *caption;
    CalcKey key;
    KeyGroup group;
    bool upperStrip;
    int left, top, width, height;
    float points;
};

constexpr float kKeyPoints = 9.75f;
constexpr float kSignPoints = 12.0f;

using enum CalcKey;
using enum KeyGroup;

// The reciprocal and root keys lie beyond the right edge of the keypad strip,
// where no click reaches them; the keyboard does.
const KeyDesign kKeys[] = {
    {"btnMC", "MC", MemoryClear, MemoryKeys, true, 90, 90, 600, 285, kKeyPoints},
    {"btnMR", "MR", MemoryRecall, MemoryKeys, true, 765, 90, 600, 285, kKeyPoints},
    {"btnMS", "MS", MemoryStore, MemoryKeys, true, 1440, 90, 600, 285, kKeyPoints},
    {"btnM", "M+", MemoryAdd, MemoryKeys, true, 2115, 90, 600, 285, kKeyPoints},
    {"btnMEMSUB", "M-", MemorySubtract, MemoryKeys, true, 2790, 90, 600, 285, kKeyPoints},
    {"btnBCK", "DEL", DeleteLast, ClearKeys, false, 1710, 180, 510, 285, kKeyPoints},
    {"btnCE", "CE", ClearEntry, ClearKeys, false, 2295, 180, 510, 285, kKeyPoints},
    {"btnC", "C", Clear, ClearKeys, false, 2880, 180, 510, 285, kKeyPoints},
    {"btn7", "7", Digit7, DigitKeys, false, 180, 630, 555, 285, kKeyPoints},
    {"btn8", "8", Digit8, DigitKeys, false, 855, 630, 555, 285, kKeyPoints},
    {"btn9", "9", Digit9, DigitKeys, false, 1530, 630, 555, 285, kKeyPoints},
    {"btnPRCNT", "%", Percent, OperatorKeys, false, 2340, 630, 465, 285, kKeyPoints},
    {"btnpls_minus", "+/-", ChangeSign, OperatorKeys, false, 2925, 630, 465, 285, kKeyPoints},
    {"btn4", "4", Digit4, DigitKeys, false, 180, 1035, 555, 285, kKeyPoints},
    {"btn5", "5", Digit5, DigitKeys, false, 855, 1035, 555, 285, kKeyPoints},
    {"btn6", "6", Digit6, DigitKeys, false, 1530, 1035, 555, 285, kKeyPoints},
    {"btnMULTIPLY", "x", Multiply, OperatorKeys, false, 2340, 990, 465, 330, kSignPoints},
    {"btnDIVIDE", "/", Divide, OperatorKeys, false, 2925, 990, 465, 330, kKeyPoints},
    {"btn1", "1", Digit1, DigitKeys, false, 180, 1440, 555, 285, kKeyPoints},
    {"btn2", "2", Digit2, DigitKeys, false, 855, 1440, 555, 285, kKeyPoints},
    {"btn3", "3", Digit3, DigitKeys, false, 1530, 1440, 555, 285, kKeyPoints},
    {"btnADD", "+", Add, OperatorKeys, false, 2340, 1395, 465, 330, kSignPoints},
    {"btnSUBTRACT", "-", Subtract, OperatorKeys, false, 2925, 1395, 465, 330, kSignPoints},
    {"btn0", "0", Digit0, DigitKeys, false, 180, 1845, 555, 285, kKeyPoints},
    {"btnPOINT", ".", Point, DigitKeys, false, 855, 1845, 555, 285, kKeyPoints},
    {"btn00", "000", TripleZero, DigitKeys, false, 1530, 1845, 555, 285, kKeyPoints},
    {"btnEQL", "=", Equals, OperatorKeys, false, 2340, 1800, 1050, 330, kSignPoints},
    {"btnDIVx", "1/x", Reciprocal, OperatorKeys, false, 3780, 180, 645, 285, kKeyPoints},
    {"btnSQRT", "sqrt", SquareRoot, OperatorKeys, false, 4500, 180, 645, 285, kKeyPoints},
};

// The window and its strips, in twips.
constexpr int kFormWidth = 3600;
constexpr int kFormHeight = 3210;
constexpr int kStripWidth = 3515;
constexpr int kDisplayStripHeight = 915;
constexpr int kKeypadStripTop = 945;
constexpr int kKeypadStripHeight = 2220;
constexpr int kDisplayNumberHeight = 270;
// Above the top edge of their strips: the text labels are never seen.
constexpr int kHiddenTop = -1000;

const QString kKeyFont = QStringLiteral("Tahoma");

Label *makeLabel(const char *name, QWidget *parent, const QString &font, float points, QRect twips)
{
    auto *label = new Label(QLatin1String(name), parent);
    label->setFontName(font);
    label->setFontSize(points);
    label->setLeft(twips.x());
    label->setTop(twips.y());
    label->setWidth(twips.width());
    label->setHeight(twips.height());
    return label;
}

} // namespace

fapp_CALC::fapp_CALC(QWidget *parent) : FixedFrame(QStringLiteral("fapp_CALC"), parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleKind(tr("calculator"));
    setFormWidth(kFormWidth);
    setFormHeight(kFormHeight);
    picTIME->setWidth(kStripWidth);
    picTIME->setHeight(kDisplayStripHeight);
    picDATE->setTop(kKeypadStripTop);
    picDATE->setWidth(kStripWidth);
    picDATE->setHeight(kKeypadStripHeight);

    lblSECS = new Label(QStringLiteral("lblSECS"), picTIME);
    lblSTYLE = new Label(QStringLiteral("lblSTYLE"), picTIME);
    // The design text settings: the display's face, and the keys' face.
    lblTIME->setFontName(QStringLiteral("Arial"));
    lblTIME->setFontSize(14);
    lblTIME->setForeColor(0xFFFFFF);
    lblDATE->setFontName(kKeyFont);
    lblDATE->setFontSize(kKeyPoints);
    lblDATE->setForeColor(0xFFFFFF);
    for (Label *hidden : {lblTIME, lblSECS, lblSTYLE, lblDATE}) {
        hidden->setTop(kHiddenTop);
        hidden->setShown(false);
    }

    lblDISPLAYNUMBER = makeLabel("lblDISPLAYNUMBER", picTIME, QStringLiteral("Arial"), 14,
                                 QRect(1890, 525, 1485, kDisplayNumberHeight));
    lblDISPLAYNUMBER->setTextAlign(Label::AlignRightJustify);
    lblDISPLAYNUMBER->setAccessibleName(tr("Display"));
    lblDISPLAYFUNCTION = makeLabel("lblDISPLAYFUNCTION", picTIME, QStringLiteral("Tahoma"), 12,
                                   QRect(135, 615, 300, 285));
    lblDISPLAYMEM = makeLabel("lblDISPLAYMEM", picTIME, QStringLiteral("Courier New"), 8.25f,
                              QRect(135, 405, 525, 210));
    lblSUB =
        makeLabel("lblSUB", picTIME, QStringLiteral("Verdana"), 6.75f, QRect(1140, 705, 45, 180));
    lblSUB->setTextAlign(Label::AlignRightJustify);

    m_keys.reserve(std::size(kKeys));
    for (const KeyDesign &design : kKeys) {
        auto *key = new KeyLabel(QLatin1String(design.name), QLatin1String(design.caption),
                                 design.upperStrip ? picTIME : picDATE);
        key->setLeft(design.left);
        key->setTop(design.top);
        key->setWidth(design.width);
        key->setHeight(design.height);
        key->setFontName(kKeyFont);
        key->setFontSize(design.points);
        m_keys.push_back(key);
    }
    btnMC = m_keys.front();
    connectKeys();
}

fapp_CALC::~fapp_CALC() = default;

void fapp_CALC::connectKeys()
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const CalcKey key = kKeys[i].key;
        connect(m_keys[i], &KeyLabel::Click, this, [this, key] { key_Click(key); });
    }
}

void fapp_CALC::loadFirstTexts()
{
    showDisplay();
}

void fapp_CALC::Form_Load()
{
    FixedFrame::Form_Load();
    // Shown as stored; the memory itself starts at 0 whatever it says.
    if (globals().objREGISTRY)
        m_engine.setMemoryText(
            globals().objREGISTRY->RegLoad(reg::HKCU, globals().strREGROOT + reg::OptionsKey,
                                           reg::CalculatorMemory, QStringLiteral("0")));
    showDisplay();
}

void fapp_CALC::key_Click(CalcKey key)
{
    m_engine.press(key);
    showDisplay();
}

void fapp_CALC::showDisplay()
{
    lblDISPLAYNUMBER->setCaption(m_engine.displayText());
    lblDISPLAYFUNCTION->setCaption(m_engine.functionText());
    lblDISPLAYMEM->setCaption(m_engine.memoryText());
    lblSUB->setCaption(m_engine.subText());
    for (Label *label : {lblDISPLAYNUMBER, lblDISPLAYFUNCTION, lblDISPLAYMEM, lblSUB})
        label->sync();
}

void fapp_CALC::copyDisplay()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(m_engine.displayText());
}

void fapp_CALC::pasteDisplay()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard && m_engine.paste(clipboard->text()))
        showDisplay();
}

fapp_CALC::LayoutInputs fapp_CALC::layoutInputs() const
{
    LayoutInputs inputs;
    inputs.timeColour = lblTIME->ForeColor();
    inputs.dateColour = lblDATE->ForeColor();
    inputs.timeFont = lblTIME->FontName();
    inputs.theme = lngTHEMECOLOR();
    inputs.contrast = lngTRANSVALCONTRAST();
    inputs.alpha = lngTRANSVAL();
    inputs.twipsPerPixelX = twipsPerPixelX();
    inputs.twipsPerPixelY = twipsPerPixelY();
    return inputs;
}

void fapp_CALC::updateparts()
{
    if (!timerRunning())
        return;
    // The timer ticks twice a second and the mouse calls in as it moves;
    // most passes find nothing changed.
    const LayoutInputs inputs = layoutInputs();
    if (inputs == m_laidOut)
        return;
    for (Label *display : {lblDISPLAYNUMBER, lblDISPLAYMEM, lblDISPLAYFUNCTION}) {
        display->setForeColor(lblTIME->ForeColor());
        display->setFontName(lblTIME->FontName());
    }
    // The number's design height is less than a line of most faces at its
    // size; it grows downwards into the strip so the digits are not cut.
    lblDISPLAYNUMBER->setHeight(
        std::max(kDisplayNumberHeight, lblDISPLAYNUMBER->textSizeTwips().height()));
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_keys[i]->setForeColor(kKeys[i].group == KeyGroup::MemoryKeys ? lblTIME->ForeColor()
                                                                       : lblDATE->ForeColor());
    FrameGeometry();
    sync();
    syncParts();
    // Taken after the pass, so a value it corrects (the alpha) counts as well.
    m_laidOut = layoutInputs();
}

void fapp_CALC::syncParts()
{
    for (Label *label :
         {lblSECS, lblSTYLE, lblDISPLAYNUMBER, lblDISPLAYFUNCTION, lblDISPLAYMEM, lblSUB})
        label->sync();
    for (KeyLabel *key : m_keys)
        key->sync();
}

void fapp_CALC::colourParts(const ThemeShades &shades)
{
    FixedFrame::colourParts(shades);
    const OleColor theme = lngTHEMECOLOR();
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_keys[i]->setBackColor(ColorBlend(kWhite, theme, whiteWeight(kKeys[i].group)));
    lblSUB->setForeColor(btnMC->BackColor());
    lblSUB->sync();
}

bool fapp_CALC::isDisplayLabel(const QWidget *widget) const
{
    return widget &&
           (widget == lblDISPLAYNUMBER || widget == lblDISPLAYFUNCTION || widget == lblDISPLAYMEM);
}

void fapp_CALC::mousePressEvent(QMouseEvent *event)
{
    const QWidget *child = childAt(event->position().toPoint());
    if (isDisplayLabel(child)) {
        // The display drags the window with the left button and does nothing else.
        notePress(event);
        if (event->button() == Qt::LeftButton)
            armDrag();
        event->accept();
        return;
    }
    if (child == lblSUB) {
        event->accept();
        return;
    }
    FixedFrame::mousePressEvent(event);
}

void fapp_CALC::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QWidget *child = childAt(event->position().toPoint());
    if (isDisplayLabel(child) || child == lblSUB) {
        mousePressEvent(event);
        return;
    }
    FixedFrame::mouseDoubleClickEvent(event);
}

void fapp_CALC::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyDisplay();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteDisplay();
        return;
    }
    // Shift and AltGr make the signs on many layouts; with Ctrl, Alt or the
    // logo key a press is meant for someone else.
    const Qt::KeyboardModifiers taken =
        Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier;
    if (!(event->modifiers() & ~taken)) {
        if (const auto key = calc::keyForKeyboard(event->key(), event->text())) {
            key_Click(*key);
            return;
        }
    }
    FixedFrame::keyPressEvent(event);
}

} // namespace tavlo
