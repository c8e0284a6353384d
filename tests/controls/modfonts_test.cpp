// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/modfonts.h"

#include "app/fpge_store.h"
#include "controls/ovctrls/pagetab.h"
#include "core/twips.h"
#include "globalsfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

// A form with one control of each family the skin knows by its name.
class SkinTest : public test::GlobalsFixture
{
protected:
    void SetUp() override
    {
        prepareMessages("11");
        add(new QCheckBox("Wide"), "wchkWIDE");
        add(new QCheckBox("Plain"), "chkPLAIN");
        add(new QRadioButton(" ... "), "optMORE");
        add(new QRadioButton("Option"), "woptWIDE");
        add(new QComboBox, "cboLIST");
        add(new QLineEdit, "txtNAME");
        add(new QPushButton("Go"), "btnGO");
        add(new QLabel("Title"), "labTITLE");
        add(new QLabel("Text"), "lblTEXT");
        add(new QLabel("Picture"), "picPHOTO");
        add(new QLabel("Alert"), "bftALERT");
        add(new PageTab, "ptbTABS");
        QFont design("DejaVu Sans Mono");
        design.setPointSize(20);
        for (QWidget *w : form.findChildren<QWidget *>())
            w->setFont(design);
    }

    void add(QWidget *w, const char *name)
    {
        w->setObjectName(QLatin1String(name));
        w->setParent(&form);
    }
    QWidget *control(const char *name) { return form.findChild<QWidget *>(QLatin1String(name)); }

    QWidget form;
};

} // namespace

TEST_F(SkinTest, ControlsTakeTheMessageFontByTheirPrefixIfThereIsOne)
{
    // Without a message font name nothing changes.
    globals().strMSGFONTNAME.clear();
    ApplyFormSkin(&form);
    for (QWidget *w : form.findChildren<QWidget *>()) {
        EXPECT_EQ(w->font().family(), "DejaVu Sans Mono") << w->objectName().toStdString();
        EXPECT_EQ(w->maximumHeight(), QWIDGETSIZE_MAX) << w->objectName().toStdString();
    }
    EXPECT_DOUBLE_EQ(menuForm().cboDEFAULT->font().pointSizeF(), 11.1);

    globals().strMSGFONTNAME = QStringLiteral("DejaVu Serif");
    ApplyFormSkin(&form);
    const int h = skinLineHeight();
    EXPECT_EQ(menuForm().cboDEFAULT->font().family(), "DejaVu Serif");
    EXPECT_DOUBLE_EQ(menuForm().cboDEFAULT->font().pointSizeF(), 11.1);

    for (const char *name : {"wchkWIDE", "chkPLAIN", "woptWIDE", "txtNAME"}) {
        EXPECT_EQ(control(name)->font().family(), "DejaVu Serif") << name;
        EXPECT_EQ(control(name)->font().pointSize(), 11) << name;
        EXPECT_EQ(control(name)->height(), h) << name;
        EXPECT_EQ(control(name)->maximumHeight(), h) << name;
    }
    // An option captioned "..." gets the small size.
    EXPECT_EQ(control("optMORE")->font().pointSize(), 8);
    // Combo boxes keep their own height.
    EXPECT_EQ(control("cboLIST")->font().family(), "DejaVu Serif");
    EXPECT_NE(control("cboLIST")->maximumHeight(), h);
    EXPECT_EQ(control("btnGO")->maximumHeight(), h + twipsToPixelsY(30));
    // Title labels keep their size, other labels take both.
    EXPECT_EQ(control("labTITLE")->font().family(), "DejaVu Serif");
    EXPECT_EQ(control("labTITLE")->font().pointSize(), 20);
    EXPECT_EQ(control("lblTEXT")->font().pointSize(), 11);
    // Names that match no prefix are left alone.
    EXPECT_EQ(control("picPHOTO")->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(control("bftALERT")->font().family(), "Impact");
    EXPECT_EQ(control("bftALERT")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    auto *tabs = static_cast<PageTab *>(control("ptbTABS"));
    EXPECT_EQ(tabs->font().family(), "DejaVu Serif");
    EXPECT_EQ(tabs->BackColorPage(), form.palette().color(QPalette::Window));
}
