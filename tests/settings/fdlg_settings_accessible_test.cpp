// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fdlg_settings.h"

#include "controls/ovctrls/pagetab.h"
#include "globalsfixture.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QSet>

using namespace tavlo;

namespace {

// One line of the dialog's accessibility tree.
struct Node
{
    QString object; // the control's name in the program, empty for parts Qt adds
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString value;
    QString label; // the name of the label it is labelled by
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
    tree.append({node->object() ? node->object()->objectName() : QString(), node->role(),
                 node->text(QAccessible::Name), node->text(QAccessible::Value), label});
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

TEST_F(SettingsAccessibilityTest, EveryControlHasANameAndARoleAndCustomOnesWhatTheyHold)
{
    ASSERT_NE(start(), nullptr);
    const QList<Node> tree = dialogTree();
    int controls = 0;
    for (const Node &node : tree) {
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

    // clang-format off
    const struct { const char *object; QAccessible::Role role; const char *name, *value; } expected[] = {
        {"ptbCOLORS", QAccessible::PageTabList, "Pages", "Theme"},
        {"btnpCOLOR", QAccessible::Button, "Theme color", "Black"},
        {"btnpTIME", QAccessible::Button, "Time color", "White"},
        {"btnpDATE", QAccessible::Button, "Date color", nullptr},
        {"cboTIMEFONT", QAccessible::ComboBox, "Time:", nullptr},
        {"cboTIMESIZE", QAccessible::ComboBox, "Time size", "36"},
        {"cboALIGNTIME", QAccessible::ComboBox, "Time alignment", nullptr},
        {"cboDATESIZE", QAccessible::ComboBox, "Date size", nullptr},
        {"cboALIGNDATE", QAccessible::ComboBox, "Date alignment", nullptr},
        {"hscVALUE", QAccessible::ScrollBar, "Transparency:", nullptr},
        {"hscCONTRAST", QAccessible::ScrollBar, "Contrast:", nullptr},
        {"flbLIST", QAccessible::List, "Preset list", nullptr},
        {"txtPRESETNEW", QAccessible::EditableText, "Caption:", nullptr}};
    // clang-format on
    for (const auto &e : expected) {
        const Node *node = find(tree, QLatin1String(e.object));
        ASSERT_NE(node, nullptr) << e.object;
        EXPECT_EQ(roleName(node->role), roleName(e.role)) << e.object;
        EXPECT_EQ(node->said(), QString::fromUtf8(e.name)) << e.object;
        if (e.value) {
            EXPECT_EQ(node->value, QLatin1String(e.value)) << e.object;
        }
    }
}
