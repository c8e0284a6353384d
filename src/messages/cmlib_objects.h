// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

namespace tavlo {

// The program's message and link object.
class cmlib_OBJECTS final
{
public:
    // Opens a link as OpenLink does, then puts the mouse pointer back to normal
    // (a caller may have shown the wait pointer while it worked).
    void InternetLinkRun(const QString &sHwnd, const QString &LinkType, const QString &Address);

    // The last answer of the message window: 6 Yes/Save, 7 No/Don't save, 2 Cancel.
    int MessageBoxClick() const { return m_messageBoxClick; }
    void setMessageBoxClick(int value) { m_messageBoxClick = value; }

    // Shows message Number (1 to 43) with the detail text Part1 and returns
    // when the window has been closed.
    void MessageBoxOpen(long Number, const QString &Part1);

private:
    int m_messageBoxClick = 0;
};

// The two lines of a numbered message; both empty for rows this program does not use.
struct MessageRow
{
    QString first;
    QString second;
};
MessageRow messageRow(long number);

// The program's one message and link object; empty until start-up makes it.
std::unique_ptr<cmlib_OBJECTS> &objOBJECTS();

} // namespace tavlo
