// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/widgetset.h"

#include "core/cmlib_registry.h"
#include "core/kind.h"
#include "core/valuenames.h"
#include "frame/widgetform.h"

namespace tavlo {
namespace {

bool isSlot(int number)
{
    return number >= 0 && number < kWidgetSlots;
}

} // namespace

WidgetSet::WidgetSet(QObject *parent) : QObject(parent) {}

WidgetSet::~WidgetSet() = default;

WidgetForm *WidgetSet::frmWIDGETS(int number) const
{
    return isSlot(number) ? m_widgets[size_t(number)].data() : nullptr;
}

bool WidgetSet::add(int number, WidgetForm *form, bool counted)
{
    if (!form || !isSlot(number) || m_widgets[size_t(number)])
        return false;
    m_widgets[size_t(number)] = form;
    form->setTag(QString::number(number));
    if (counted)
        ++m_openCount;
    return true;
}

std::optional<int> WidgetSet::newNumber()
{
    const int number = m_lastIndex + 1;
    if (!isSlot(number))
        return std::nullopt;
    m_lastIndex = number;
    setCurrent(number);
    return number;
}

std::optional<int> WidgetSet::addNew(WidgetForm *form)
{
    const int number = m_lastIndex + 1;
    if (!form || !isSlot(number) || m_widgets[size_t(number)])
        return std::nullopt;
    WidgetSettings(number, ValueNaming::Numbered).clear();
    add(number, form, true);
    m_lastIndex = number;
    return number;
}

void WidgetSet::setLastIndex(int number)
{
    if (isSlot(number))
        m_lastIndex = number;
}

void WidgetSet::close(int number)
{
    WidgetForm *form = frmWIDGETS(number);
    if (!form)
        return;
    m_widgets[size_t(number)] = nullptr;
    --m_openCount;
    form->close();
    form->deleteLater();
}

WidgetForm *WidgetSet::current() const
{
    return frmWIDGETS(m_selIndex);
}

void WidgetSet::setCurrent(int number)
{
    if (!isSlot(number) || number == m_selIndex)
        return;
    m_selIndex = number;
    Q_EMIT currentChanged(number);
}

void WidgetSet::setCurrentForm(const WidgetForm *form)
{
    // A widget without a number is current for nobody: the current one stays.
    if (const auto number = form ? form->widgetNumber() : std::nullopt;
        number && frmWIDGETS(*number) == form)
        setCurrent(*number);
}

void WidgetSet::saveAll(const ValuesOf &valuesOf)
{
    const auto values = [&](const WidgetForm &form) {
        return valuesOf ? valuesOf(form) : widgetValues(form);
    };
    if (!runningKind().manyWidgets) {
        // One widget: its theme and texts under the plain names, no placement.
        if (const WidgetForm *form = current()) {
            WidgetValues kept = values(*form);
            kept.photo = kept.photoWidth = kept.photoHeight = std::nullopt;
            kept.photoLeft = kept.photoTop = std::nullopt;
            WidgetSettings(m_selIndex, ValueNaming::Plain).write(kept);
        }
        SaveSetting(reg::Total, QStringLiteral("0"));
        return;
    }
    // Saved densely: the next start finds the widgets as 0 to TOTAL - 1. One
    // whose main part holds nothing is not kept.
    int saved = 0;
    for (const QPointer<WidgetForm> &form : m_widgets) {
        if (!form)
            continue;
        const WidgetValues kept = values(*form);
        if (kept.photo.value_or(QString()).isEmpty())
            continue;
        WidgetSettings(saved, ValueNaming::Numbered).write(kept);
        ++saved;
    }
    SaveSetting(reg::Total, QString::number(saved));
}

void WidgetSet::closeAll()
{
    for (const QPointer<WidgetForm> &form : m_widgets) {
        if (form)
            form->close();
    }
    m_openCount = 0;
}

void WidgetSet::clear()
{
    for (QPointer<WidgetForm> &form : m_widgets) {
        if (form) {
            form->hide();
            delete form.data();
        }
        form = nullptr;
    }
    m_lastIndex = 0;
    m_selIndex = 0;
    m_openCount = 0;
}

WidgetSet &widgetSet()
{
    static auto *set = new WidgetSet;
    return *set;
}

} // namespace tavlo
