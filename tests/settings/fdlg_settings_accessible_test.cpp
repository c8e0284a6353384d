// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fdlg_settings.h"

#include "controls/ovctrls/pagetab.h"
#include "globalsfixture.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QSet>
#include <cstdio>

using namespace tavlo;

namespace {

// One line of the dialog's accessibility tree.
struct Node
{
    int depth = 0;
    QString object; // the control's name in the program, empty for parts Qt adds
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString value;
    QString label; // the name of the label it is labelled by
    QAccessible::State state;
    // What a screen reader announces it as: Qt names a combo box on Linux
    // by its text and leaves what it is to its label.
    QString said() const { return role == QAccessible::ComboBox ? label : name; }
};

void walk(QAccessibleInterface *node, int depth, QList<Node> &tree)
{
    // Bounded: a loop in the tree must not hang the test.
    if (!node || depth > 40 || tree.size() > 5000)
        return;
    const auto labels = node->relations(QAccessible::Label);
    const QString label =
        labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    tree.append({depth, node->object() ? node->object()->objectName() : QString(), node->role(),
                 node->text(QAccessible::Name), node->text(QAccessible::Value), label,
                 node->state()});
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), depth + 1, tree);
}

QString roleName(QAccessible::Role role)
{
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

// The roles a user operates; each must say what it is.
bool isControl(QAccessible::Role role)
{
    static const QSet<QAccessible::Role> controls = {
        QAccessible::Button,      QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::ComboBox,    QAccessible::ScrollBar,    QAccessible::Slider,
        QAccessible::SpinBox,     QAccessible::EditableText, QAccessible::List,
        QAccessible::PageTabList, QAccessible::PageTab};
    return controls.contains(role);
}

class SettingsAccessibilityTest : public test::GlobalsFixture
{
protected:
    QList<Node> dialogTree()
    {
        fdlg_SETTINGS::showFor(form());
        QList<Node> tree;
        walk(QAccessible::queryAccessibleInterface(fdlg_SETTINGS::instance()), 0, tree);
        return tree;
    }
    static const Node *find(const QList<Node> &tree, const QString &object)
    {
        for (const Node &node : tree) {
            if (node.object == object)
                return &node;
        }
        return nullptr;
    }
};

} // namespace

TEST_F(SettingsAccessibilityTest, EveryControlOnEveryPageHasANameAndARole)
{
    ASSERT_NE(start(), nullptr);
    const QList<Node> tree = dialogTree();
    // TAVLO_ACCESSIBILITY_DUMP=1 prints the tree: name, role, value of every part.
    const bool print = qEnvironmentVariableIsSet("TAVLO_ACCESSIBILITY_DUMP");
    int controls = 0;
    for (const Node &node : tree) {
        if (print) {
            QString line = QString(node.depth * 2, QLatin1Char(' ')) + roleName(node.role) +
                           QLatin1Char(' ') +
                           (node.object.isEmpty() ? QStringLiteral("-") : node.object) +
                           QStringLiteral(" \"%1\"").arg(node.name);
            if (!node.value.isEmpty())
                line += QStringLiteral(" = \"%1\"").arg(node.value);
            if (!node.label.isEmpty())
                line += QStringLiteral(" labelled \"%1\"").arg(node.label);
            if (node.state.invisible)
                line += QStringLiteral(" (hidden)");
            std::printf("%s\n", qPrintable(line));
        }
        // The parts Qt makes inside a combo box carry the combo box's name.
        if (!isControl(node.role) || node.object.isEmpty() ||
            node.object.startsWith(QLatin1String("qt_")))
            continue;
        ++controls;
        EXPECT_FALSE(node.said().trimmed().isEmpty())
            << roleName(node.role).toStdString() << " " << node.object.toStdString();
    }
    // Six pages of buttons, boxes, sliders and tabs.
    EXPECT_GT(controls, 30);
}

TEST_F(SettingsAccessibilityTest, CustomControlsSayWhatTheyAreAndWhatTheyHold)
{
    ASSERT_NE(start(), nullptr);
    const QList<Node> tree = dialogTree();
    const QString white = QStringLiteral("White");
    const struct
    {
        const char *object;
        QAccessible::Role role;
        QString name;
        QString value; // null: not checked
    } expected[] = {
        {"ptbCOLORS", QAccessible::PageTabList, QStringLiteral("Pages"), QStringLiteral("Theme")},
        {"btnpCOLOR", QAccessible::Button, QStringLiteral("Theme color"), QStringLiteral("Black")},
        {"btnpTIME", QAccessible::Button, QStringLiteral("Time color"), white},
        {"btnpDATE", QAccessible::Button, QStringLiteral("Date color"), QString()},
        {"cboTIMEFONT", QAccessible::ComboBox, QStringLiteral("Time:"), QString()},
        {"cboTIMESIZE", QAccessible::ComboBox, QStringLiteral("Time size"), QStringLiteral("36")},
        {"cboALIGNTIME", QAccessible::ComboBox, QStringLiteral("Time alignment"), QString()},
        {"cboDATESIZE", QAccessible::ComboBox, QStringLiteral("Date size"), QString()},
        {"cboALIGNDATE", QAccessible::ComboBox, QStringLiteral("Date alignment"), QString()},
        {"hscVALUE", QAccessible::ScrollBar, QStringLiteral("Transparency:"), QString()},
        {"hscCONTRAST", QAccessible::ScrollBar, QStringLiteral("Contrast:"), QString()},
        {"flbLIST", QAccessible::List, QStringLiteral("Preset list"), QString()},
        {"txtPRESETNEW", QAccessible::EditableText, QStringLiteral("Caption:"), QString()},
    };
    for (const auto &e : expected) {
        const Node *node = find(tree, QLatin1String(e.object));
        ASSERT_NE(node, nullptr) << e.object;
        EXPECT_EQ(roleName(node->role), roleName(e.role)) << e.object;
        EXPECT_EQ(node->said(), e.name) << e.object;
        if (!e.value.isNull()) {
            EXPECT_EQ(node->value, e.value) << e.object;
        }
    }

    // The tab strip holds one page tab per caption, the first one selected.
    QStringList tabs;
    bool firstSelected = false;
    for (const Node &node : tree) {
        if (node.role == QAccessible::PageTab) {
            firstSelected = firstSelected || (tabs.isEmpty() && node.state.selected);
            tabs << node.name;
        }
    }
    EXPECT_EQ(tabs, fdlg_SETTINGS::instance()->ptbCOLORS->captions());
    EXPECT_TRUE(firstSelected);
}
