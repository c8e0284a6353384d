// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/modfonts.h"

#include "controls/ovctrls/pagetab.h"
#include "controls/ovctrls/updowntextbox.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/twips.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPointer>
#include <QWidget>

namespace tavlo {
namespace {

std::function<QComboBox *()> &referenceSource()
{
    static std::function<QComboBox *()> source;
    return source;
}

// The reference box: the one named by the application, or one of our own.
QComboBox *referenceBox()
{
    if (referenceSource()) {
        if (QComboBox *box = referenceSource()())
            return box;
    }
    static QPointer<QComboBox> own;
    if (!own) {
        own = new QComboBox;
        own->setEditable(true);
    }
    return own;
}

struct Skin
{
    QString name;
    QString sizeText;
    std::optional<double> size;
    int lineHeight = 0;
};

void setName(QWidget *w, const QString &name)
{
    QFont font = w->font();
    font.setFamily(name);
    w->setFont(font);
}

// An empty or non-numeric size leaves the size as it was.
void setSize(QWidget *w, const std::optional<double> &size)
{
    if (!size || *size <= 0)
        return;
    QFont font = w->font();
    font.setPointSizeF(*size);
    w->setFont(font);
}

void setFont(QWidget *w, const Skin &skin)
{
    setName(w, skin.name);
    setSize(w, skin.size);
}

void setRed(QWidget *w)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    w->setPalette(palette);
}

void skinControl(QWidget *w, const Skin &skin)
{
    const QString name = w->objectName();
    const auto is = [&](const char *prefix) { return name.startsWith(QLatin1String(prefix)); };
    const int h = skin.lineHeight;

    if (is("dtc")) {
        setFont(w, skin);
        w->setFixedHeight(h);
    } else if (is("ptb")) {
        if (auto *tabs = qobject_cast<PageTab *>(w)) {
            tabs->SetFont(skin.name, skin.sizeText);
            if (QWidget *form = w->window())
                tabs->setBackColorPage(form->palette().color(QPalette::Window));
        }
    } else if (is("rtb")) {
        // Rich text keeps its own fonts.
    } else if (is("flb") || is("lbl")) {
        if (!skin.name.isEmpty())
            setName(w, skin.name);
        setSize(w, skin.size);
    } else if (is("lab")) {
        setName(w, skin.name);
    } else if (is("btn")) {
        if (!skin.name.isEmpty())
            setName(w, skin.name);
        setSize(w, skin.size);
        w->setFixedHeight(h + twipsToPixelsY(30));
    } else if (is("bnp")) {
        if (!skin.name.isEmpty())
            setName(w, skin.name);
        setSize(w, skin.size);
        w->setFixedHeight(h);
    } else if (is("txt")) {
        setFont(w, skin);
        w->setFixedHeight(h);
    } else if (is("wopt") || is("opt")) {
        setFont(w, skin);
        w->setFixedHeight(h);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        if (button && button->text().trimmed() == QLatin1String("..."))
            setSize(w, 8.0);
    } else if (is("cbo") || is("icbo")) {
        setFont(w, skin);
    } else if (is("wchk") || is("chk")) {
        setFont(w, skin);
        w->setFixedHeight(h);
    } else if (is("fra") || is("lst") || is("tbs") || is("tvw") || is("lvw") || is("grd")) {
        setFont(w, skin);
    } else if (is("udn")) {
        auto *updown = qobject_cast<UpDownTextBox *>(w);
        setName(w, skin.name);
        if (updown)
            updown->Refresh();
        setSize(w, skin.size);
        w->setFixedHeight(h);
        if (updown)
            updown->RefreshFont();
    } else if (is("bft")) {
        setRed(w);
        setName(w, QStringLiteral("Impact"));
        setSize(w, skin.size);
    } else if (is("stb")) {
        setName(w, QStringLiteral("Impact"));
        setSize(w, skin.size);
        setRed(w);
        w->setFixedHeight(twipsToPixelsY(315));
    } else if (is("tab")) {
        setName(w, QStringLiteral("Impact"));
        setSize(w, skin.size);
    }
}

} // namespace

void setSkinReference(std::function<QComboBox *()> reference)
{
    referenceSource() = std::move(reference);
}

int skinLineHeight()
{
    return referenceBox()->sizeHint().height();
}

void ApplyFormSkin(QWidget *form)
{
    if (!form)
        return;
    const MainGlobals &g = globals();
    QComboBox *reference = referenceBox();
    QFont font = reference->font();
    // A tenth of a point more makes the box measure itself again.
    if (const auto size = convert::toNumber(g.strMSGFONTSIZE))
        font.setPointSizeF(*size + 0.1);
    if (!g.strMSGFONTNAME.isEmpty())
        font.setFamily(g.strMSGFONTNAME);
    reference->setFont(font);
    if (g.strMSGFONTNAME.isEmpty())
        return;

    Skin skin;
    skin.name = g.strMSGFONTNAME;
    skin.sizeText = g.strMSGFONTSIZE;
    skin.size = convert::toNumber(g.strMSGFONTSIZE);
    skin.lineHeight = skinLineHeight();
    for (QWidget *control : form->findChildren<QWidget *>())
        skinControl(control, skin);
}

} // namespace tavlo
